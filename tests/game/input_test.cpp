// Keyboard and joystick input from pushed SDL events: held and released controls, the hat
// and stick rules, Escape, left against right; and the termination signals. (Taps, held keys
// and closing the window are what the end-to-end run plays with.)
#include "app/startup.h"
#include "data/settings.h"
#include "game/input.h"
#include "game/termination.h"
#include "test_env.h"
#include "world/flowstate.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

// A joystick event: a button pressed or released, the hat, an axis.
SDL_Event joy(Uint8 type, int index, int value = 0) {
    SDL_Event ev = {};
    ev.type = type;
    ev.jbutton.button = (Uint8)index; // the button, hat or axis number
    if (type == SDL_JOYHATMOTION) ev.jhat.value = (Uint8)value;
    if (type == SDL_JOYAXISMOTION) ev.jaxis.value = (Sint16)value;
    return ev;
}

void resetInput() {
    drainEvents();
    resetDefaultControls();
    lastKey = lastKeyTyped = lastKeySym = 0;
    lastJButton = -1;
    space = left = right = jump = crawl = done = paused = escape = workflow = 0;
    inputHook = nullptr;
}

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        useTestScreen(16);
        resetInput();
    }
    void TearDown() override { resetInput(); }
    static SDL_Event down(int sym) { return keyEvent(sym, true); }
    static SDL_Event up(int sym) { return keyEvent(sym, false); }
    static SDL_Event hat(int v) { return joy(SDL_JOYHATMOTION, 0, v); }
    static SDL_Event stick(int axis, int v) { return joy(SDL_JOYAXISMOTION, axis, v); }
    static void frame(const std::vector<SDL_Event>& events) {
        for (const SDL_Event& ev : events)
            pushEvent(ev);
        checkInput();
    }
};

constexpr int S = CTRL_START, P = CTRL_PAUSE, J = CTRL_JUMP, L = CTRL_LEFT, R = CTRL_RIGHT,
              D = CTRL_DOWN, U = CTRL_UP;

} // namespace

TEST_F(InputTest, EventsBecomeHeldAndTypedControls) {
    struct Frame {
        std::vector<SDL_Event> events;
        int held, typed; // lastKey and lastKeyTyped after the frame's checkInput
    };
    struct Case {
        const char* what;
        std::vector<Frame> frames;
        int done = 0;
        void (*bind)() = [] {};
    };
    const Case cases[] = {
        {"opposite directions replace each other",
         {{{down(SDLK_UP), down(SDLK_DOWN), down(SDLK_RIGHT), down(SDLK_LEFT)}, D | L, 0},
          {{down(SDLK_UP), down(SDLK_RIGHT)}, U | R, 0}}},
        {"of two releases the last is typed; a release without a press counts",
         {{{down(SDLK_TAB), down(SDLK_UP)}, P | U, 0},
          {{up(SDLK_UP), up(SDLK_TAB)}, 0, P},
          {{up(SDLK_DOWN)}, 0, D}}},
        {"Escape asks to quit and types nothing", {{{down(27), up(27)}, 0, 0}}, 1},
        {"bound to a control, Escape is that control",
         {{{down(27), up(27)}, 0, J}},
         0,
         [] { JUMP_KEY = 27; }},
        {"a key bound twice acts for both, the later typed",
         {{{down(SDLK_UP)}, U | J, 0}, {{up(SDLK_UP)}, 0, J}},
         0,
         [] { JUMP_KEY = SDLK_UP; }},
        {"unbound controls and other keys do nothing",
         {{{down(SDLK_LEFT), up(SDLK_LEFT), down(SDLK_a), up(SDLK_a)}, 0, 0}},
         0,
         [] { LEFT_KEY = -1; }},
        {"joystick buttons",
         {{{joy(SDL_JOYBUTTONDOWN, 0), joy(SDL_JOYBUTTONDOWN, 7)}, J | S, 0},
          {{joy(SDL_JOYBUTTONUP, 7), joy(SDL_JOYBUTTONDOWN, 5)}, J, S},
          {{joy(SDL_JOYBUTTONUP, 3)}, J, P}}},
        {"the hat: one direction per axis, released when centred, horizontal last",
         {{{hat(SDL_HAT_UP | SDL_HAT_RIGHT)}, U | R, 0},
          {{hat(SDL_HAT_DOWN)}, D | R, 0},
          {{hat(SDL_HAT_LEFT)}, D | L, 0},
          {{hat(SDL_HAT_CENTERED)}, 0, L},
          {{hat(SDL_HAT_UP), hat(SDL_HAT_CENTERED)}, 0, U}}},
        {"the stick counts only beyond 31000",
         {{{stick(0, 31000), stick(1, -31000)}, 0, 0},
          {{stick(0, 31001)}, R, 0},
          {{stick(0, -32768)}, L, 0},
          {{stick(0, 0)}, 0, L},
          {{stick(1, 32767)}, D, 0},
          {{stick(1, 100)}, 0, D},
          {{stick(2, 32767)}, 0, 0}}},
        {"with a jump button the stick's up does not jump",
         {{{stick(1, -32000)}, U, 0}, {{stick(1, 0)}, 0, U}}},
        {"without one it does, and centring types JUMP last",
         {{{stick(1, -32000)}, U | J, 0}, {{stick(1, 0)}, 0, J}},
         0,
         [] { JUMP_BUTTON = -1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetInput();
        c.bind();
        for (size_t i = 0; i < c.frames.size(); i++) {
            frame(c.frames[i].events);
            EXPECT_EQ(lastKey, c.frames[i].held) << "frame " << i;
            EXPECT_EQ(lastKeyTyped, c.frames[i].typed) << "frame " << i;
        }
        EXPECT_EQ(done, c.done);
    }
}

TEST_F(InputTest, LeftWinsWhenBothDirectionsAreHeld) {
    // as a key and the pad can hold them together: right keeps what it was
    lastKey = L | R;
    checkKey(1, 0);
    EXPECT_EQ(std::vector<int>({left, right}), std::vector<int>({1, 0}));
}

namespace {
int pollsUntilRelease;
} // namespace

TEST_F(InputTest, ATerminationSignalEndsEveryLoopAndWaitThroughTheShutdown) {
    // every frame loop reads checkInput; waitKeyUp waits on a held key without it
    for (int signal : {SIGTERM, SIGINT})
        for (void (*wait)() : {checkInput, waitKeyUp}) {
            SCOPED_TRACE(signal);
            exitOutput("termination", 0, [&] {
                VirtualClock clock;
                onTermination = endOnTermination;
                catchTerminationSignals();
                std::raise(signal);
                SDL_GetKeyState(nullptr)[SDLK_x] = 1;
                pollsUntilRelease = 3; // a wait blind to the signal ends here, and fails
                inputHook = [] {
                    if (--pollsUntilRelease == 0) SDL_GetKeyState(nullptr)[SDLK_x] = 0;
                };
                wait();
            });
        }
}
