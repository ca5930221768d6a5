// The whole game, from start-up to "EXIT", played by a scripted player on a virtual clock,
// once for the fixture: options, a new game with its story, stage 1 cleared by its replay
// (the world the same after every frame as when the stage runner plays that replay) with a
// quit request during the tally, stage 2 with a death past the checkpoint, the pause
// menu, game over with a hiscore name and the continue question, the hiscore table (left,
// opened again and left with JUMP, opened a third time), "CONTINUE" at the saved stage, the
// quit dialog, and the way out. The player only records what it saw; each step is its own
// test of the record, so a failure names the step.
#include "flow_fixture.h"

#include "app/startup.h"
#include "audio/player.h"
#include "data/hiscores.h"
#include "data/savegame.h"
#include "data/settings.h"
#include "data/xorcode.h"
#include "game/flow.h"
#include "game/options.h"
#include "game/story.h"
#include "sim/snapshot.h"
#include "sim/stagerun.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// Slots in use alike; what a free slot still holds is never read again.
template <typename Slot, size_t N>
bool sameSlots(const Slot (&a)[N], const Slot (&b)[N]) {
    for (size_t i = 0; i < N; i++)
        if ((a[i].active || b[i].active) && std::memcmp(&a[i], &b[i], sizeof a[i])) return false;
    return true;
}

// The first part of the world in which two moments differ, "" when none does.
std::string firstDifference(const WorldSnapshot& a, const WorldSnapshot& b) {
    if (std::memcmp(&a.hero, &b.hero, sizeof a.hero)) return "hero";
    if (!sameSlots(a.monst, b.monst)) return "monsters";
    if (a.pcount != b.pcount || std::memcmp(a.platforms, b.platforms, a.pcount * sizeof(Platform)))
        return "lifts";
    if (!sameSlots(a.aos, b.aos)) return "animation slots";
    if (a.mapLength != b.mapLength || a.cells != b.cells || a.ori != b.ori) return "map cells";
#define DIFFERS(type, name, init)                                                                  \
    if (a.name != b.name) return #name;
    WORLD_STATE(DIFFERS)
#undef DIFFERS
    if (std::strcmp(a.messageString, b.messageString)) return "message";
    return "";
}

void recordFrame(int, Figure* hero, void* frames) {
    auto* seen = static_cast<std::vector<WorldSnapshot>*>(frames);
    seen->emplace_back();
    saveWorld(&seen->back(), hero, 0);
}

bool exists(const char* path) {
    return std::filesystem::exists(path);
}
bool onTitle(int menu) {
    return flowScreen == FLOW_TITLE && workflow == menu;
}
bool optionsReady(int line) {
    return onTitle(WF_OPTIONS_MENU) && cfgIndex == line && cfgCount == 0;
}
bool playing(int stage) {
    return flowScreen == FLOW_STAGE && level == stage && frame > 181 && !paused;
}
void tapOnMenu(ScriptedPlayer& p, int menu, int sym) {
    p.tapWhen(
        "menu " + std::to_string(menu), [menu] { return onTitle(menu); }, sym);
}
void tapOnOption(ScriptedPlayer& p, int line, int sym) {
    p.tapWhen(
        "options line " + std::to_string(line), [line] { return optionsReady(line); }, sym);
}
bool fileHas(const char* path, const char* line) {
    return readWholeFile(path).find(line) != std::string::npos;
}

constexpr int MARK = 77; // put into state that a fresh start would reset
const std::string FRESH_TITLE = "level 0 lives 6 score 0 menu 0 rank -1 saved ";

} // namespace

