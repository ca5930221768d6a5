// Keyboard and joystick input. checkInput turns the pending SDL events into the set of held
// controls (lastKey) and the control released during this call (lastKeyTyped): menus act on
// releases, movement on held controls. checkKey adds the hero's movement flags and the
// quit and pause requests; waitKeyUp waits until the player has let go of everything.
#include "game/input.h"

#include "data/settings.h"
#include "game/termination.h"
#include "gfx/pacing.h"
#include "world/flowstate.h"

int lastKey;
int lastKeyTyped;
int lastKeySym;
int lastJButton = -1;
int space, left, right, jump, crawl;
SDL_Joystick* joystick;
void (*inputHook)();

namespace {

constexpr int AXIS_DEADZONE = 31000; // a stick counts as pushed only beyond this
constexpr int KEY_UP_POLL_MS = 10;

inline void press(int code) {
    lastKey |= code;
}
inline void clear(int code) {
    lastKey &= ~code;
}
inline void release(int code) {
    lastKey &= ~code;
    lastKeyTyped = code;
}
inline bool held(int code) {
    return (lastKey & code) != 0;
}

// A hat binding is a mask of SDL's hat bits; an unbound (negative) one matches nothing.
inline bool hatHas(int value, int binding) {
    return binding > 0 && (value & binding) != 0;
}

void keyDown(int sym) {
    lastJButton = -1;
    lastKeySym = sym;
    if (sym == UP_KEY) {
        clear(CTRL_DOWN);
        press(CTRL_UP);
    } else if (sym == DOWN_KEY) {
        clear(CTRL_UP);
        press(CTRL_DOWN);
    } else if (sym == RIGHT_KEY) {
        clear(CTRL_LEFT);
        press(CTRL_RIGHT);
    } else if (sym == LEFT_KEY) {
        clear(CTRL_RIGHT);
        press(CTRL_LEFT);
    }
    if (sym == JUMP_KEY)
        press(CTRL_JUMP);
    else if (sym == PAUSE_KEY)
        press(CTRL_PAUSE);
    else if (sym == START_KEY)
        press(CTRL_START);
    else if (sym == SDLK_ESCAPE)
        done = 1;
}

void keyUp(int sym) {
    lastJButton = -1;
    if (sym == UP_KEY)
        release(CTRL_UP);
    else if (sym == DOWN_KEY)
        release(CTRL_DOWN);
    else if (sym == RIGHT_KEY)
        release(CTRL_RIGHT);
    else if (sym == LEFT_KEY)
        release(CTRL_LEFT);
    if (sym == JUMP_KEY)
        release(CTRL_JUMP);
    else if (sym == PAUSE_KEY)
        release(CTRL_PAUSE);
    else if (sym == START_KEY)
        release(CTRL_START);
}

void buttonDown(int b) {
    lastKeySym = 0;
    lastJButton = b;
    if (b == JUMP_BUTTON)
        press(CTRL_JUMP);
    else if (b == PAUSE_BUTTON)
        press(CTRL_PAUSE);
    else if (b == START_BUTTON)
        press(CTRL_START);
}

void buttonUp(int b) {
    lastKeySym = 0;
    if (b == JUMP_BUTTON)
        release(CTRL_JUMP);
    else if (b == PAUSE_BUTTON)
        release(CTRL_PAUSE);
    else if (b == START_BUTTON)
        release(CTRL_START);
}

void hat(int v) {
    // vertical
    if (hatHas(v, UP_BUTTON)) {
        clear(CTRL_DOWN);
        press(CTRL_UP);
    } else if (hatHas(v, DOWN_BUTTON)) {
        clear(CTRL_UP);
        press(CTRL_DOWN);
    }
    // horizontal, and the release of everything when the hat is centred
    if (hatHas(v, LEFT_BUTTON)) {
        clear(CTRL_RIGHT);
        press(CTRL_LEFT);
    } else if (hatHas(v, RIGHT_BUTTON)) {
        clear(CTRL_LEFT);
        press(CTRL_RIGHT);
    } else if (v == SDL_HAT_CENTERED) {
        if (held(CTRL_DOWN))
            release(CTRL_DOWN);
        else if (held(CTRL_UP))
            release(CTRL_UP);
        if (held(CTRL_RIGHT))
            release(CTRL_RIGHT);
        else if (held(CTRL_LEFT))
            release(CTRL_LEFT);
    }
}

void axis(int a, int v) {
    if (a == 0) {
        if (v > AXIS_DEADZONE) {
            clear(CTRL_LEFT);
            press(CTRL_RIGHT);
        } else if (v < -AXIS_DEADZONE) {
            clear(CTRL_RIGHT);
            press(CTRL_LEFT);
        } else if (held(CTRL_RIGHT)) {
            release(CTRL_RIGHT);
        } else if (held(CTRL_LEFT)) {
            release(CTRL_LEFT);
        }
    } else if (a == 1) {
        // without a jump button the stick's up jumps
        if (v < -AXIS_DEADZONE) {
            clear(CTRL_DOWN);
            press(CTRL_UP);
            if (JUMP_BUTTON == -1) press(CTRL_JUMP);
        } else if (v > AXIS_DEADZONE) {
            clear(CTRL_UP);
            press(CTRL_DOWN);
        } else {
            if (held(CTRL_DOWN))
                release(CTRL_DOWN);
            else if (held(CTRL_UP))
                release(CTRL_UP);
            if (JUMP_BUTTON == -1 && held(CTRL_JUMP)) release(CTRL_JUMP);
        }
    }
}

} // namespace

