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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
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

bool exists(const char* path) {
    return std::filesystem::exists(path);
}
bool onTitle(int menu) {
    return flowScreen == FLOW_TITLE && workflow == menu;
}
bool optionsReady(int line) {
    return onTitle(WF_OPTIONS_MENU) && cfgIndex == line && cfgCount == 0;
}
bool onPause(int item) {
    return paused && workflow == item;
}
bool playing(int stage) {
    return flowScreen == FLOW_STAGE && level == stage && frame > STAGE_INTRO_FRAMES + 1 && !paused;
}

// What the player saw and the game held at the steps of the run.
struct Record {
    std::map<std::string, std::string> seen; // a step's notes, by its name
    std::vector<WorldSnapshot> runner;       // stage 1 frame by frame as the stage runner plays it
    int runnerOutcome = -1, runnerClearedAt = -1, compared = 0;
    std::string difference;
    int rings = 0, tallyScore = -1, tallyLives = -1, tallyTime = -1, stage2Score = -1,
        stage2Lives = -1, deathAt = 0, retryAt = 0, pausedAt = 0, finalScore = -1, rank = -1;
    ModPlugFile* music = nullptr; // the track at a step before one that asks whether it changed
    std::string hiscoreBytes;
} rec;

// A step that notes what `note` says once `ready` holds, then taps `key` (0: none). Steps
// named "record: step" add to one record, and a stuck run names the step.
void noteWhen(ScriptedPlayer& p, const std::string& what, ScriptedPlayer::Test ready,
              std::function<std::string()> note, int key = 0) {
    p.when(what, ready, [record = what.substr(0, what.find(':')), note, key] {
        rec.seen[record] += note();
        if (key) ScriptedPlayer::tap(key);
    });
}
// Taps each key once the menu is on its item, `on(item)` telling when it is.
void tapsOn(ScriptedPlayer& p, const std::string& menu, bool (*on)(int),
            const std::vector<std::pair<int, int>>& itemKeys) {
    for (auto [item, key] : itemKeys)
        p.tapWhen(
            menu + " item " + std::to_string(item), [on, item = item] { return on(item); }, key);
}

constexpr int MARK = 77; // put into state that a fresh start would reset
const std::string FRESH_TITLE = "level 0 lives 6 score 0 menu 0 rank -1 saved ";

} // namespace

class GameEndToEnd : public ::testing::Test {
  protected:
    static std::unique_ptr<GameDirectory> dir;
    static void SetUpTestSuite();
    static void TearDownTestSuite() { dir.reset(); }
    static std::string seen(const char* step) { return rec.seen[step]; }
};

std::unique_ptr<GameDirectory> GameEndToEnd::dir;

