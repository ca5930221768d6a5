// The ending: the two closing story pages and the name entry, then back to the title (on
// the hiscore table when the score made it there). A quit request during the pages only
// hurries them along; one made during the name entry still ends the program afterwards.
#include "game/ending.h"

#include "game/flow.h"
#include "game/hiscore_screen.h"
#include "game/story.h"
#include "world/flowstate.h"
#include "world/stage.h"

void ending(Figure* hero) {
    releasePause();
    closeStory();
    if (escape) {
        done = 0;
        escape = 0;
    }
    hsRank = checkHiscore(hero);
    initVars0(hsRank); // `escape` and `done` stay as the name entry left them
    if (hsRank >= 0) workflow = WF_HISCORE_TABLE;
    resetStartPosition();
    stopStageMusic();
    restartMusic = 1;
}