void checkInput() {
    if (inputHook) inputHook();
    leaveOnTermination();
    lastKeyTyped = 0;
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        switch (ev.type) {
        case SDL_KEYDOWN:
            keyDown(ev.key.keysym.sym);
            break;
        case SDL_KEYUP:
            keyUp(ev.key.keysym.sym);
            break;
        case SDL_JOYBUTTONDOWN:
            buttonDown(ev.jbutton.button);
            break;
        case SDL_JOYBUTTONUP:
            buttonUp(ev.jbutton.button);
            break;
        case SDL_JOYHATMOTION:
            hat(ev.jhat.value);
            break;
        case SDL_JOYAXISMOTION:
            axis(ev.jaxis.axis, ev.jaxis.value);
            break;
        case SDL_QUIT:
            done = 1;
            break;
        default:
            break;
        }
    }
}

int checkKey(int level, int pauseAllowed) {
    checkInput();
    const int k = lastKey;
    if (k & CTRL_START) space = 1;
    if (k & CTRL_LEFT)
        left = 1;
    else if (k & CTRL_RIGHT)
        right = 1;
    if (k & (CTRL_JUMP | CTRL_UP)) jump = 1;
    if (k & CTRL_DOWN) crawl = 1;
    if (done) escape = 1;

    if (pauseAllowed && level > 0 && (lastKeyTyped == CTRL_START || lastKeyTyped == CTRL_PAUSE) &&
        !paused) {
        paused = 1;
        workflow = PAUSE_GO_ON; // the pause menu opens on "GO ON"
        lastKeyTyped = 0;
    }

    if (!(k & CTRL_START)) space = 0;
    if (!(k & CTRL_LEFT)) left = 0;
    if (!(k & CTRL_RIGHT)) right = 0;
    if (!(k & (CTRL_JUMP | CTRL_UP))) jump = 0;
    if (!(k & CTRL_DOWN)) crawl = 0;
    return lastKey;
}

void waitKeyUp() {
    const int buttons = joystick ? SDL_JoystickNumButtons(joystick) : 0;
    for (;;) {
        if (inputHook) inputHook();
        leaveOnTermination();
        sleepMs(KEY_UP_POLL_MS);
        SDL_PumpEvents();
        int numKeys = 0;
        const Uint8* keys = SDL_GetKeyState(&numKeys);
        int keySum = 0;
        for (int s = 0; s < numKeys; s++)
            if (s < SDLK_NUMLOCK || s > SDLK_SCROLLOCK) keySum += keys[s]; // not the lock keys
        int buttonSum = 0;
        for (int b = 0; b < buttons; b++)
            buttonSum += SDL_JoystickGetButton(joystick, b);
        if (keySum == 0 && buttonSum == 0) break;
    }
    lastJButton = -1;
    lastKeySym = 0;
    lastKeyTyped = 0;
    lastKey = 0;
}