class GameEndToEnd : public ::testing::Test {
  protected:
    // What the player saw and the game held at the steps of the run.
    struct Record {
        std::string titleState, titleFiles, tenthName;
        int musicVolume = -1, mixerVolume = -1, changed = -1, changedEarly = -1;
        bool cfgEarly = true;
        std::string cfgAfter;
        std::vector<int> pages, continuedPages;
        std::vector<WorldSnapshot> runner; // stage 1 frame by frame as the stage runner plays it
        int runnerOutcome = -1, runnerClearedAt = -1, compared = 0;
        std::string difference;
        std::string stage1State;
        int rings = 0, loops = 0, active = 0, music = 0;
        int tallyStars = -1, tallyScore = -1, tallyLives = -1, tallyTime = -1, timed = -1;
        int stage2Score = -1, stage2Lives = -1, saved = -1, savegame = -1, savedBytes = -1,
            stage2Start = -1, stage2Checkpoint = -1, quitAfterTallyAt = -1;
        ModPlugFile *stage2Music = nullptr, *tableMusic = nullptr;
        std::string deathMessage;
        int checkpointX = -1, checkpointY = -1, checkpointF = -1, deathAt = 0, retryAt = 0;
        int retryX = -1, retryY = -1, retryScore = -1, retryFade = -1, retrySplash = -1;
        bool retryMusicSame = false;
        std::string retryMessage;
        int pausedAt = 0, pausedTime = -1, timeAfterPause = -1;
        int unpausedMenu = -1;
        std::string gameOverMessage;
        int gameOverLives = -1, finalScore = -1, rank = -1, fileScore = -1;
        std::string rankName, fileName, hiscoreBytes, tableState;
        bool tableMusicSame = false;
        int tableFade = -1, backOn = -1, rankThird = -2;
        std::string continuedState;
        int continuedX = -1, dialogNoState = -1;
        std::string titleAfterQuit, hiscoresAfterQuit;
        int status = -1;
        bool finished = false;
        std::string stuckAt;
        int flowAtEnd = -1, savegameAtEnd = -1;
        bool cfgAtEnd = false, runsAtEnd = true;
    };
    static Record rec;
    static std::unique_ptr<GameDirectory> dir;

    static void SetUpTestSuite();
    static void TearDownTestSuite() { dir.reset(); }
};

GameEndToEnd::Record GameEndToEnd::rec;
std::unique_ptr<GameDirectory> GameEndToEnd::dir;

