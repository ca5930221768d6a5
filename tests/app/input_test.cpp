// Keyboard and joystick input from pushed SDL events: held and released controls, the hat
// and stick rules, the movement flags, pause and quit requests, and waiting for key-up.
#include "data/settings.h"
#include "game/input.h"
#include "test_env.h"
#include "world/gamestate.h"

#include <gtest/gtest.h>

namespace {

void pushKey(int sym, bool down) {
    pushEvent(keyEvent(sym, down));
}
void tapKey(int sym) {
    pushKey(sym, true);
    pushKey(sym, false);
}

void pushButton(int b, bool down) {
    SDL_Event ev = {};
    ev.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    ev.jbutton.button = (Uint8)b;
    pushEvent(ev);
}

void pushHat(int v) {
    SDL_Event ev = {};
    ev.type = SDL_JOYHATMOTION;
    ev.jhat.value = (Uint8)v;
    pushEvent(ev);
}

void pushAxis(int a, int v) {
    SDL_Event ev = {};
    ev.type = SDL_JOYAXISMOTION;
    ev.jaxis.axis = (Uint8)a;
    ev.jaxis.value = (Sint16)v;
    pushEvent(ev);
}

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        useTestScreen(16);
        drainEvents();
        resetDefaultControls();
        lastKey = lastKeyTyped = lastKeySym = 0;
        lastJButton = -1;
        space = left = right = jump = crawl = 0;
        done = paused = escape = workflow = 0;
        inputHook = nullptr;
    }
    void TearDown() override {
        resetDefaultControls();
        done = paused = escape = workflow = 0;
    }
};

} // namespace

TEST_F(InputTest, AKeyPressedAndReleasedInOneFrameIsTypedNotHeld) {
    tapKey(SDLK_SPACE);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_JUMP);
    // the next frame has nothing typed
    checkInput();
    EXPECT_EQ(lastKeyTyped, 0);
}

TEST_F(InputTest, HeldControlsStayUntilReleased) {
    pushKey(SDLK_RETURN, true);
    pushKey(SDLK_LEFT, true);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_START | CTRL_LEFT);
    EXPECT_EQ(lastKeyTyped, 0);
    EXPECT_EQ(lastKeySym, SDLK_LEFT);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_START | CTRL_LEFT);
    pushKey(SDLK_RETURN, false);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_LEFT);
    EXPECT_EQ(lastKeyTyped, CTRL_START);
    EXPECT_EQ(lastKeySym, SDLK_LEFT); // a release does not change it
}

TEST_F(InputTest, OppositeDirectionsReplaceEachOther) {
    pushKey(SDLK_UP, true);
    pushKey(SDLK_DOWN, true);
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_LEFT, true);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_DOWN | CTRL_LEFT);
}

TEST_F(InputTest, OfTwoReleasesInOneFrameTheLastIsTyped) {
    pushKey(SDLK_TAB, true);
    pushKey(SDLK_UP, true);
    checkInput();
    pushKey(SDLK_UP, false);
    pushKey(SDLK_TAB, false);
    checkInput();
    EXPECT_EQ(lastKeyTyped, CTRL_PAUSE);
    EXPECT_EQ(lastKey, 0);
    // a release without a press still counts
    pushKey(SDLK_DOWN, false);
    checkInput();
    EXPECT_EQ(lastKeyTyped, CTRL_DOWN);
}

TEST_F(InputTest, EscapeAsksToQuitWithoutTypingAnything) {
    tapKey(SDLK_ESCAPE);
    checkInput();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(lastKeyTyped, 0);
    EXPECT_EQ(lastKey, 0);
    // bound to a control, the same key is that control and nothing else
    done = 0;
    JUMP_KEY = SDLK_ESCAPE;
    tapKey(SDLK_ESCAPE);
    checkInput();
    EXPECT_EQ(done, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_JUMP);
}

