// The flow state shared by the game flow and the stage: stage number, lives, score, menu
// state, the quit and pause requests, the stage message and the title scroller.
#include "world/flowstate.h"

#include <cstring>

PROGRESS_STATE(DEFINE_WORLD_GLOBAL)
int workflow = 0;
int paused = 0;
int escape = 0;
int done = 0;

char messageString[MESSAGE_SIZE] = "";

const char* scroller = nullptr;
int scrollmax = 0, scrollidx = 0, scrolldx = 0;

void setMessage(const char* text) {
    if (!text) {
        messageString[0] = '\0';
        return;
    }
    // A text longer than the buffer is cut; the last byte always stays the terminator.
    std::strncpy(messageString, text, MESSAGE_SIZE - 1);
    messageString[MESSAGE_SIZE - 1] = '\0';
}