void GameEndToEnd::SetUpTestSuite() {
    alarm(TEST_ALARM_SECONDS);
    // the title and stage 1 as built, stage 1 cleared by its replay; stage 2 our spike stage
    std::vector<ZdaMember> maps = testStageMembers(), built;
    static Replay stage1Replay;
    if (!realFirstStages(&built, &stage1Replay)) return; // every step fails on an empty record
    maps[0] = built[0];
    maps[1] = built[1];
    Record& r = rec;
    // the stage runner's way, as the stage tools play the replay
    prepareFirstAttempt(1);
    Figure hero{};
    if (!beginAttemptFromBytes(&hero, built[1].data.data(), (int)built[1].data.size())) return;
    const StageResult result = playReplay(&hero, stage1Replay, recordFrame, &r.runner);
    r.runnerOutcome = result.outcome;
    r.runnerClearedAt = result.frame;
    freeLevel();

    dir = std::make_unique<GameDirectory>(maps);
    const char* const names[] = {"ADA", "BOB", "CY",  "DEE", "EVE",
                                 "FAY", "GUS", "HAL", "IVY", "JO"};
    resetHiscoreTable(); // 1000, 900, ... 100
    for (int i = 0; i < NUM_HISCORES; i++) {
        std::strcpy(hiscores[i].name, names[i]);
        hiscores[i].kind = HS_PLAYER;
    }
    saveBuffer();
    VirtualClock clock;
    ScriptedPlayer player;
    auto compare = [&r](const Figure& seen) {
        if (r.compared >= (int)r.runner.size() || !r.difference.empty()) return;
        WorldSnapshot game;
        saveWorld(&game, &seen, 0);
        r.difference = firstDifference(r.runner[r.compared], game);
        if (!r.difference.empty()) r.difference += " at frame " + std::to_string(r.compared);
        r.compared++;
    };

    player.repeat(
        "the intro screens", [] { return currentScreen >= NUM_INTRO_SCREENS; }, [] { return true; },
        [] { ScriptedPlayer::tap(K_SPACE); }, 6);

    // the title: a fresh game, the menu opens on NEW GAME without a savegame, and wraps
    player.when(
        "PRESS START", [] { return onTitle(WF_PRESS_START) && frame > 5; },
        [&r] {
            r.titleState = flowState();
            r.titleFiles =
                std::to_string(exists("savegame.dat")) + std::to_string(exists("trobz3.cfg"));
            r.tenthName = hiscores[9].name;
            ScriptedPlayer::tap(K_RETURN);
        });
    tapOnMenu(player, WF_NEW_GAME, K_UP);
    tapOnMenu(player, WF_EXIT, K_DOWN);
    tapOnMenu(player, WF_NEW_GAME, K_DOWN);
    tapOnMenu(player, WF_CONTINUE, K_DOWN);
    tapOnMenu(player, WF_HISCORES, K_RIGHT);
    tapOnMenu(player, WF_OPTIONS, K_SPACE);

    // the options: music volume down one step, then back to the menu
    tapOnOption(player, OPT_KEYS, K_DOWN);
    tapOnOption(player, OPT_PAD, K_DOWN);
    tapOnOption(player, OPT_MUSIC, K_LEFT);
    player.when(
        "music volume lowered", [] { return optionsReady(OPT_MUSIC) && _mus_volume_100_ != 100; },
        [&r] {
            r.musicVolume = _mus_volume_100_;
            r.mixerVolume = _mus_volume_;
            r.changed = cfgChanged;
            ScriptedPlayer::tap(K_UP);
        });
    tapOnOption(player, OPT_PAD, K_UP);
    tapOnOption(player, OPT_KEYS, K_UP);
    player.when(
        "options wrapped to BACK TO MENU", [] { return optionsReady(OPT_BACK); },
        [&r] {
            r.cfgEarly = exists("trobz3.cfg");
            ScriptedPlayer::tap(K_RETURN);
        });
    player.when(
        "back on OPTIONS", [] { return onTitle(WF_OPTIONS); },
        [&r] {
            r.cfgAfter = readWholeFile("trobz3.cfg");
            ScriptedPlayer::tap(K_LEFT);
        });
    tapOnMenu(player, WF_HISCORES, K_UP);
    tapOnMenu(player, WF_CONTINUE, K_UP);
    tapOnMenu(player, WF_NEW_GAME, K_SPACE);

    // the story of a new game: three pages, the first passed with PAUSE
    for (int page = 0; page < 3; page++)
        player.when(
            "opening page " + std::to_string(page),
            [page] { return flowScreen == FLOW_STORY && storyPage == page; },
            [&r, page] {
                r.pages.push_back(page);
                ScriptedPlayer::tap(page == 0 ? K_TAB : K_SPACE);
            });

    // stage 1: the intro runs out, then the replay walks to the door
    player.when(
        "stage 1 intro", [] { return flowScreen == FLOW_STAGE && level == 1; },
        [&r] {
            r.stage1State = flowState();
            r.rings = stars;
            r.music = stageMusic != nullptr;
            r.loops = mpLoops;
            r.active = isActive(&theHero);
        });
    player.repeat(
        "stage 1 played by its replay", [] { return flowScreen == FLOW_TALLY; },
        [] { return flowScreen == FLOW_STAGE && level == 1 && frame > 180; },
        [&] {
            // at the input of play frame n the world stands as play frame n - 1 left it
            if (frame - STAGE_INTRO_FRAMES - 1 == r.compared) compare(theHero);
            ScriptedPlayer::holdStageInput(replayInput(stage1Replay, frame - 181));
        },
        1);
    // the tally, and a quit request during it that waits for the next stage
    player.when(
        "the tally", [] { return flowScreen == FLOW_TALLY; },
        [&] {
            ScriptedPlayer::setHeld({});
            Figure cleared = theHero;
            cleared.alive = 1; // the tally takes the hero off the stage; the door frame is here
            compare(cleared);
            r.tallyStars = stars;
            r.tallyScore = score;
            r.tallyLives = lives;
            r.tallyTime = timeLeft;
            char times[80];
            r.timed = ghostTallyLine(times, sizeof times);
            pushEvent(SDL_Event{SDL_QUIT});
        });

    // stage 2: saved as reached; the intro cut short; the quit dialog answered no; death on
    // the spikes after the flag, cut short with JUMP
    player.when(
        "stage 2 intro", [] { return flowScreen == FLOW_STAGE && level == 2; },
        [&r] {
            r.stage2Score = score;
            r.stage2Lives = lives;
            r.saved = saved;
            r.savegame = loadGame();
            r.savedBytes = (int)readWholeFile("savegame.dat").size();
            r.stage2Start = startx;
            r.stage2Checkpoint = startf;
            r.stage2Music = stageMusic;
        });
    player.tapWhen(
        "stage 2 intro cut short", [] { return flowScreen == FLOW_STAGE && frame == 20; },
        K_RETURN);
    player.when(
        "quit dialog after the tally", [] { return flowScreen == FLOW_QUIT_DIALOG; },
        [&r] {
            r.quitAfterTallyAt = frame;
            ScriptedPlayer::tap(K_RIGHT);
        });
    player.when(
        "stage 2 play", [] { return playing(2); }, [] { ScriptedPlayer::keyDown(K_RIGHT); });
    player.when(
        "hero on the spikes", [] { return theHero.dying == 1; },
        [&r] {
            ScriptedPlayer::keyUp(K_RIGHT);
            r.deathMessage = messageString;
            r.checkpointX = startx;
            r.checkpointY = starty;
            r.checkpointF = startf;
            r.deathAt = ScriptedPlayer::calls;
            // marks a fresh attempt would reset and a retry must not
            mp_delta = 0;
            mp_fade = MARK;
        });
    // JUMP until the death is over; the release pause after it finds the splash flag set,
    // as a death under water leaves it, for the next attempt to reset
    player.repeat(
        "death cut short",
        [&r] {
            if (lives >= r.stage2Lives) return false;
            splashPlayed = 1;
            return true;
        },
        [] { return true; }, [] { ScriptedPlayer::tap(K_SPACE); }, 1);
    player.when(
        "retry from the checkpoint",
        [] { return flowScreen == FLOW_STAGE && level == 2 && frame == 1; },
        [&r] {
            r.retryAt = ScriptedPlayer::calls;
            r.retryX = theHero.x;
            r.retryY = theHero.y;
            r.retryMusicSame = stageMusic == r.stage2Music;
            r.retryFade = mp_fade;
            mp_fade = mp_volume.load();
            r.retrySplash = splashPlayed;
            r.retryMessage = messageString;
            r.retryScore = score;
        });

    // the pause menu: nothing moves while it is open; GO ON, then SUICIDE (reached by
    // wrapping down past EXIT) until the last life is gone
    player.tapWhen(
        "pause opened", [] { return playing(2) && isActive(&theHero); }, K_TAB);
    player.when(
        "paused", [] { return paused && workflow == PAUSE_GO_ON; },
        [&r] {
            r.pausedAt = ScriptedPlayer::calls;
            r.pausedTime = timeLeft;
        });
    player.when(
        "paused a while", [&r] { return ScriptedPlayer::calls > r.pausedAt + 10; },
        [&r] {
            r.timeAfterPause = timeLeft;
            ScriptedPlayer::tap(K_SPACE);
        });
    player.when(
        "pause left", [] { return playing(2); }, [&r] { r.unpausedMenu = workflow; });
    player.repeat(
        "suicides", [] { return flowScreen == FLOW_GAME_OVER; }, [] { return true; },
        [] {
            if (playing(2) && isActive(&theHero))
                ScriptedPlayer::tap(K_RETURN);
            else if (paused && workflow == PAUSE_SUICIDE)
                ScriptedPlayer::tap(K_SPACE);
            else if (paused)
                ScriptedPlayer::tap(K_DOWN);
        },
        3);

    // game over with a name for the table
    player.when(
        "game over", [] { return flowScreen == FLOW_GAME_OVER; },
        [&r] {
            r.gameOverLives = lives;
            r.gameOverMessage = messageString;
            r.finalScore = score;
            ScriptedPlayer::tap(K_SPACE);
        });
    // keys held one input frame each: A down twice is Z, up fourteen times O, four times E
    static std::vector<int> nameKeys = {K_DOWN, K_DOWN, K_RIGHT};
    nameKeys.insert(nameKeys.end(), 14, K_UP);
    nameKeys.push_back(K_RIGHT);
    nameKeys.insert(nameKeys.end(), 4, K_UP);
    static size_t pressed;
    pressed = 0;
    player.repeat(
        "the name keys", [] { return pressed == nameKeys.size(); },
        [] { return flowScreen == FLOW_NAME_ENTRY; },
        [] { ScriptedPlayer::press(nameKeys[pressed++]); }, 2);
    player.when(
        "name entered", [] { return flowScreen == FLOW_NAME_ENTRY; },
        [] { ScriptedPlayer::keyDown(K_RETURN); });
    player.when(
        "START let go", [] { return true; }, [] { ScriptedPlayer::keyUp(K_RETURN); });
    player.when(
        "continue question", [] { return flowScreen == FLOW_CONTINUE; },
        [&r] {
            r.rank = hsRank;
            if (hsRank >= 0) r.rankName = hiscores[hsRank].name;
            std::string table = readWholeFile("hiscores.dat");
            r.hiscoreBytes = table;
            if (table.size() == 160u && hsRank >= 0) {
                decodebuf((unsigned char*)&table[0], 160, HISCORE_SEED);
                const char* e = table.data() + hsRank * HISCORE_ENTRY_BYTES;
                r.fileName = e;
                r.fileScore = (unsigned char)e[12] | (unsigned char)e[13] << 8;
            }
            ScriptedPlayer::tap(K_RIGHT);
        });

    // back on the title, on the table with the new entry; Escape goes back to its menu item
    player.when(
        "hiscore table", [] { return onTitle(WF_HISCORE_TABLE) && frame > 70; },
        [&r] {
            r.tableState = flowState();
            r.tableMusic = stageMusic;
            mp_delta = 0;
            mp_fade = MARK;
            ScriptedPlayer::tap(K_ESCAPE);
        });
    player.when(
        "table left", [] { return flowScreen == FLOW_TITLE && workflow != WF_HISCORE_TABLE; },
        [&r] {
            r.backOn = workflow;
            r.tableMusicSame = stageMusic == r.tableMusic;
            r.tableFade = mp_fade;
            mp_fade = mp_volume.load();
            ScriptedPlayer::tap(K_RETURN);
        });
    // opened again and left with JUMP: the new entry has been seen and blinks no more
    player.tapWhen(
        "table again", [] { return onTitle(WF_HISCORE_TABLE); }, K_SPACE);
    tapOnMenu(player, WF_HISCORES, K_RETURN);
    player.when(
        "table a third time", [] { return onTitle(WF_HISCORE_TABLE); },
        [&r] {
            r.rankThird = hsRank;
            ScriptedPlayer::tap(K_ESCAPE);
        });
    tapOnMenu(player, WF_HISCORES, K_UP);
    player.when(
        "CONTINUE chosen", [] { return onTitle(WF_CONTINUE); },
        [] { ScriptedPlayer::tap(K_RETURN); });
    player.when(
        "continued story", [] { return flowScreen == FLOW_STORY; },
        [&r] {
            r.continuedPages.push_back(storyPage);
            ScriptedPlayer::tap(K_SPACE);
        });

    // stage 2 again: EXIT in the pause menu asks at once, answered no; then Escape, yes
    player.when(
        "stage 2 continued", [] { return playing(2) && frame > 200; },
        [&r] {
            r.continuedState = flowState();
            r.continuedX = theHero.x;
            ScriptedPlayer::tap(K_TAB);
        });
    player.tapWhen(
        "pause on GO ON", [] { return paused && workflow == PAUSE_GO_ON; }, K_RIGHT);
    player.tapWhen(
        "pause on EXIT", [] { return paused && workflow == PAUSE_EXIT; }, K_SPACE);
    player.tapWhen(
        "quit dialog", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_RIGHT);
    player.when(
        "stage goes on", [] { return playing(2) && frame > 260; },
        [&r] {
            r.dialogNoState = escape + done + paused + (level != 2);
            ScriptedPlayer::tap(K_ESCAPE);
        });
    player.tapWhen(
        "quit dialog again", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_LEFT);

    // the title, and out
    player.when(
        "title after quitting", [] { return onTitle(WF_PRESS_START) && frame > 3; },
        [&r] {
            r.titleAfterQuit = flowState();
            r.hiscoresAfterQuit = readWholeFile("hiscores.dat");
            ScriptedPlayer::tap(K_UP);
        });
    tapOnMenu(player, WF_EXIT, K_RETURN);

    char prog[] = "trobz3";
    char* argv[] = {prog, nullptr};
    r.status = gameMain(1, argv);
    r.finished = player.finished();
    r.stuckAt = player.stuckAt();
    r.flowAtEnd = flowScreen;
    r.savegameAtEnd = loadGame();
    r.cfgAtEnd = fileHas("trobz3.cfg", "mus_volume=95\n");
    r.runsAtEnd = exists("runs");
    alarm(0);
}

