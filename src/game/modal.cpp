// The two loops of the modal screens.
#include "game/modal.h"

#include "game/flow.h"
#include "gfx/pacing.h"
#include "gfx/video.h"

constexpr int STILL_POLL_MS = 100;

void runModalScreen(const ModalScreen& s) {
    initFPS();
    flowScreen = s.flow;
    while (!s.update()) {
        if (!skipFrame) {
            s.draw();
            flipScreen();
        }
        s.frameEnd();
        controlFPS();
    }
}

void runStillScreen(int flow, const std::function<void()>& draw,
                    const std::function<int()>& answered, const std::function<void()>& poll) {
    flowScreen = flow;
    draw();
    flipScreen();
    while (!answered()) {
        poll();
        sleepMs(STILL_POLL_MS);
    }
}