TEST_F(InputTest, ClosingTheWindowAsksToQuit) {
    SDL_Event ev = {};
    ev.type = SDL_QUIT;
    pushEvent(ev);
    checkInput();
    EXPECT_EQ(done, 1);
}

TEST_F(InputTest, AKeyBoundTwiceActsForBoth) {
    JUMP_KEY = SDLK_UP;
    pushKey(SDLK_UP, true);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_UP | CTRL_JUMP);
    pushKey(SDLK_UP, false);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_JUMP); // processed after the direction
}

TEST_F(InputTest, UnboundControlsAndOtherKeysAreIgnored) {
    LEFT_KEY = -1;
    tapKey(SDLK_LEFT);
    tapKey(SDLK_a);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, 0);
    EXPECT_EQ(lastKeySym, SDLK_a);
}

TEST_F(InputTest, JoystickButtonsMapToTheirControls) {
    pushButton(DEFAULT_JUMP_BUTTON, true);
    pushButton(DEFAULT_START_BUTTON, true);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_JUMP | CTRL_START);
    EXPECT_EQ(lastJButton, DEFAULT_START_BUTTON);
    EXPECT_EQ(lastKeySym, 0);
    pushButton(DEFAULT_START_BUTTON, false);
    pushButton(5, true); // unbound
    checkInput();
    EXPECT_EQ(lastKey, CTRL_JUMP);
    EXPECT_EQ(lastKeyTyped, CTRL_START);
    EXPECT_EQ(lastJButton, 5);
    // any key event forgets the button
    pushKey(SDLK_b, false);
    checkInput();
    EXPECT_EQ(lastJButton, -1);
}

TEST_F(InputTest, TheHatSetsOneDirectionPerAxisAndReleasesWhenCentred) {
    pushHat(SDL_HAT_UP | SDL_HAT_RIGHT);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_UP | CTRL_RIGHT);
    // a value with only a vertical bit leaves the horizontal control as it was
    pushHat(SDL_HAT_DOWN);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_DOWN | CTRL_RIGHT);
    pushHat(SDL_HAT_LEFT);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_DOWN | CTRL_LEFT);
    // centred: the vertical release first, then the horizontal one, which wins
    pushHat(SDL_HAT_CENTERED);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_LEFT);
    // with only a vertical control held, that one is typed
    pushHat(SDL_HAT_UP);
    pushHat(SDL_HAT_CENTERED);
    checkInput();
    EXPECT_EQ(lastKeyTyped, CTRL_UP);
}

TEST_F(InputTest, TheStickCountsOnlyBeyondItsDeadZone) {
    pushAxis(0, 31000);
    pushAxis(1, -31000);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    pushAxis(0, 31001);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_RIGHT);
    pushAxis(0, -32768);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_LEFT);
    pushAxis(0, 0);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_LEFT);
    pushAxis(1, 32767);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_DOWN);
    pushAxis(1, 100);
    checkInput();
    EXPECT_EQ(lastKeyTyped, CTRL_DOWN);
    pushAxis(2, 32767); // other axes are ignored
    checkInput();
    EXPECT_EQ(lastKey, 0);
}

TEST_F(InputTest, WithoutAJumpButtonTheStickUpJumps) {
    pushAxis(1, -32000);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_UP); // a jump button exists
    pushAxis(1, 0);
    checkInput();
    JUMP_BUTTON = -1;
    pushAxis(1, -32000);
    checkInput();
    EXPECT_EQ(lastKey, CTRL_UP | CTRL_JUMP);
    // centring types UP and then JUMP, so JUMP wins
    pushAxis(1, 0);
    checkInput();
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_JUMP);
}