TEST_F(GameEndToEnd, TitleStartsAFreshGameOnTheHiscoreFile) {
    EXPECT_EQ(rec.titleState, FRESH_TITLE + "0 escape 0 done 0");
    EXPECT_EQ(rec.titleFiles, "00");
    EXPECT_EQ(rec.tenthName, "JO");
}

TEST_F(GameEndToEnd, OptionsLowerTheMusicAndWriteTheFileOnLeaving) {
    EXPECT_EQ(std::vector<int>({rec.musicVolume, rec.mixerVolume, rec.changed}),
              std::vector<int>({95, 121, 1}));
    EXPECT_FALSE(rec.cfgEarly); // nothing is written before leaving
    for (const char* line : {"mus_volume=95\n", "sfx_volume=15\n", "k_jump=32\n"})
        EXPECT_NE(rec.cfgAfter.find(line), std::string::npos) << line;
}

TEST_F(GameEndToEnd, StoryShowsItsThreePagesAndAPausePassesOnlyOne) {
    EXPECT_EQ(rec.pages, (std::vector<int>{0, 1, 2}));
}

TEST_F(GameEndToEnd, StageOneStartsWithItsEndlessMusic) {
    EXPECT_EQ(rec.stage1State, "level 1 lives 6 score 0 menu 1 rank -1 saved 0 escape 0 done 0");
    EXPECT_GT(rec.rings, 0);
    EXPECT_EQ(rec.music, 1);
    EXPECT_LT(rec.loops, 0); // the stage music repeats until it is stopped
    EXPECT_EQ(rec.active, 1);
}