void GameEndToEnd::SetUpTestSuite() {
    alarm(TEST_ALARM_SECONDS);
    struct StopAlarm { // also when the set-up gives up early
        ~StopAlarm() { alarm(0); }
    } stopAlarm;
    Record& r = rec;
    // the title and stage 1 as the build packed them, stage 1 cleared by its replay from the
    // sources; stage 2 our spike stage. Without them every step fails on an empty record.
    static Replay stage1Replay;
    std::string why;
    if (!loadReplay(TROBZ_SOURCE_DIR "/assets/replays/trobz301.txt", &stage1Replay, &why)) return;
    std::vector<ZdaMember> maps;
    {
        ArchiveDir built(TROBZ_BUILD_DIR "/data");
        for (const char* name : {"trobz300", "trobz301"}) {
            uint32_t size = 0;
            unsigned char* bytes = loadZDAFile(ZDA_MAPS, name, "bin", &size);
            if (!bytes) return;
            maps.push_back({std::string(name) + ".bin", Bytes(bytes, bytes + size)});
            std::free(bytes);
        }
    }
    maps.push_back({"trobz302.bin", spikeStage()});
    // the stage runner's way, as the stage tools play the replay
    prepareFirstAttempt(1);
    Figure hero{};
    const Bytes& stage1 = maps[1].data;
    if (!beginAttemptFromBytes(&hero, stage1.data(), (int)stage1.size())) return;
    const StageResult result = playReplay(
        &hero, stage1Replay,
        [](int, Figure* hero, void* frames) {
            auto* seen = static_cast<std::vector<WorldSnapshot>*>(frames);
            seen->emplace_back();
            saveWorld(&seen->back(), hero, 0);
        },
        &r.runner);
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
    resetHiscoreTable(); // the game's table then comes only from the file
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
        "the intro screens", [] { return currentScreen >= NUM_INTRO_SCREENS; },
        [] { ScriptedPlayer::tap(K_SPACE); }, 6);

    // the title: a fresh game; the menu opens on NEW GAME without a savegame, and wraps
    noteWhen(
        player, "PRESS START", [] { return onTitle(WF_PRESS_START) && frame > 5; },
        [] {
            return flowState() + describe(" files %d%d tenth %s", exists("savegame.dat"),
                                          exists("trobz3.cfg"), hiscores[9].name);
        },
        K_RETURN);
    tapsOn(player, "title menu", onTitle,
           {{WF_NEW_GAME, K_UP},
            {WF_EXIT, K_DOWN},
            {WF_NEW_GAME, K_DOWN},
            {WF_CONTINUE, K_DOWN},
            {WF_HISCORES, K_RIGHT},
            {WF_OPTIONS, K_SPACE}});
    // the options: music volume down one step, then up and around to BACK TO MENU
    tapsOn(player, "options", optionsReady,
           {{OPT_KEYS, K_DOWN},
            {OPT_PAD, K_DOWN},
            {OPT_MUSIC, K_LEFT},
            {OPT_MUSIC, K_UP},
            {OPT_PAD, K_UP},
            {OPT_KEYS, K_UP}});
    noteWhen(
        player, "BACK TO MENU", [] { return optionsReady(OPT_BACK); },
        [] {
            return describe("music %d mixer %d changed %d file %d", _mus_volume_100_, _mus_volume_,
                            cfgChanged, exists("trobz3.cfg"));
        },
        K_RETURN);
    noteWhen(
        player, "back on OPTIONS", [] { return onTitle(WF_OPTIONS); },
        [] { return readWholeFile("trobz3.cfg"); }, K_LEFT);
    tapsOn(player, "title menu", onTitle,
           {{WF_HISCORES, K_UP}, {WF_CONTINUE, K_UP}, {WF_NEW_GAME, K_SPACE}});

    // the story of a new game: three pages, the first passed with PAUSE
    for (int page = 0; page < 3; page++)
        noteWhen(
            player, "story: page " + std::to_string(page),
            [page] { return flowScreen == FLOW_STORY && storyPage == page; },
            [page] { return describe(" page %d", page); }, page == 0 ? K_TAB : K_SPACE);

    // stage 1: the intro runs out, then the replay walks to the door
    noteWhen(
        player, "stage 1 intro", [] { return flowScreen == FLOW_STAGE && level == 1; },
        [&r] {
            r.rings = stars;
            return flowState() + describe(" music %d endless %d active %d", stageMusic != nullptr,
                                          mpLoops < 0, isActive(&theHero));
        });
    player.repeat(
        "stage 1 played by its replay", [] { return flowScreen == FLOW_TALLY; },
        [&] {
            if (flowScreen != FLOW_STAGE || level != 1 || frame <= STAGE_INTRO_FRAMES) return;
            // at the input of play frame n the world stands as play frame n - 1 left it
            if (frame - STAGE_INTRO_FRAMES - 1 == r.compared) compare(theHero);
            const StageInput in = replayInput(stage1Replay, frame - STAGE_INTRO_FRAMES - 1);
            std::vector<int> keys;
            for (auto [on, key] : {std::pair{in.left, K_LEFT},
                                   {in.right, K_RIGHT},
                                   {in.jump, K_SPACE},
                                   {in.crawl, K_DOWN}})
                if (on) keys.push_back(key);
            ScriptedPlayer::setHeld(keys);
        });
    // the tally, and a quit request during it that waits for the next stage
    noteWhen(
        player, "the tally", [] { return flowScreen == FLOW_TALLY; },
        [&] {
            ScriptedPlayer::setHeld({});
            Figure cleared = theHero;
            cleared.alive = 1; // the tally takes the hero off the stage; the door frame is here
            compare(cleared);
            r.tallyScore = score;
            r.tallyLives = lives;
            r.tallyTime = timeLeft;
            pushEvent(SDL_Event{SDL_QUIT});
            char times[80];
            return describe("rings left %d timed %d", stars, ghostTallyLine(times, sizeof times));
        });

    // stage 2: saved as reached; the intro cut short; the quit dialog answered no; death on
    // the spikes after the flag, cut short with JUMP
    noteWhen(
        player, "stage 2 intro", [] { return flowScreen == FLOW_STAGE && level == 2; },
        [&r] {
            r.stage2Score = score;
            r.stage2Lives = lives;
            r.music = stageMusic;
            return describe("saved %d savegame %d of %d bytes start x %d flag %d", saved,
                            loadGame(), (int)readWholeFile("savegame.dat").size(), startx, startf);
        });
    player.tapWhen(
        "stage 2 intro cut short", [] { return flowScreen == FLOW_STAGE && frame == 20; },
        K_RETURN);
    noteWhen(
        player, "quit dialog", [] { return flowScreen == FLOW_QUIT_DIALOG; },
        [] { return describe("at frame %d", frame); }, K_RIGHT);
    player.when(
        "stage 2 play", [] { return playing(2); }, [] { ScriptedPlayer::keyDown(K_RIGHT); });
    noteWhen(
        player, "hero on the spikes", [] { return theHero.dying == 1; },
        [&r] {
            ScriptedPlayer::keyUp(K_RIGHT);
            r.deathAt = ScriptedPlayer::calls;
            // marks a fresh attempt would reset and a retry must not
            mp_delta = 0;
            mp_fade = MARK;
            return describe("%s restart %d %d flag %d", messageString, startx, starty, startf);
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
        [] { ScriptedPlayer::tap(K_SPACE); });
    noteWhen(
        player, "retry", [] { return flowScreen == FLOW_STAGE && level == 2 && frame == 1; },
        [&r] {
            r.retryAt = ScriptedPlayer::calls;
            const std::string note =
                describe("at %d %d same music %d fade %d splash %d message '%s' score %d",
                         theHero.x, theHero.y, stageMusic == r.music, mp_fade.load(), splashPlayed,
                         messageString, score - r.stage2Score);
            mp_fade = mp_volume.load();
            return note;
        });

    // the pause menu: nothing moves while it is open; GO ON, then SUICIDE (reached by
    // wrapping down past EXIT) until the last life is gone
    player.tapWhen(
        "pause opened", [] { return playing(2) && isActive(&theHero); }, K_TAB);
    noteWhen(
        player, "paused", [] { return onPause(PAUSE_GO_ON); },
        [&r] {
            r.pausedAt = ScriptedPlayer::calls;
            return describe("time %d", timeLeft);
        });
    noteWhen(
        player, "paused a while", [&r] { return ScriptedPlayer::calls > r.pausedAt + 10; },
        [] { return describe("time %d", timeLeft); }, K_SPACE);
    noteWhen(
        player, "pause left", [] { return playing(2); },
        [] { return describe("menu %d", workflow); });
    player.repeat(
        "suicides", [] { return flowScreen == FLOW_GAME_OVER; },
        [] {
            if (playing(2) && isActive(&theHero))
                ScriptedPlayer::tap(K_RETURN);
            else if (paused)
                ScriptedPlayer::tap(workflow == PAUSE_SUICIDE ? K_SPACE : K_DOWN);
        },
        3);

    // game over with a name for the table
    noteWhen(
        player, "game over", [] { return flowScreen == FLOW_GAME_OVER; },
        [&r] {
            r.finalScore = score;
            return describe("lives %d %s", lives, messageString);
        },
        K_SPACE);
    // keys held one input frame each: A down twice is Z, up fourteen times O, down twice and
    // up once the blank past Z, up four times E
    static std::vector<int> nameKeys = {K_DOWN, K_DOWN, K_RIGHT};
    nameKeys.insert(nameKeys.end(), 14, K_UP);
    nameKeys.insert(nameKeys.end(), {K_RIGHT, K_DOWN, K_DOWN, K_UP, K_RIGHT});
    nameKeys.insert(nameKeys.end(), 4, K_UP);
    static size_t pressed;
    pressed = 0;
    player.repeat(
        "the name keys", [] { return pressed == nameKeys.size(); },
        [] {
            if (flowScreen == FLOW_NAME_ENTRY) ScriptedPlayer::press(nameKeys[pressed++]);
        },
        2);
    player.when(
        "name entered", [] { return flowScreen == FLOW_NAME_ENTRY; },
        [] { ScriptedPlayer::keyDown(K_RETURN); });
    player.when(
        "START let go", [] { return true; }, [] { ScriptedPlayer::keyUp(K_RETURN); });
    // the new entry as the table and its file hold it
    noteWhen(
        player, "continue question", [] { return flowScreen == FLOW_CONTINUE; },
        [&r] {
            r.rank = hsRank;
            std::string table = r.hiscoreBytes = readWholeFile("hiscores.dat");
            if (table.size() != (size_t)HISCORE_FILE_BYTES || hsRank < 0 || hsRank >= NUM_HISCORES)
                return std::string("no entry");
            decodebuf((unsigned char*)&table[0], HISCORE_FILE_BYTES, HISCORE_SEED);
            const char* e = table.data() + hsRank * HISCORE_ENTRY_BYTES;
            return describe("%s; in the file %s %d", hiscores[hsRank].name, e,
                            (unsigned char)e[12] | (unsigned char)e[13] << 8);
        },
        K_RIGHT);

    // back on the title, on the table with the new entry; Escape goes back to its menu item
    noteWhen(
        player, "hiscore table: shown after the game",
        [] { return onTitle(WF_HISCORE_TABLE) && frame > 70; },
        [&r] {
            r.music = stageMusic;
            mp_delta = 0;
            mp_fade = MARK;
            return flowState();
        },
        K_ESCAPE);
    noteWhen(
        player, "hiscore table: left with Escape",
        [] { return flowScreen == FLOW_TITLE && workflow != WF_HISCORE_TABLE; },
        [&r] {
            const std::string note = describe(" back on %d same music %d fade %d", workflow,
                                              stageMusic == r.music, mp_fade.load());
            mp_fade = mp_volume.load();
            return note;
        },
        K_RETURN);
    // opened again and left with JUMP: the new entry has been seen and blinks no more
    tapsOn(player, "title menu", onTitle, {{WF_HISCORE_TABLE, K_SPACE}, {WF_HISCORES, K_RETURN}});
    noteWhen(
        player, "hiscore table: opened a third time", [] { return onTitle(WF_HISCORE_TABLE); },
        [] { return describe(" blinking %d", hsRank); }, K_ESCAPE);
    tapsOn(player, "title menu", onTitle, {{WF_HISCORES, K_UP}, {WF_CONTINUE, K_RETURN}});
    noteWhen(
        player, "continued story", [] { return flowScreen == FLOW_STORY; },
        [] { return describe(" page %d", storyPage); }, K_SPACE);

    // stage 2 again: EXIT in the pause menu asks at once, answered no; then Escape, yes
    noteWhen(
        player, "stage 2 continued", [] { return playing(2) && frame > 200; },
        [] { return flowState() + describe(" at %d", theHero.x); }, K_TAB);
    tapsOn(player, "pause menu", onPause, {{PAUSE_GO_ON, K_RIGHT}, {PAUSE_EXIT, K_SPACE}});
    player.tapWhen(
        "quit dialog from the pause", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_RIGHT);
    noteWhen(
        player, "after no", [] { return playing(2) && frame > 260; },
        [] {
            return describe("escape %d done %d paused %d level %d", escape, done, paused, level);
        },
        K_ESCAPE);
    player.tapWhen(
        "quit dialog again", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_LEFT);

    // the title, and out
    noteWhen(
        player, "after yes", [] { return onTitle(WF_PRESS_START) && frame > 3; },
        [&r] {
            return flowState() + (readWholeFile("hiscores.dat") == r.hiscoreBytes
                                      ? " table as before"
                                      : " table changed");
        },
        K_UP);
    tapsOn(player, "title menu", onTitle, {{WF_EXIT, K_RETURN}});

    char prog[] = "trobz3";
    char* argv[] = {prog, nullptr};
    const int status = gameMain(1, argv);
    r.seen["end"] = describe(
        "status %d waiting for '%s' screen %d savegame %d volume kept %d runs %d", status,
        player.stuckAt().c_str(), flowScreen, loadGame(),
        readWholeFile("trobz3.cfg").find("mus_volume=95\n") != std::string::npos, exists("runs"));
}