TEST_F(InputTest, MovementFlagsFollowTheHeldControls) {
    pushKey(SDLK_UP, true);
    pushKey(SDLK_RETURN, true);
    checkKey(1, 0);
    EXPECT_EQ(jump, 1); // UP counts as jump
    EXPECT_EQ(space, 1);
    EXPECT_EQ(crawl, 0);
    pushKey(SDLK_UP, false);
    pushKey(SDLK_DOWN, true);
    checkKey(1, 0);
    EXPECT_EQ(jump, 0);
    EXPECT_EQ(crawl, 1);
    pushKey(SDLK_RIGHT, true);
    checkKey(1, 0);
    EXPECT_EQ(right, 1);
    EXPECT_EQ(left, 0);
    // left and right together: left, and right keeps what it was
    pushHat(SDL_HAT_LEFT | SDL_HAT_RIGHT);
    checkKey(1, 0);
    EXPECT_EQ(lastKey & (CTRL_LEFT | CTRL_RIGHT), CTRL_LEFT);
    EXPECT_EQ(left, 1);
    lastKey |= CTRL_RIGHT; // both held (as two devices can do)
    right = 1;
    checkKey(1, 0);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 1);
    right = 0;
    checkKey(1, 0);
    EXPECT_EQ(right, 0);
}

TEST_F(InputTest, TheQuitRequestReachesEscape) {
    tapKey(SDLK_ESCAPE);
    checkKey(0, 0);
    EXPECT_EQ(escape, 1);
}

TEST_F(InputTest, StartOrPauseOpensThePauseMenuInAStage) {
    tapKey(SDLK_RETURN);
    checkKey(3, 1);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(workflow, 2);
    EXPECT_EQ(lastKeyTyped, 0);
    // not again while paused: the release stays for the menu
    tapKey(SDLK_TAB);
    workflow = 0;
    checkKey(3, 1);
    EXPECT_EQ(workflow, 0);
    EXPECT_EQ(lastKeyTyped, CTRL_PAUSE);
    // not on the title, not where pausing is not allowed, not for other controls
    paused = 0;
    tapKey(SDLK_TAB);
    checkKey(0, 1);
    EXPECT_EQ(paused, 0);
    tapKey(SDLK_TAB);
    checkKey(3, 0);
    EXPECT_EQ(paused, 0);
    tapKey(SDLK_SPACE);
    checkKey(3, 1);
    EXPECT_EQ(paused, 0);
}

TEST_F(InputTest, WaitingForKeyUpReturnsAtOnceWhenNothingIsHeld) {
    VirtualClock clock;
    Uint8* keys = SDL_GetKeyState(nullptr);
    keys[SDLK_CAPSLOCK] = 1; // lock keys do not count
    keys[SDLK_NUMLOCK] = 1;
    lastKey = CTRL_JUMP;
    lastKeyTyped = CTRL_START;
    lastKeySym = SDLK_SPACE;
    lastJButton = 3;
    waitKeyUp();
    EXPECT_EQ(VirtualClock::now, 1010u); // one poll
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastKeyTyped, 0);
    EXPECT_EQ(lastKeySym, 0);
    EXPECT_EQ(lastJButton, -1);
    keys[SDLK_CAPSLOCK] = keys[SDLK_NUMLOCK] = 0;
}

namespace {
int pollsUntilRelease;
void releaseAfterPolls() {
    if (--pollsUntilRelease == 0) {
        SDL_GetKeyState(nullptr)[SDLK_x] = 0;
        pushKey(SDLK_SPACE, false); // arrives while waiting: stays queued
    }
}
} // namespace

TEST_F(InputTest, WaitingForKeyUpPollsEveryTenMillisecondsAndKeepsNewEvents) {
    VirtualClock clock;
    SDL_GetKeyState(nullptr)[SDLK_x] = 1;
    pollsUntilRelease = 5;
    inputHook = releaseAfterPolls;
    waitKeyUp();
    inputHook = nullptr;
    EXPECT_EQ(VirtualClock::now, 1050u);
    EXPECT_EQ(VirtualClock::sleeps, std::vector<Uint32>(5, 10));
    checkInput();
    EXPECT_EQ(lastKeyTyped, CTRL_JUMP);
}
