// Shared pieces of the game flow tests: small stage maps, a working directory holding the
// game's archives, the SDL set-up of a test that drives single screens, and a scripted
// player that watches the game state from the input hook and presses keys when the screen
// it waits for is up.
#pragma once
#include "data/hiscores.h"
#include "test_env.h"
#include "world/figure.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using Ints = std::vector<int>;
using Bytes = std::vector<unsigned char>;

// ---- stage maps

// A stage `columns` wide on a floor, in the game's file layout, with these blocks
// {column, row, block}.
Bytes stageBytes(int columns, const std::vector<std::array<int, 3>>& blocks);
// The title: a floor, a monster and room to scroll.
Bytes titleStage();
// Start, three rings, a bonus, the door at columns 14 and 15, and maybe a checkpoint flag at
// column 2.
Bytes ringStage(bool flag = false);
constexpr int RING_STAGE_POINTS = 3 + 20;
// Start, a checkpoint flag at column 5 and spikes at column 10.
Bytes spikeStage();
constexpr int SPIKE_STAGE_FLAG_X = 5 * 16, SPIKE_STAGE_FLAG_Y = 10 * 16;

// A fresh working directory whose ./data holds the built gfx, music and sound archives
// and a maps archive of these stages (by default the title, the ring and the spike stage as
// stages 0 ... 2). The game's own files start absent.
class GameDirectory {
  public:
    explicit GameDirectory(const std::vector<ZdaMember>& maps = {{"trobz300.bin", titleStage()},
                                                                 {"trobz301.bin", ringStage()},
                                                                 {"trobz302.bin", spikeStage()}});

  private:
    ScopedTempDir dir_;
};

// ---- single screens

// The flow's state in one line, for dense checks: "level L lives N score S menu W rank R
// saved V escape E done D" (menu is `workflow`, rank `hsRank`).
std::string flowState();

// Labelled values in one line, printf-style, for a record a test compares as a whole.
__attribute__((format(printf, 1, 2))) std::string describe(const char* format, ...);

// A screen that never sees the input it waits for would wait forever (and the game turns
// SIGTERM into a quit request it may ignore), so every test runs under an alarm.
constexpr unsigned TEST_ALARM_SECONDS = 120;

// The fixture of the tests that drive single screens of the flow, on a virtual clock: a
// 320x240 picture, the audio device, the fonts, block images and sounds from the built
// archives, and a fresh game state on the title with all input cleared.
class FlowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    VirtualClock clock;
    Figure hero = {};
    std::unique_ptr<ArchiveDir> archives;
};

// ---- the scripted player

// Steps run in order; a step waits until its condition holds at a call of the input hook
// (every checkInput and every poll of waitKeyUp), then acts. A repeating step acts every
// `every` calls until its end condition holds.
class ScriptedPlayer {
  public:
    using Test = std::function<bool()>;
    using Act = std::function<void()>;
    ScriptedPlayer();
    ~ScriptedPlayer();
    ScriptedPlayer(const ScriptedPlayer&) = delete;
    ScriptedPlayer& operator=(const ScriptedPlayer&) = delete;

    ScriptedPlayer& when(const std::string& what, Test ready, Act act);
    ScriptedPlayer& tapWhen(const std::string& what, Test ready, int sym);
    ScriptedPlayer& repeat(const std::string& what, Test until, Act act, int every = 1);
    // `act` at every call, for the rest of the run
    ScriptedPlayer& always(Act act) {
        return repeat(
            "the end", [] { return false; }, act);
    }

    // Key actions, taking effect in the current call.
    static void keyDown(int sym) { pushEvent(keyEvent(sym, true)); } // held until keyUp
    static void keyUp(int sym) { pushEvent(keyEvent(sym, false)); }
    static void tap(int sym) { // pressed and released at once: typed, never held
        keyDown(sym);
        keyUp(sym);
    }
    static void press(int sym);                        // held for this call, released at the next
    static void setHeld(const std::vector<int>& syms); // exactly these movement keys held

    bool finished() const;
    std::string stuckAt() const; // the step waited for, "" when all ran
    static int calls;            // hook calls so far

  private:
    static void hook();
};

// A whole game: gameMain with these arguments, played by a player that passes the intro,
// the story pages, "GAME OVER!" and the name entry, chooses the title's first choice (NEW
// GAME, or CONTINUE with a savegame), answers no to "CONTINUE?", and hands every input poll
// of a stage to `play`. When `play` returns false the stage is left through the quit dialog;
// once a stage has been seen, the title is left with Escape and the game ends.
struct GameSeen {
    int status = -1;
    std::map<int, std::string> tally; // the tally's line of times, by stage
    std::vector<int> pages;           // the story pages in turn
};
GameSeen playGame(std::vector<const char*> args, const std::function<bool()>& play);

// Records each story page once, in turn, into `pages`; true when `storyPage` is new.
bool notePage(std::vector<int>& pages);

// Key symbols of the default bindings.
constexpr int K_RETURN = 13, K_SPACE = 32, K_TAB = 9, K_ESCAPE = 27;
constexpr int K_UP = 273, K_DOWN = 274, K_RIGHT = 275, K_LEFT = 276;
