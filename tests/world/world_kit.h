// What the world and animation tests share: small stage maps built in memory, the world
// state of a fresh game and short ways to read it back, test art that tells which image
// was drawn where, and a probe of the sounds played.
#pragma once
#include "anim/anims.h"
#include "world/figure.h"
#include "world/stage.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using Ints = std::vector<int>; // several values compared at once

// A stage map of 12 rows, drawn cell by cell or as text rows.
class TestMap {
  public:
    explicit TestMap(int columns = 21);
    TestMap& set(int column, int row, int value);
    TestMap& floor(); // solid 21 across the bottom row
    // Text rows whose last string is row 11, one character per cell:
    // '.' empty, '#' solid 21, 'P' push 25, 'o' ring 41, '~' water 85, 'S' start 65,
    // '[' ']' '{' '}' the open door 27 28 / 47 48.
    TestMap& draw(const std::vector<std::string>& rows, int firstColumn = 0);
    // The bytes of a stage file.
    std::vector<unsigned char> bytes() const;

  private:
    int columns_;
    std::vector<unsigned char> cells_;
};

// The state of a new game on `stage`, with every slot free and no map loaded.
void resetWorld(int stage = 1);
// resetWorld, then the map loaded as a stage file; false when the loader refused it.
bool loadTestMap(const TestMap& map, int stage = 1);
// Loads the map's bytes over the current state (startx, startf ... as the test set them).
bool reloadTestMap(const TestMap& map);
// resetWorld, then an attempt begun on the map as the game begins one.
bool beginTestAttempt(const TestMap& map, Figure* hero, int stage = 1);

// A hero placed at (x, y) at rest (vy 7, as on the ground); heroOn loads the map first.
Figure heroAt(int x, int y);
Figure heroOn(const TestMap& map, int x, int y);
// Walks `frames` frames with the same input; returns the hero's `field` after each.
Ints walkFrames(Figure* hero, int frames, int left, int right, int jump,
                int Figure::*field = &Figure::x);
void stageFrames(Figure* hero, int frames, StageInput in = StageInput{0, 0, 0, 0});
void animFrames(Figure* hero, int frames);

int cell(int column, int row);  // mapData
int under(int column, int row); // mapOri
// The active animation of `kind` at a cell (or pixel, for the deaths), or null.
const AnimObject* animAt(int kind, int x, int y);
int activeAnims();
// Takes every animation slot, so that nothing new can start.
void fillAnimSlots();

// Test art for the drawing tests: a 16-bit test screen on which every block image, water
// image and glyph (the blank up to '_', both fonts) is one flat colour of its own, so that
// a pixel read back tells which image was drawn there; with the darkening overlay, and no
// backdrop or logo.
void useFlatArt();
void freeFlatArt();

// A colour of no test image, glyph or backdrop and none of the game's own: a screen cleared
// to it shows where nothing was drawn.
Uint32 markColour();
Uint32 pixelAt(int x, int y); // of `screen`
void clearScreen(Uint32 colour);
// The block image whose colour is at (x, y), or -1; the same at several x along a line.
int tileAt(int x, int y);
Ints tilesAlong(int y, std::initializer_list<int> xs);
// The characters of a line of text drawn at (x, y) in the small or big font, read back
// from glyph colours; '~' where no glyph is seen.
std::string readText(int x, int y, int length, bool big);

class FlatArtTest : public ::testing::Test {
  protected:
    void SetUp() override { useFlatArt(); }
    void TearDown() override { freeFlatArt(); }
};

// Puts long silent samples of its own in place of the sound effects (they stay there), so
// that playSFX runs for real on the dummy audio device, and reads back which ones play. Every
// channel is stopped when a probe begins and ends.
class SoundProbe {
  public:
    SoundProbe();
    ~SoundProbe() { reset(); }
    int playing(int sound) const; // channels playing sound `sound` now
    void reset();                 // every channel stopped
};
