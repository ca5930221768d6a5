// The message table: every text the game shows, by message number, one row per language.
#pragma once

constexpr int NUM_LANGUAGES = 4;
constexpr int NUM_MESSAGES = 94;

extern const char* const translation[NUM_LANGUAGES][NUM_MESSAGES];
extern int lang_id; // 0, English

// The text of a message in the current language; an empty text for a number or a language
// the table does not have.
inline const char* message(int number) {
    if (number < 0 || number >= NUM_MESSAGES || lang_id < 0 || lang_id >= NUM_LANGUAGES) return "";
    return translation[lang_id][number];
}

// Message numbers.
enum MessageId {
    // death causes
    MSG_IMPALED = 0,
    MSG_FELL = 1,
    MSG_SMASHED = 2,
    MSG_BLOWN_UP = 3,
    MSG_MASKY = 4,
    MSG_BEETLE = 5,
    MSG_WINGEDEYE = 6,
    MSG_ACIDFISH = 7,
    MSG_SKULL = 8,
    // status line labels
    MSG_HURRY = 9,
    MSG_OXYGEN = 10,
    // pause overlay
    MSG_PAUSE = 11,
    MSG_SUICIDE = 12,
    MSG_GO_ON = 13,
    MSG_EXIT = 14,
    // stage messages
    MSG_RUN = 15,
    MSG_FORGOT_RINGS = 16,
    MSG_GO_SUICIDE = 17,
    // title and main menu
    MSG_PRESS_START = 18,
    MSG_NEW_GAME = 19,
    MSG_CONTINUE = 20,
    MSG_HISCORES = 21,
    MSG_OPTIONS = 22,
    MSG_PRESS_START2 = 23,
    MSG_NOT_AVAILABLE = 24,
    // options and control configuration
    MSG_CONFIGURE_KEYS = 25,
    MSG_PRESS_START_KEY = 26, // ... 32: the seven key prompts in capture order
    MSG_CONFIGURE_PAD = 33,
    MSG_PRESS_START_BUTTON = 34, // ... 36: the three button prompts
    MSG_MUSIC_VOLUME = 37,
    MSG_SFX_VOLUME = 38,
    MSG_SCREEN_SETTINGS = 39,
    MSG_WINDOWED_1X = 40,
    MSG_WINDOWED_2X = 41,
    MSG_FULL_SCREEN = 42,
    MSG_ANTI_ALIASING = 43,
    MSG_NONE = 44,
    MSG_SIMPLE = 45,
    MSG_SCALE2X = 46,
    MSG_RESTART_TO_APPLY = 47,
    MSG_RESET_DEFAULT = 48,
    MSG_BACK_TO_MENU = 49,
    MSG_ALREADY_USED = 50,
    // name entry
    MSG_ENTER_NAME = 51,
    MSG_TIME_UP = 52,
    MSG_DROWNED = 53,
    MSG_SURE_TO_QUIT = 54,
    MSG_LEFT_YES_RIGHT_NO = 55,
    MSG_HISCORE_LOST = 56,
    // stage end
    MSG_TIME_BONUS = 57,
    MSG_LIFE_BONUS = 58,
    MSG_CONGRATULATIONS = 59,
    MSG_NEXT_STAGE = 60,
    MSG_COMING_UP = 61,
    // story pages
    MSG_YOU_ARE_SAFE = 62,
    MSG_THE_END = 63,
    MSG_HAPPILY_TOGETHER = 64,
    MSG_SUDDENLY = 65,
    MSG_RINGS_OR_SHE_DIES = 66,
    // game over
    MSG_SCORE = 67,
    MSG_GAME_OVER = 68,
    MSG_CONTINUE_Q = 69,
    // credits screen
    MSG_CREDITS = 70, // ... 79: the credits lines
    MSG_PRESS_UP = 80,
    // warning screen
    MSG_ATTENTION = 81, // ... 88: the warning lines
    MSG_SCROLLER = 89,
    // time trials, on the stage-clear tally
    MSG_CLEAR_TIME = 90,
    MSG_BEST_TIME = 91,
    MSG_NEW_BEST = 92,
    // the release, under the title and on the options screen
    MSG_VERSION = 93,
};
