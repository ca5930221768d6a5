// PNG output for review pictures (contact sheets, previews, icons): 8-bit RGB or RGBA,
// no interlacing, one zlib stream. The game itself reads only BMP.
#pragma once
#include "bmp_writer.h"

#include <vector>

// RGB PNG of the picture. With keyTransparent, magenta pixels become fully transparent
// (RGBA output), which is what an icon or a preview of a colour-keyed image wants.
std::vector<unsigned char> encodePNG(const RgbImage& img, bool keyTransparent = false);
