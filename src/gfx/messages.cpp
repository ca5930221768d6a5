// The message table. Row 0 is English; the other rows are kept for further languages and
// hold empty texts. Every text uses only the characters the fonts have: the blank,
// ! ( ) , - . : ? the digits and the upper-case letters.
#include "gfx/messages.h"

#include "version.h"

// clang-format off
// 40 blanks: the scroller starts and ends with an empty line.
#define SCROLL_PAD "                                        "

// A row of a language that has no texts yet.
#define EMPTY_10 "", "", "", "", "", "", "", "", "", ""
#define EMPTY_ROW EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, EMPTY_10, "", "", "", ""

const char* const translation[NUM_LANGUAGES][NUM_MESSAGES] = {
    // English
    {
    // 0-8: death causes
    "IMPALED TO DEATH", "FELL TO DEATH", "SMASHED", "BLOWN UP", "STABBED BY MASKY",
    "STOPPED BY BEETLE", "HIT BY WINGEDEYE", "EATEN BY ACIDFISH", "KILLED BY SKULL",
    // 9-10: status line labels
    " HURRY:", "OXYGEN:",
    // 11-14: pause overlay
    "-PAUSE-", "SUICIDE", "GO ON", "EXIT",
    // 15-17: stage messages
    "TROBZ, RUN!", "YOU FORGOT RINGS!", "GO TO PAUSE MODE AND SUICIDE",
    // 18-24: title screen and main menu
    "PRESS START", "NEW GAME", "CONTINUE", "HISCORES", "OPTIONS", "PRESS START",
    "NOT AVAILABLE",
    // 25-50: options and control configuration
    "CONFIGURE KEYS", "PRESS START KEY", "PRESS LEFT KEY", "PRESS RIGHT KEY", "PRESS UP KEY",
    "PRESS DOWN KEY", "PRESS JUMP KEY", "PRESS PAUSE KEY", "CONFIGURE PAD",
    "PRESS START BUTTON", "PRESS JUMP BUTTON", "PRESS PAUSE BUTTON", "MUSIC VOLUME",
    "SFX VOLUME", "SCREEN SETTINGS", "WINDOWED 1X", "WINDOWED 2X", "FULL SCREEN",
    "ANTI-ALIASING", "NONE", "SIMPLE", "SCALE2X(ALT)", "(RESTART TO APPLY)",
    "RESET TO DEFAULT", "BACK TO MENU", "ALREADY USED, CHOOSE ANOTHER ONE",
    // 51: name entry
    "ENTER YOUR NAME:",
    // 52-56
    "TIME UP", "DROWNED", "SURE TO QUIT?", "PRESS LEFT FOR YES, PRESS RIGHT FOR NO",
    "ANY POSSIBLE HISCORE ENTRY WILL BE LOST",
    // 57-61: stage end
    "TIME BONUS", "LIFE BONUS", "CONGRATULATIONS", "NEXT STAGE", "COMING UP",
    // 62-66: story pages
    "YOU ARE SAFE!", "THE END!", "HAPPILY TOGETHER", "SUDDENLY...", "RINGS OR SHE DIES",
    // 67-69: game over
    "SCORE", "GAME OVER!", "CONTINUE?",
    // 70-80: credits screen
    "CREDITS", "THIS PROJECT USES CODE OF", "THE FOLLOWING OPEN-SOURCE",
    "PROJECTS IN UNMODDED FORM:", "SDL, SDL MIXER, LIBMODPLUG", "AND ZLIB",
    "YOU CAN GET THE SOURCE CODE", "OF THE MENTIONED LIBRARIES", "BY VISITING THE RESPECTIVE",
    "HOMEPAGES.", "PRESS UP TO GO ON",
    // 81-88: warning screen
    "ATTENTION", "", "THIS GAME IS SERIOUSLY HARD", "AND REQUIRES A FAST BRAIN",
    "ALONG WITH FAST FINGERS.", "TAKE CARE OF YOURSELF AND", "YOUR PRECIOUS HARDWARE.",
    "YOU HAVE BEEN WARNED!",
    // 89: the title scroller
    SCROLL_PAD
    "TROBZ 3 - TEN STAGES, FIFTY WAYS TO DIE AND ONE WAY OUT: COLLECT EVERY RING AND RUN "
    "FOR THE DOOR!    CODE, PIXELS, TUNES AND STAGES BY THE TROBZ 3 TEAM, MADE FROM "
    "SCRATCH WITH OUR OWN TOOLS.    ARROWS TO RUN, SPACE TO JUMP, TAB TO PAUSE, RETURN TO "
    "START.    GREETINGS TO EVERYONE WHO KEEPS SMALL GAMES ALIVE, TO THE MAKERS OF SDL, "
    "SDL MIXER, LIBMODPLUG AND ZLIB, AND TO YOU FOR PLAYING.    HINT: A CHECKPOINT FLAG "
    "REMEMBERS WHERE YOU FELL...    STAY CALM, WATCH YOUR OXYGEN AND NEVER TRUST A QUIET "
    "FLOOR!" SCROLL_PAD,
    // 90-92: time trials
    "TIME", "BEST", "NEW BEST",
    // 93: the release, under the title and on the options screen
    "TROBZ 3 V" TROBZ_VERSION,
},
    {EMPTY_ROW},
    {EMPTY_ROW},
    {EMPTY_ROW},
};

// clang-format on

int lang_id = 0;
