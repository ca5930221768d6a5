// makegfx: builds every image of the graphics archive from assets/gfx.
//   makegfx ASSETS_GFX_DIR OUT_DIR [--review REVIEW_DIR]
// Writes OUT_DIR/<name>.bmp for font, fontbig, logo, back, zk-vemo, zk-logo, blocks and
// storya ... storye, and the desktop icons OUT_DIR/icon-<size>.png. With --review it also
// writes PNG previews of all of them and a numbered contact sheet of the 240 tiles.
// Any error in a source stops the build with the file and line at fault.
#include "makegfx.h"
#include "png_writer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "makegfx: %s\n", why.c_str());
    std::exit(1);
}

std::string readOrDie(const fs::path& p) {
    std::string text;
    if (!readTextFile(p.string(), &text)) die("cannot read " + p.string());
    return text;
}

void writeOrDie(const fs::path& p, const std::vector<unsigned char>& bytes) {
    if (bytes.empty() || !writeFile(p.string(), bytes)) die("cannot write " + p.string());
}

const int ICON_SIZES[] = {16, 32, 48, 64, 128};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--review")) {
        std::fprintf(stderr, "usage: makegfx ASSETS_GFX_DIR OUT_DIR [--review REVIEW_DIR]\n");
        return 2;
    }
    const fs::path src = argv[1], out = argv[2];
    std::string why;
    if (!parsePalette(readOrDie(src / "palette.txt"), (src / "palette.txt").string(), &gPal, &why))
        die(why);

    // every art file under the source directory, in a fixed order
    std::vector<fs::path> artFiles;
    for (const auto& e : fs::recursive_directory_iterator(src))
        if (e.is_regular_file() && e.path().extension() == ".art") artFiles.push_back(e.path());
    std::sort(artFiles.begin(), artFiles.end());
    std::vector<ArtEntry> entries;
    for (const auto& p : artFiles)
        if (!parseArt(readOrDie(p), p.string(), gPal, &entries, &why)) die(why);
    if (!resolveTiles(entries, TILE_COUNT, &why)) die(why);
    for (const auto& e : entries)
        if (!e.isTile) {
            if (gArt.count(e.name)) die(e.where + ": image \"" + e.name + "\" defined twice");
            gArt[e.name] = artImage(e.rows, gPal);
        }

    GlyphShapes shapes, bigShapes;
    if (!parseGlyphs(readOrDie(src / "glyphs.txt"), (src / "glyphs.txt").string(), SMALL_GLYPH_W,
                     SMALL_GLYPH_H, &shapes, &why))
        die(why);
    if (!parseGlyphs(readOrDie(src / "glyphsbig.txt"), (src / "glyphsbig.txt").string(),
                     BIG_GLYPH_W, BIG_GLYPH_H, &bigShapes, &why))
        die(why);

    std::vector<std::pair<std::string, RgbImage>> images;
    RgbImage sheet = buildBlockSheet(entries);
    images.push_back({"blocks", sheet});
    images.push_back({"font", buildFont(shapes, false)});
    images.push_back({"fontbig", buildFont(bigShapes, true)});
    images.push_back({"logo", buildLogo(shapes)});
    RgbImage back = buildBackdrop();
    images.push_back({"back", back});
    images.push_back({"zk-vemo", buildMascot()});
    images.push_back({"zk-logo", buildMakerLogo(bigShapes)});
    for (char page = 'a'; page <= 'e'; page++)
        images.push_back({std::string("story") + page, buildStory(page, sheet, back)});

    fs::create_directories(out);
    for (const auto& im : images)
        writeOrDie(out / (im.first + ".bmp"), encodeBMP24(im.second));
    for (int size : ICON_SIZES)
        writeOrDie(out / ("icon-" + std::to_string(size) + ".png"),
                   encodePNG(buildIcon(size, sheet), true));

    if (argc == 5) {
        const fs::path review = argv[4];
        fs::create_directories(review);
        writeOrDie(review / "tiles.png", encodePNG(buildContactSheet(sheet)));
        for (const auto& im : images)
            writeOrDie(review / (im.first + ".png"), encodePNG(im.second, true));
        for (int size : ICON_SIZES)
            writeOrDie(review / ("icon-" + std::to_string(size) + ".png"),
                       encodePNG(buildIcon(size, sheet), true));
    }
    return 0;
}
