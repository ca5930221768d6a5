// Test art for the drawing tests: every block image, water image and glyph is one flat
// colour of its own, so that a pixel read back from the picture tells which image was
// drawn there, independent of the game's real art. Also a probe that tells which sound
// effects the game started.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

// A 16-bit test screen with flat-coloured blocks, water images and both fonts (glyphs for
// the blank up to '_'), the darkening overlay, and no backdrop or logo.
void useFlatArt();
void freeFlatArt();

Uint32 waterColour(int index); // the colour of water image `index`
Uint32 rgb(int r, int g, int b);
// A colour of no test image, glyph or backdrop and none of the game's own: a screen cleared
// to it shows where nothing was drawn.
Uint32 markColour();
Uint32 pixelAt(int x, int y); // of `screen`
void clearScreen(Uint32 colour);
// The block image whose colour is at (x, y), or -1.
int tileAt(int x, int y);
// The same for several points at once.
using Colours = std::vector<Uint32>;
Colours pixels(std::initializer_list<std::pair<int, int>> at);
std::vector<int> tiles(std::initializer_list<std::pair<int, int>> at);
// The characters of a line of text drawn at (x, y) in the small or big font, read back
// from glyph colours; '~' where no glyph is seen.
std::string readText(int x, int y, int length, bool big);
// The text at y centred as the game centres a text of that length.
std::string centredText(int y, const std::string& text, bool big = true);

// A backdrop whose every column has its own colour: column x shows backdropColour(x).
SDL_Surface* makeStripedBackdrop(int width, int height);
Uint32 backdropColour(int column);

class FlatArtTest : public ::testing::Test {
  protected:
    void SetUp() override { useFlatArt(); }
    void TearDown() override { freeFlatArt(); }
};

// Puts long silent samples of its own in place of the sound effects, so that playSFX runs
// for real on the dummy audio device, and reads back which ones play.
class SoundProbe {
  public:
    SoundProbe();
    ~SoundProbe();
    SoundProbe(const SoundProbe&) = delete;
    SoundProbe& operator=(const SoundProbe&) = delete;
    int playing(int sound) const; // channels playing sound `sound` now
    void reset();                 // every channel stopped
};