TEST_F(GameEndToEnd, TitleStartsAFreshGameOnTheHiscoreFile) {
    EXPECT_EQ(seen("PRESS START"), FRESH_TITLE + "0 escape 0 done 0 files 00 tenth JO");
}

TEST_F(GameEndToEnd, OptionsLowerTheMusicAndWriteTheFileOnLeaving) {
    EXPECT_EQ(seen("BACK TO MENU"), "music 95 mixer 121 changed 1 file 0");
    for (const char* line : {"mus_volume=95\n", "sfx_volume=15\n", "k_jump=32\n"})
        EXPECT_NE(seen("back on OPTIONS").find(line), std::string::npos) << line;
}

TEST_F(GameEndToEnd, StoryShowsItsThreePagesAndAPausePassesOnlyOne) {
    EXPECT_EQ(seen("story"), " page 0 page 1 page 2");
}

TEST_F(GameEndToEnd, StageOneStartsWithItsEndlessMusic) {
    EXPECT_EQ(seen("stage 1 intro"), "level 1 lives 6 score 0 menu 1 rank -1 saved 0 escape 0 "
                                     "done 0 music 1 endless 1 active 1");
    EXPECT_GT(rec.rings, 0);
}

// The stage tools prove stages clearable through the stage runner: that holds for the game
// only if the game sets up and runs an attempt exactly as the runner does.
TEST_F(GameEndToEnd, StageOneIsPlayedFrameByFrameAsTheStageRunnerPlaysIt) {
    EXPECT_EQ(rec.runnerOutcome, STAGE_CLEARED);
    EXPECT_EQ(rec.difference, "");
    EXPECT_EQ(rec.compared, rec.runnerClearedAt + 1); // frames 0 ... the cleared one
}

