// A long run of the whole game on the virtual clock: the intro, the title stage with the
// menu cursor wandering, then a new game and stage 1 played with random input, with every
// death, game over, continue and name entry that brings, for 200 000 frames (or
// TROBZ_SOAK_FRAMES). The heap in use is sampled as it goes and must not grow once the
// stage is running; under the address sanitizer the leak check at exit covers the rest.
#include "test_env.h"

#include "app/startup.h"
#include "game/flow.h"
#include "game/input.h"
#include "world/flowstate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SOAK_SANITIZED 1
#elif defined(__has_feature) // clang tells its sanitizers only this way
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SOAK_SANITIZED 1
#endif
#endif
#ifdef SOAK_SANITIZED
// in every sanitizer runtime; GCC ships no header that declares it
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

constexpr long DEFAULT_FRAMES = 200000;
constexpr long SAMPLE_EVERY = 5000;       // hook calls between two memory samples
constexpr long WARM_UP = 20000;           // stage calls before the baseline is taken
constexpr size_t HEAP_SLACK = 512 * 1024; // bytes the heap may wander above its baseline
constexpr long RSS_SLACK_KB = 4096;       // the same for the resident set (not sanitized)
constexpr long STEER_EVERY = 12;          // calls between two keys that move the flow on
constexpr long GIVE_UP_AFTER = 200000;    // calls past the end allowed for leaving the game

constexpr int K_RETURN = 13, K_SPACE = 32, K_UP = 273, K_DOWN = 274, K_RIGHT = 275, K_LEFT = 276;

size_t heapInUse() {
#ifdef SOAK_SANITIZED
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

long residentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

struct Sample {
    long call;
    size_t heap;
    long rssKb;
};

// The random player. Everything it does happens at the start of a checkInput (or a poll of
// a waiting loop), through SDL's event queue, as if the keys had been pressed.
struct Soak {
    long total = DEFAULT_FRAMES;
    long titleCalls = DEFAULT_FRAMES / 10;
    long calls = 0;
    long stageCalls = 0;      // calls spent playing stage 1
    long stageOneEntered = 0; // attempts of stage 1 begun
    long lastFlow = FLOW_NONE;
    long nextChange = 0; // call at which the held movement keys change
    std::mt19937 rng{20261207};
    std::vector<int> held;
    std::vector<int> upNext; // pressed last call, released now
    std::vector<Sample> samples;

    void key(int sym, bool down) { pushEvent(keyEvent(sym, down)); }
    void tap(int sym) {
        key(sym, true);
        key(sym, false);
    }
    void press(int sym) { // held for this call, released at the next
        key(sym, true);
        upNext.push_back(sym);
    }
    void hold(const std::vector<int>& keys) {
        for (int k : held)
            if (std::find(keys.begin(), keys.end(), k) == keys.end()) key(k, false);
        for (int k : keys)
            if (std::find(held.begin(), held.end(), k) == held.end()) key(k, true);
        held = keys;
    }
    int roll(int n) { return (int)(rng() % (unsigned)n); }

    // The title: the cursor wanders (movement never chooses); later it is steered to
    // "NEW GAME" and chosen, and a sub-screen is left by choosing.
    void title() {
        if (calls < titleCalls) {
            if (roll(20) == 0) tap(roll(2) ? K_UP : K_DOWN);
        } else if (calls % STEER_EVERY == 0) {
            tap(workflow == WF_NEW_GAME      ? K_RETURN
                : workflow == WF_PRESS_START ? K_DOWN
                : workflow > WF_NEW_GAME     ? K_UP
                                             : K_SPACE);
        }
    }

    // A stage: runs of held movement keys, mostly to the right, with jumps and crouches.
    void stage() {
        if (level == 1) stageCalls += 1;
        if (calls < nextChange) return;
        nextChange = calls + 4 + roll(40);
        std::vector<int> keys;
        const int dir = roll(10);
        if (dir < 6)
            keys.push_back(K_RIGHT);
        else if (dir < 8)
            keys.push_back(K_LEFT);
        if (roll(10) < 4) keys.push_back(K_SPACE);
        if (roll(10) == 0) keys.push_back(K_DOWN);
        hold(keys);
    }

    // Every STEER_EVERY calls, the key that moves a waiting screen on: to more play, or out
    // of the game once the soak is over (a stage asks first, the title acts on it).
    void steer(bool leaving) {
        if (flowScreen == FLOW_STORY || flowScreen == FLOW_GAME_OVER)
            tap(K_SPACE);
        else if (flowScreen == FLOW_CONTINUE)
            tap(leaving ? K_RIGHT : K_LEFT); // no, or yes: play on
        else if (flowScreen == FLOW_QUIT_DIALOG)
            tap(leaving ? K_LEFT : K_RIGHT); // yes, or no
        else if (flowScreen == FLOW_NAME_ENTRY)
            press(K_RETURN);
        else if (leaving)
            pushEvent(SDL_Event{SDL_QUIT});
        else if (flowScreen == FLOW_NONE) // the intro screens end on a released JUMP or UP
            tap(calls % (2 * STEER_EVERY) ? K_SPACE : K_UP);
    }

    void step() {
        calls += 1;
        VirtualClock::sleeps.clear(); // the clock's record of sleeps would grow all run long
        for (int k : upNext)
            key(k, false);
        upNext.clear();
        if (calls % SAMPLE_EVERY == 0) samples.push_back({calls, heapInUse(), residentKb()});
        if (flowScreen != lastFlow) {
            hold({});
            stageOneEntered += flowScreen == FLOW_STAGE && level == 1;
            lastFlow = flowScreen;
        }
        if (calls > total + GIVE_UP_AFTER) {
            // the game does not let go: nothing after this would end it
            std::printf("soak: the game was still on screen %d after %ld calls\n", flowScreen,
                        calls);
            std::fflush(stdout);
            std::_Exit(3);
        }
        const bool leaving = calls >= total;
        if (leaving) hold({});
        if (!leaving && flowScreen == FLOW_TITLE)
            title();
        else if (!leaving && flowScreen == FLOW_STAGE)
            stage();
        else if (calls % STEER_EVERY == 0)
            steer(leaving);
    }
};

Soak* soak;

} // namespace

