// Shared helpers for the tests: a headless picture to draw into, a scratch directory that a
// test can make its working directory, archives and images built in memory, a virtual clock
// for the time seam, and scripted SDL input.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bmp_writer.h"
#include "zda_writer.h"

// Brings up SDL video (the caller's environment selects the dummy driver) with a 320x240
// window-less mode of the given depth as `screen`, and maps the named colours.
void useTestScreen(int bpp = 16);

// Makes a fresh empty directory the working directory for the life of the object and
// removes it afterwards.
class ScopedTempDir {
  public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& path() const { return dir_; }

  private:
    std::string dir_;
    std::string previous_;
};

// ---- files and archives

std::string readWholeFile(const std::string& path);

// A file in the build directory for what a death test's child prints: the same path in the
// parent and in a re-executed child.
std::string deathOutputPath(const std::string& name);

// Sends standard output to a file (for the child of a death test); aborts when it cannot.
void redirectStdout(const std::string& path);

// Runs `body` in a death test that must exit with `status`; returns what it printed.
template <class Body>
std::string exitOutput(const std::string& name, int status, Body body) {
    const std::string out = deathOutputPath(name);
    EXPECT_EXIT(
        {
            redirectStdout(out);
            body();
        },
        ::testing::ExitedWithCode(status), "");
    return readWholeFile(out);
}

void writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// Writes <dir>/<base>.zda with these members (full names such as "font.bmp").
void writeArchive(const std::string& dir, const std::string& base,
                  const std::vector<ZdaMember>& members);

// Points the reader at <dir> (closing whatever it had open) and opens the four archives.
// The destructor closes them and restores the game's own directory, unless a newer
// ArchiveDir has taken over meanwhile.
class ArchiveDir {
  public:
    explicit ArchiveDir(const std::string& dir);
    ~ArchiveDir();
    ArchiveDir(const ArchiveDir&) = delete;
    ArchiveDir& operator=(const ArchiveDir&) = delete;

  private:
    std::string dir_;
    int generation_;
};

// ---- pictures

// Glyphs for the codes 32 ... 32 + count - 1 side by side, `perRow` to a row: the blank is
// all magenta, every other glyph is magenta with a filled square of its own colour
// glyphColour(k) inset by one pixel.
RgbImage makeFontImage(int glyphW, int glyphH, int count, int perRow);
uint32_t glyphColour(int k);
// Checks the cells of width w from (x, y) on in `screen`, as drawn with such a font: the
// pixel one in from each cell's corner shows the glyph of the character in `want` (a blank
// for nothing drawn).
void expectCells(int x, int y, int w, const std::string& want);

// A 320x192 block sheet whose block i is filled with blockColour(i), with magenta in its
// top-left pixel; the water strip (blocks 160, 161) gets a column gradient instead.
RgbImage makeBlockSheet();
uint32_t blockColour(int i);

// Every image the start-up and intro screens load, small but complete: "font", "fontbig",
// "logo", "back", "zk-vemo", "zk-logo" (width logoWidth), "blocks".
std::vector<ZdaMember> introGfxMembers(int logoWidth = 100);

ZdaMember bmpMember(const std::string& name, const RgbImage& img);

// Reads pixel (x, y) of a surface as 0xRRGGBB.
uint32_t pixelRGB(SDL_Surface* s, int x, int y);
// A colour 0xRRGGBB as pixelRGB reads it back from `screen` (its channels cut to the depth).
uint32_t asShown(uint32_t rgb);
// The raw pixel value at (x, y) (2 or 3 bytes per pixel, or 4).
Uint32 rawPixel(SDL_Surface* s, int x, int y);
void putRawPixel(SDL_Surface* s, int x, int y, Uint32 v);

// ---- the time seam

// A clock that only moves when the game sleeps (by what it asked plus `overrunMs`) or when
// the test says so. Installs itself into the seam; the destructor puts the real clock back.
class VirtualClock {
  public:
    explicit VirtualClock(Uint32 start = 1000);
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    static Uint32 now;
    static int overrunMs;              // added to every sleep
    static int realSleepUs;            // also really sleep this long per sleep (0: never)
    static std::vector<Uint32> sleeps; // every sleep asked for, in ms
    static void advance(Uint32 ms) { now += ms; }
};

// ---- scripted input

// Events pushed into SDL's queue when checkInput (or a poll of waitKeyUp) has been called a
// given number of times: a step with call n is pushed at the start of the n-th call
// (1-based). The hook is installed for the life of the object. A game still asking for
// input long after the last step waits for a key the script will never press: the test
// program then ends with a failure instead of hanging.
class InputScript {
  public:
    InputScript();
    ~InputScript();
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;

    InputScript& key(int call, int sym, bool down);
    InputScript& tap(int call, int sym); // down and up in the same call
    InputScript& quit(int call);

    static int calls; // how often the hook has run
  private:
    static void hook();
    static std::vector<std::pair<int, SDL_Event>> steps;
};

SDL_Event keyEvent(int sym, bool down);
void pushEvent(SDL_Event ev);
void drainEvents();