// Stages are timed only with -ghost.
TEST_F(GameEndToEnd, TallyAddsSecondsAndLives) {
    EXPECT_EQ(seen("the tally"), "rings left 0 timed 0");
    EXPECT_GE(rec.tallyScore, rec.rings); // a point a ring, and maybe bricks and bonuses
    EXPECT_EQ(rec.tallyLives, 6);         // the replay loses no life
    EXPECT_EQ(rec.stage2Score, rec.tallyScore + rec.tallyTime / 60 + rec.tallyLives);
    // the bonuses carried the score past 100: one extra life
    EXPECT_EQ(rec.stage2Lives,
              rec.tallyLives + (rec.stage2Score / 100 > rec.tallyScore / 100 ? 1 : 0));
}

// The quit asked for during the tally: the intro was cut short at frame 20, and the dialog
// opens as play begins.
TEST_F(GameEndToEnd, NextStageIsSavedAndStartsAtItsOwnStartAndAsksAboutTheQuitFromTheTally) {
    EXPECT_EQ(seen("stage 2 intro"), "saved 1 savegame 1 of 4 bytes start x 16 flag 0");
    EXPECT_EQ(seen("quit dialog"), "at frame 181");
}

TEST_F(GameEndToEnd, DeathPastTheCheckpointIsCutShortAndRetriedThereWithTheMusicRunningOn) {
    EXPECT_EQ(seen("hero on the spikes"), describe("IMPALED TO DEATH restart %d %d flag 1",
                                                   SPIKE_STAGE_FLAG_X, SPIKE_STAGE_FLAG_Y));
    EXPECT_LT(rec.retryAt - rec.deathAt, 100); // JUMP ends the death hop, then the wait
    // at the flag, the track not started again (that would reset its ramp), yet a fresh
    // attempt
    EXPECT_EQ(seen("retry"), describe("at %d %d same music 1 fade %d splash 0 message '' score 0",
                                      SPIKE_STAGE_FLAG_X, SPIKE_STAGE_FLAG_Y, MARK));
}