TEST(Soak, TitleThenStageOneWithRandomInputKeepsItsMemory) {
    ScopedTempDir dir;
    std::filesystem::create_directory_symlink(std::string(TROBZ_BUILD_DIR) + "/data", "data");
    VirtualClock clock;
    Soak s;
    const char* frames = std::getenv("TROBZ_SOAK_FRAMES"); // at least 100 000, for the samples
    if (frames && *frames) s.total = std::max(100000L, std::strtol(frames, nullptr, 10));
    s.titleCalls = s.total / 10;
    soak = &s;
    inputHook = [] { soak->step(); };
    drainEvents();

    char prog[] = "trobz3", window[] = "-w";
    char* argv[] = {prog, window, nullptr};
    const int status = gameMain(2, argv);
    inputHook = nullptr;

    EXPECT_EQ(status, 0);
    EXPECT_GE(s.calls, s.total) << "the game ended before the soak was over";
    EXPECT_GE(s.stageOneEntered, 1) << "stage 1 was never reached";
    EXPECT_GE(s.stageCalls, s.total / 2) << "too little of the run was spent on stage 1";

    // the baseline is the highest sample once the stage has run a while; the last quarter
    // of the run must stay within the slack of it
    auto peak = [&s](long from, long to) {
        Sample top{from, 0, 0};
        for (const Sample& m : s.samples)
            if (m.call >= from && m.call < to)
                top = {from, std::max(top.heap, m.heap), std::max(top.rssKb, m.rssKb)};
        return top;
    };
    const long baseFrom = s.titleCalls + WARM_UP;
    const Sample base = peak(baseFrom, baseFrom + 4 * SAMPLE_EVERY);
    const Sample late = peak(s.total - s.total / 4, s.total + 1);
    for (const Sample& m : s.samples)
        std::printf("soak: call %7ld  heap %9zu bytes  resident %6ld kB\n", m.call, m.heap,
                    m.rssKb);
    std::printf("soak: %ld calls, %ld on stage 1 in %ld attempts\n", s.calls, s.stageCalls,
                s.stageOneEntered);
    std::printf("soak: heap in use %zu bytes after warm-up, %zu bytes at most in the last "
                "quarter; resident %ld kB, then %ld kB\n",
                base.heap, late.heap, base.rssKb, late.rssKb);
    ASSERT_GT(base.heap, 0u) << "no sample was taken after the warm-up";
    ASSERT_GT(late.heap, 0u) << "no sample was taken in the last quarter";
    EXPECT_LE(late.heap, base.heap + HEAP_SLACK) << "the heap grows while the stage is played";
#ifndef SOAK_SANITIZED
    EXPECT_LE(late.rssKb, base.rssKb + RSS_SLACK_KB) << "the resident set grows";
#endif
}
