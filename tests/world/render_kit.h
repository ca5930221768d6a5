// Test art for the drawing tests: every block image, water image and glyph is one flat
// colour of its own, so that a pixel read back from the picture tells which image was
// drawn there, independent of the game's real art. Also a probe that tells which sound
// effects the game started.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>
#include <string>

// A 16-bit test screen with flat-coloured blocks, water images and both fonts (glyphs for
// the blank up to '_'), the darkening overlay, and no backdrop or logo.
void useFlatArt();
// Frees what useFlatArt made and leaves the image tables empty.
void freeFlatArt();

Uint32 tileColour(int index);  // the colour of block image `index`
Uint32 waterColour(int index); // the colour of water image `index`
Uint32 rgb(int r, int g, int b);
Uint32 pixelAt(int x, int y); // of `screen`
void clearScreen(Uint32 colour);

// The block image whose colour is at (x, y), or -1.
int tileAt(int x, int y);
// The characters of a line of text drawn at (x, y) in the small or big font, read back
// from glyph colours; '~' where no glyph is seen.
std::string readText(int x, int y, int length, bool big);
// Text centred as the game centres it: its x for `length` characters.
int centredX(int length, bool big);

// A flat-coloured backdrop whose every column has its own colour: column x shows
// backdropColour(x).
SDL_Surface* makeStripedBackdrop(int width, int height);
Uint32 backdropColour(int column);

class FlatArtTest : public ::testing::Test {
  protected:
    void SetUp() override { useFlatArt(); }
    void TearDown() override { freeFlatArt(); }
};

// Puts silent samples of its own in place of the 13 sound effects, so that playSFX runs
// for real on the dummy audio device, and reads back which ones play. The samples last
// long enough that nothing ends during a test.
class SoundProbe {
  public:
    SoundProbe();
    ~SoundProbe();
    SoundProbe(const SoundProbe&) = delete;
    SoundProbe& operator=(const SoundProbe&) = delete;
    // Channels playing sound `sound` now.
    int playing(int sound) const;
    // Every channel stopped.
    void reset();
};