TEST_F(GameEndToEnd, PauseFreezesTheStageAndSuicideEndsTheGame) {
    EXPECT_NE(seen("paused").find("time "), std::string::npos);
    EXPECT_EQ(seen("paused a while"), seen("paused"));
    EXPECT_EQ(seen("pause left"), "menu 0");
    EXPECT_EQ(seen("game over"), "lives 0 SUICIDE");
    EXPECT_GT(rec.finalScore, 100); // a score for the table
}

TEST_F(GameEndToEnd, NameEntryStoresTheNameBelowEqualScores) {
    int below = 0; // below every old entry with as many points or more
    while (below < NUM_HISCORES && 1000 - 100 * below >= rec.finalScore)
        below++;
    EXPECT_EQ(rec.rank, below);
    EXPECT_EQ(seen("continue question"), describe("ZO E; in the file ZO E %d", rec.finalScore));
}

// The row that blinks: the new one, and none once JUMP has left the table.
TEST_F(GameEndToEnd, NoContinueOpensTheTableAndEscapeGoesBackToItsMenuItem) {
    EXPECT_EQ(seen("hiscore table"),
              describe("level 0 lives 6 score 0 menu -3 rank %d saved 1 escape 0 done 0"
                       " back on %d same music 1 fade %d blinking -1",
                       rec.rank, WF_HISCORES, MARK));
}

TEST_F(GameEndToEnd, ContinueStartsTheSavedStageFromItsStart) {
    EXPECT_EQ(seen("continued story"), " page 2");
    EXPECT_EQ(seen("stage 2 continued"),
              "level 2 lives 6 score 0 menu 2 rank -1 saved 1 escape 0 done 0 at 16");
}

TEST_F(GameEndToEnd, QuitDialogGoesOnAfterNoAndAbandonsTheGameAfterYes) {
    EXPECT_EQ(seen("after no"), "escape 0 done 0 paused 0 level 2");
    EXPECT_EQ(seen("after yes"), FRESH_TITLE + "1 escape 0 done 0 table as before");
}

TEST_F(GameEndToEnd, ExitEndsTheProgramWithTheFilesInPlace) {
    EXPECT_EQ(
        seen("end"),
        describe("status 0 waiting for '' screen %d savegame 1 volume kept 1 runs 0", FLOW_NONE));
}