// The stage tools prove stages clearable through the stage runner: that holds for the game
// only if the game sets up and runs an attempt exactly as the runner does.
TEST_F(GameEndToEnd, StageOneIsPlayedFrameByFrameAsTheStageRunnerPlaysIt) {
    EXPECT_EQ(rec.runnerOutcome, STAGE_CLEARED);
    EXPECT_EQ(rec.difference, "");
    EXPECT_EQ(rec.compared, rec.runnerClearedAt + 1); // frames 0 ... the cleared one
}

TEST_F(GameEndToEnd, TallyAddsSecondsAndLivesAndIsSaved) {
    EXPECT_EQ(rec.tallyStars, 0);
    EXPECT_GE(rec.tallyScore, rec.rings); // a point a ring, and maybe bricks and bonuses
    EXPECT_EQ(rec.tallyLives, 6);         // the replay loses no life
    EXPECT_EQ(rec.timed, 0);              // stages are timed only with -ghost
    EXPECT_EQ(rec.stage2Score, rec.tallyScore + rec.tallyTime / 60 + rec.tallyLives);
    // the bonuses carried the score past 100: one extra life
    EXPECT_EQ(rec.stage2Lives,
              rec.tallyLives + (rec.stage2Score / 100 > rec.tallyScore / 100 ? 1 : 0));
    EXPECT_EQ(std::vector<int>({rec.saved, rec.savegame, rec.savedBytes}),
              std::vector<int>({1, 1, 4}));
}

