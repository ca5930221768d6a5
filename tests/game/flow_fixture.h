// Shared pieces of the game flow tests: small stage maps packed into a maps archive, a
// working directory holding the game's archives, a hiscore table written to disk, the
// SDL set-up of a test, and a scripted player that watches the game state from the input
// hook and presses keys when the screen it waits for is up.
#pragma once
#include "test_env.h"
#include "world/figure.h"
#include "world/replay.h"

#include <SDL.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// ---- stage maps

// A map of 12 rows; cells are set one by one or a row at a time.
class StageMap {
  public:
    explicit StageMap(int columns);
    StageMap& set(int column, int row, int value);
    StageMap& fillRow(int row, int value);
    std::vector<unsigned char> bytes() const;
    int columns() const { return columns_; }

  private:
    int columns_;
    std::vector<unsigned char> cells_;
};

// Cell values used by the test stages.
constexpr int T_GROUND = 21, T_START = 65, T_RING = 41, T_BONUS = 137, T_FLAG = 17, T_SPIKES = 87,
              T_MASKY = 9;
constexpr int T_DOOR_TL = 27, T_DOOR_TR = 28, T_DOOR_BL = 47, T_DOOR_BR = 48;

// The title stage: a floor, a monster and room to scroll.
StageMap titleStage();
// Stage 1: start, three rings, a bonus, and the door at columns 14 and 15.
StageMap ringStage();
constexpr int RING_STAGE_RINGS = 3, RING_STAGE_BONUS = 20;
// Stage 2: start, a checkpoint flag at column 5 and spikes at column 10.
StageMap spikeStage();
constexpr int SPIKE_STAGE_FLAG_X = 5 * 16, SPIKE_STAGE_FLAG_Y = 10 * 16;

// The maps archive for stages 0 ... 2 (trobz300 ... trobz302).
std::vector<ZdaMember> testStageMembers();

// The title and the first stage as the build packed them, and the first stage's replay
// from the sources; false when the build has not made them (yet).
bool realFirstStages(std::vector<ZdaMember>* members, Replay* replay);

// ---- directories and files

// A fresh working directory whose ./data holds the built gfx, music and sound archives
// and a maps archive of the given stages. The game's own files start absent.
class GameDirectory {
  public:
    explicit GameDirectory(const std::vector<ZdaMember>& maps = testStageMembers());
    const std::string& path() const { return dir_.path(); }

  private:
    ScopedTempDir dir_;
};

// Writes ./hiscores.dat with player entries named after `names` and scored `scores`.
void writeHiscoreFile(const std::vector<std::string>& names, const std::vector<int>& scores);
// The 160 plain bytes of ./hiscores.dat, decoded.
std::vector<unsigned char> readHiscoreFile();

// ---- SDL for the tests that drive single screens

// Brings up a 320x240 picture, the audio device, the fonts, block images and sounds from
// the built archives, and a fresh game state on the title; clears all input.
void setUpFlowScreen();
void tearDownFlowScreen();
// Closes the archives and opens the ones in `dir`.
void useGameArchives(const char* dir);

// The fixture of the tests that drive single screens of the flow, on a virtual clock.
// A screen that never sees the input it waits for would wait forever (and the game turns
// SIGTERM into a quit request it may ignore), so every test runs under an alarm.
constexpr unsigned TEST_ALARM_SECONDS = 120;

class FlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        alarm(TEST_ALARM_SECONDS);
        setUpFlowScreen();
    }
    void TearDown() override {
        tearDownFlowScreen();
        alarm(0);
    }
    VirtualClock clock;
    Figure hero = {};
};

// ---- the scripted player

// Steps run in order; a step waits until its condition holds at a call of the input hook
// (every checkInput and every poll of waitKeyUp), then acts. A repeating step acts every
// `every` calls while its condition holds, until its end condition holds.
class ScriptedPlayer {
  public:
    ScriptedPlayer();
    ~ScriptedPlayer();
    ScriptedPlayer(const ScriptedPlayer&) = delete;
    ScriptedPlayer& operator=(const ScriptedPlayer&) = delete;

    ScriptedPlayer& when(const std::string& what, std::function<bool()> ready,
                         std::function<void()> act);
    ScriptedPlayer& repeat(const std::string& what, std::function<bool()> until,
                           std::function<bool()> ready, std::function<void()> act, int every);

    // Key actions, taking effect in the current call.
    static void tap(int sym);     // pressed and released at once: typed, never held
    static void press(int sym);   // held for this call, released at the next
    static void keyDown(int sym); // held until keyUp
    static void keyUp(int sym);
    static void setHeld(const std::vector<int>& syms); // exactly these movement keys held

    bool finished() const;
    std::string stuckAt() const; // the step waited for, "" when all ran
    static int calls;            // hook calls so far
    static int watchdog;         // calls a step may wait before the run is given up

  private:
    struct Step {
        std::string what;
        std::function<bool()> until, ready;
        std::function<void()> act;
        int every;
        int lastAct;
    };
    static void hook();
    static std::vector<Step>* steps_;
    static size_t next_;
    static int stepStart_;
    static std::vector<int> releaseNext_;
    static std::vector<int> held_;
};

// Key symbols of the default bindings.
constexpr int K_RETURN = 13, K_SPACE = 32, K_TAB = 9, K_ESCAPE = 27;
constexpr int K_UP = 273, K_DOWN = 274, K_RIGHT = 275, K_LEFT = 276;