TEST_F(GameEndToEnd, NextStageStartsAtItsOwnStartAndAsksAboutTheQuitFromTheTally) {
    EXPECT_EQ(rec.stage2Start, 16);
    EXPECT_EQ(rec.stage2Checkpoint, 0);
    // the intro was cut short at frame 20; the request opens the dialog as play begins
    EXPECT_EQ(rec.quitAfterTallyAt, 181);
}

TEST_F(GameEndToEnd, DeathPastTheCheckpointIsCutShortAndRetriedThereWithTheMusicRunningOn) {
    EXPECT_EQ(rec.deathMessage, "IMPALED TO DEATH");
    EXPECT_EQ(std::vector<int>({rec.checkpointX, rec.checkpointY, rec.checkpointF}),
              std::vector<int>({SPIKE_STAGE_FLAG_X, SPIKE_STAGE_FLAG_Y, 1}));
    EXPECT_LT(rec.retryAt - rec.deathAt, 100); // JUMP ends the death hop, then the wait
    EXPECT_EQ(rec.retryX, SPIKE_STAGE_FLAG_X);
    EXPECT_EQ(rec.retryY, SPIKE_STAGE_FLAG_Y);
    EXPECT_TRUE(rec.retryMusicSame);
    EXPECT_EQ(rec.retryFade, MARK); // starting the track again would reset its ramp
    EXPECT_EQ(rec.retrySplash, 0);  // but the attempt is a fresh one
    EXPECT_EQ(rec.retryMessage, "");
    EXPECT_EQ(rec.retryScore, rec.stage2Score);
}

TEST_F(GameEndToEnd, PauseFreezesTheStageAndSuicideEndsTheGame) {
    EXPECT_GE(rec.pausedTime, 0);
    EXPECT_EQ(rec.timeAfterPause, rec.pausedTime);
    EXPECT_EQ(rec.unpausedMenu, 0);
    EXPECT_EQ(rec.gameOverLives, 0);
    EXPECT_EQ(rec.gameOverMessage, "SUICIDE");
    EXPECT_GT(rec.finalScore, 100); // a score for the table
}

TEST_F(GameEndToEnd, NameEntryStoresTheNameBelowEqualScores) {
    int below = 0; // below every old entry with as many points or more
    while (below < NUM_HISCORES && 1000 - 100 * below >= rec.finalScore)
        below++;
    EXPECT_EQ(rec.rank, below);
    EXPECT_EQ(rec.rankName, "ZOE");
    EXPECT_EQ(rec.fileName, "ZOE");
    EXPECT_EQ(rec.fileScore, rec.finalScore);
}

TEST_F(GameEndToEnd, NoContinueOpensTheTableAndEscapeGoesBackToItsMenuItem) {
    EXPECT_EQ(rec.tableState, "level 0 lives 6 score 0 menu -3 rank " + std::to_string(rec.rank) +
                                  " saved 1 escape 0 done 0");
    EXPECT_EQ(rec.backOn, WF_HISCORES);
    EXPECT_TRUE(rec.tableMusicSame);
    EXPECT_EQ(rec.tableFade, MARK);
    EXPECT_EQ(rec.rankThird, -1); // the row that blinks: none once JUMP has left the table
}

TEST_F(GameEndToEnd, ContinueStartsTheSavedStageFromItsStart) {
    EXPECT_EQ(rec.continuedPages, std::vector<int>{2});
    EXPECT_EQ(rec.continuedState, "level 2 lives 6 score 0 menu 2 rank -1 saved 1 escape 0 done 0");
    EXPECT_EQ(rec.continuedX, 16);
}

TEST_F(GameEndToEnd, QuitDialogGoesOnAfterNoAndAbandonsTheGameAfterYes) {
    EXPECT_EQ(rec.dialogNoState, 0);
    EXPECT_EQ(rec.titleAfterQuit, FRESH_TITLE + "1 escape 0 done 0");
    EXPECT_EQ(rec.hiscoresAfterQuit, rec.hiscoreBytes); // no entry made
}

TEST_F(GameEndToEnd, ExitEndsTheProgramWithTheFilesInPlace) {
    EXPECT_EQ(rec.status, 0);
    EXPECT_TRUE(rec.finished) << "the game ended while waiting for: " << rec.stuckAt;
    EXPECT_EQ(rec.flowAtEnd, FLOW_NONE);
    EXPECT_EQ(rec.savegameAtEnd, 1);
    EXPECT_TRUE(rec.cfgAtEnd);
    EXPECT_FALSE(rec.runsAtEnd);
}
