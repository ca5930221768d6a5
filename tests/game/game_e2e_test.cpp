// The whole game, from start-up to "EXIT", played by a scripted player on a virtual clock:
// options, a new game with its story, a stage cleared by a replay with its tally and
// savegame, a death and the retry from the checkpoint, the pause menu, game over with a
// hiscore name and the continue question, the hiscore table on the title, "CONTINUE" at
// the saved stage, the quit dialog, and the way out. Each step checks the game state and
// the files it should have left.
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
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"
#include "world/pickups.h"

#include <cstring>
#include <filesystem>

namespace {

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
// Taps a key once the title menu, or the options line, is up.
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

// What the player saw and the game held at the moments the checks need later.
struct Record {
    std::vector<int> pages;
    int rings = 0, tallyScore = -1, tallyLives = -1, tallyTime = -1;
    ModPlugFile* musicBefore = nullptr;
    int introCutAt = -1, livesAfterSpikes = 0, rank = -1, finalScore = -1;
    std::string hiscoreBytes;
};

constexpr int MUSIC_MARK = 77;
const std::string FRESH_TITLE = "level 0 lives 6 score 0 menu 0 rank -1 saved ";

} // namespace

TEST(GameEndToEnd, PlaysThroughTheWholeGame) {
    alarm(TEST_ALARM_SECONDS);
    // the title and stage 1 as built, stage 1 cleared by its replay; stage 2 our spike stage
    std::vector<ZdaMember> maps = testStageMembers(), built;
    Replay stage1Replay;
    ASSERT_TRUE(realFirstStages(&built, &stage1Replay)) << "the build has no stage 1 or replay";
    maps[0] = built[0];
    maps[1] = built[1];
    GameDirectory dir(maps);
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
    Record rec;

    // start-up: the intro screens pass with JUMP
    player.repeat(
        "the intro screens", [] { return currentScreen >= NUM_INTRO_SCREENS; }, [] { return true; },
        [] { ScriptedPlayer::tap(K_SPACE); }, 6);

    // the title, the main menu and its wrap
    player.when(
        "PRESS START", [] { return onTitle(WF_PRESS_START) && frame > 5; },
        [] {
            EXPECT_EQ(flowState(), FRESH_TITLE + "0 escape 0 done 0");
            EXPECT_FALSE(exists("savegame.dat") || exists("trobz3.cfg"));
            EXPECT_STREQ(hiscores[9].name, "JO");
            ScriptedPlayer::tap(K_RETURN);
        });
    tapOnMenu(player, WF_NEW_GAME, K_UP);
    tapOnMenu(player, WF_EXIT, K_DOWN);
    tapOnMenu(player, WF_NEW_GAME, K_DOWN);
    tapOnMenu(player, WF_CONTINUE, K_DOWN);
    tapOnMenu(player, WF_HISCORES, K_RIGHT);
    tapOnMenu(player, WF_OPTIONS, K_SPACE);

    // the options: music volume down one step, then back to the menu
    player.when(
        "options open", [] { return optionsReady(OPT_KEYS); },
        [] {
            EXPECT_EQ(cfgChanged, 0);
            ScriptedPlayer::tap(K_DOWN);
        });
    tapOnOption(player, OPT_PAD, K_DOWN);
    player.when(
        "options on the music", [] { return optionsReady(OPT_MUSIC); },
        [] {
            EXPECT_EQ(_mus_volume_100_, 100);
            ScriptedPlayer::tap(K_LEFT);
        });
    player.when(
        "music volume lowered", [] { return optionsReady(OPT_MUSIC) && _mus_volume_100_ != 100; },
        [] {
            EXPECT_EQ(_mus_volume_100_, 95);
            EXPECT_EQ(_mus_volume_, 121);
            EXPECT_EQ(cfgChanged, 1);
            ScriptedPlayer::tap(K_UP);
        });
    tapOnOption(player, OPT_PAD, K_UP);
    tapOnOption(player, OPT_KEYS, K_UP);
    player.when(
        "options wrapped to BACK TO MENU", [] { return optionsReady(OPT_BACK); },
        [] {
            EXPECT_FALSE(exists("trobz3.cfg")); // nothing is written before leaving
            ScriptedPlayer::tap(K_RETURN);
        });
    player.when(
        "back on OPTIONS", [] { return onTitle(WF_OPTIONS); },
        [] {
            for (const char* line : {"mus_volume=95\n", "sfx_volume=15\n", "k_jump=32\n"})
                EXPECT_TRUE(fileHas("trobz3.cfg", line)) << line;
            ScriptedPlayer::tap(K_LEFT);
        });
    tapOnMenu(player, WF_HISCORES, K_UP);
    tapOnMenu(player, WF_CONTINUE, K_UP);
    tapOnMenu(player, WF_NEW_GAME, K_SPACE);

    // the story of a new game: three pages
    for (int page = 0; page < 3; page++)
        player.when(
            "opening page " + std::to_string(page),
            [page] { return flowScreen == FLOW_STORY && storyPage == page; },
            [&rec, page] {
                rec.pages.push_back(page);
                ScriptedPlayer::tap(K_SPACE);
            });

    // stage 1: the intro runs out, then the replay walks to the door
    player.when(
        "stage 1 intro", [] { return flowScreen == FLOW_STAGE && level == 1; },
        [&rec] {
            EXPECT_EQ(rec.pages, (std::vector<int>{0, 1, 2}));
            EXPECT_EQ(flowState(),
                      "level 1 lives 6 score 0 menu 1 rank -1 saved 0 escape 0 done 0");
            EXPECT_GT(stars, 0);
            rec.rings = stars;
            EXPECT_NE(stageMusic, nullptr);
            EXPECT_TRUE(isActive(&theHero));
        });
    player.repeat(
        "stage 1 played by its replay", [] { return flowScreen == FLOW_TALLY; },
        [] { return flowScreen == FLOW_STAGE && level == 1 && frame > 180; },
        [&stage1Replay] {
            StageInput in = replayInput(stage1Replay, frame - 181);
            std::vector<int> keys;
            if (in.left) keys.push_back(K_LEFT);
            if (in.right) keys.push_back(K_RIGHT);
            if (in.jump) keys.push_back(K_SPACE);
            if (in.crawl) keys.push_back(K_DOWN);
            ScriptedPlayer::setHeld(keys);
        },
        1);
    player.when(
        "the tally", [] { return flowScreen == FLOW_TALLY; },
        [&rec] {
            ScriptedPlayer::setHeld({});
            EXPECT_EQ(stars, 0);
            EXPECT_GE(score, rec.rings); // a point a ring, and maybe bricks and bonuses
            EXPECT_EQ(lives, 6);         // the replay loses no life
            EXPECT_EQ(level, 1);
            rec.tallyScore = score;
            rec.tallyLives = lives;
            rec.tallyTime = timeLeft;
            char times[80];
            EXPECT_FALSE(ghostTallyLine(times, sizeof times)); // stages are timed only with -ghost
        });

    // stage 2: saved as reached; the intro cut short; death on the spikes after the flag
    player.when(
        "stage 2 intro", [] { return flowScreen == FLOW_STAGE && level == 2; },
        [&rec] {
            EXPECT_EQ(score, rec.tallyScore + rec.tallyTime / 60 + rec.tallyLives);
            // the bonuses carried the score past 100: one extra life
            EXPECT_EQ(lives, rec.tallyLives + (score / 100 > rec.tallyScore / 100 ? 1 : 0));
            EXPECT_EQ(saved, 1);
            EXPECT_EQ(loadGame(), 1);
            EXPECT_EQ(readWholeFile("savegame.dat").size(), 4u);
            EXPECT_EQ(startx, 16);
            EXPECT_EQ(startf, 0);
            rec.musicBefore = stageMusic;
        });
    player.tapWhen(
        "stage 2 intro cut short", [] { return flowScreen == FLOW_STAGE && frame == 20; },
        K_RETURN);
    player.when(
        "stage 2 play starts", [] { return flowScreen == FLOW_STAGE && frame > 180; },
        [&rec] {
            rec.introCutAt = ScriptedPlayer::calls;
            EXPECT_EQ(frame, 181);
            EXPECT_EQ(paused, 0); // START in the intro does not pause
            ScriptedPlayer::keyDown(K_RIGHT);
        });
    player.when(
        "hero on the spikes", [] { return theHero.dying == 1; },
        [] {
            ScriptedPlayer::keyUp(K_RIGHT);
            EXPECT_STREQ(messageString, "IMPALED TO DEATH");
            EXPECT_EQ(startf, 1);
            EXPECT_EQ(startx, SPIKE_STAGE_FLAG_X);
            EXPECT_EQ(starty, SPIKE_STAGE_FLAG_Y);
            // a mark on the music's volume ramp: starting a track again would reset it
            mp_delta = 0;
            mp_fade = MUSIC_MARK;
        });
    player.when(
        "retry from the checkpoint",
        [] { return flowScreen == FLOW_STAGE && level == 2 && frame == 1; },
        [&rec] {
            rec.livesAfterSpikes = lives;
            EXPECT_EQ(theHero.x, SPIKE_STAGE_FLAG_X);
            EXPECT_EQ(theHero.y, SPIKE_STAGE_FLAG_Y);
            EXPECT_EQ(stageMusic, rec.musicBefore); // the music runs on
            EXPECT_EQ(mp_fade.load(), MUSIC_MARK);
            mp_fade = mp_volume.load();
            EXPECT_STREQ(messageString, "");
            EXPECT_EQ(score, rec.tallyScore + rec.tallyTime / 60 + rec.tallyLives);
        });

    // the pause menu: GO ON once, then SUICIDE until the last life is gone
    player.tapWhen(
        "pause opened", [] { return playing(2) && isActive(&theHero); }, K_TAB);
    player.tapWhen(
        "pause on GO ON", [] { return paused && workflow == PAUSE_GO_ON; }, K_SPACE);
    player.when(
        "pause left", [] { return playing(2); },
        [] {
            EXPECT_TRUE(isActive(&theHero));
            EXPECT_EQ(workflow, 0);
        });
    player.repeat(
        "suicides", [] { return flowScreen == FLOW_GAME_OVER; }, [] { return true; },
        [] {
            if (playing(2) && isActive(&theHero))
                ScriptedPlayer::tap(K_RETURN);
            else if (paused && workflow == PAUSE_GO_ON)
                ScriptedPlayer::tap(K_UP);
            else if (paused && workflow == PAUSE_SUICIDE)
                ScriptedPlayer::tap(K_SPACE);
        },
        3);

    // game over with a name for the table
    player.when(
        "game over", [] { return flowScreen == FLOW_GAME_OVER; },
        [&rec] {
            EXPECT_EQ(lives, 0);
            EXPECT_STREQ(messageString, "SUICIDE");
            rec.finalScore = score;
            EXPECT_GT(score, 100); // a score for the table
            ScriptedPlayer::tap(K_SPACE);
        });
    // keys held one input frame each: A down twice is Z, up fourteen times O, four times E
    std::vector<int> nameKeys = {K_DOWN, K_DOWN, K_RIGHT};
    nameKeys.insert(nameKeys.end(), 14, K_UP);
    nameKeys.push_back(K_RIGHT);
    nameKeys.insert(nameKeys.end(), 4, K_UP);
    size_t pressed = 0;
    player.repeat(
        "the name keys", [&] { return pressed == nameKeys.size(); },
        [] { return flowScreen == FLOW_NAME_ENTRY; },
        [&] { ScriptedPlayer::press(nameKeys[pressed++]); }, 2);
    player.when(
        "name entered", [] { return flowScreen == FLOW_NAME_ENTRY; },
        [] { ScriptedPlayer::keyDown(K_RETURN); });
    player.when(
        "START let go", [] { return true; }, [] { ScriptedPlayer::keyUp(K_RETURN); });
    player.when(
        "continue question", [] { return flowScreen == FLOW_CONTINUE; },
        [&rec] {
            // below every old entry with as many points or more
            int below = 0;
            while (below < NUM_HISCORES && 1000 - 100 * below >= rec.finalScore)
                below++;
            EXPECT_EQ(hsRank, below);
            rec.rank = hsRank;
            ASSERT_GE(hsRank, 0);
            EXPECT_STREQ(hiscores[hsRank].name, "ZOE");
            std::string table = readWholeFile("hiscores.dat");
            ASSERT_EQ(table.size(), 160u);
            decodebuf((unsigned char*)&table[0], 160, HISCORE_SEED);
            const char* e = table.data() + hsRank * HISCORE_ENTRY_BYTES;
            EXPECT_STREQ(e, "ZOE");
            EXPECT_EQ((unsigned char)e[12] | (unsigned char)e[13] << 8, rec.finalScore);
            rec.hiscoreBytes = readWholeFile("hiscores.dat");
            ScriptedPlayer::tap(K_RIGHT);
        });

    // back on the title, on the table with the new entry
    player.when(
        "hiscore table", [] { return onTitle(WF_HISCORE_TABLE) && frame > 70; },
        [&rec] {
            EXPECT_EQ(flowState(), "level 0 lives 6 score 0 menu -3 rank " +
                                       std::to_string(rec.rank) + " saved 1 escape 0 done 0");
            ScriptedPlayer::tap(K_SPACE);
        });
    player.when(
        "table left", [] { return onTitle(WF_HISCORES); },
        [] {
            EXPECT_EQ(hsRank, -1);
            ScriptedPlayer::tap(K_UP);
        });
    player.when(
        "CONTINUE chosen", [] { return onTitle(WF_CONTINUE); },
        [&rec] {
            rec.pages.clear();
            ScriptedPlayer::tap(K_RETURN);
        });
    player.when(
        "continued story", [] { return flowScreen == FLOW_STORY; },
        [&rec] {
            rec.pages.push_back(storyPage);
            ScriptedPlayer::tap(K_SPACE);
        });

    // stage 2 again: the quit dialog answered no, then yes
    player.when(
        "stage 2 continued", [] { return playing(2) && frame > 200; },
        [&rec] {
            EXPECT_EQ(rec.pages, std::vector<int>{2});
            EXPECT_EQ(flowState(),
                      "level 2 lives 6 score 0 menu 2 rank -1 saved 1 escape 0 done 0");
            EXPECT_EQ(theHero.x, 16); // from the stage's own start
            ScriptedPlayer::tap(K_ESCAPE);
        });
    player.tapWhen(
        "quit dialog", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_RIGHT);
    player.when(
        "stage goes on", [] { return playing(2) && frame > 260; },
        [] {
            EXPECT_EQ(escape + done + paused, 0);
            EXPECT_EQ(level, 2);
            ScriptedPlayer::tap(K_ESCAPE);
        });
    player.tapWhen(
        "quit dialog again", [] { return flowScreen == FLOW_QUIT_DIALOG; }, K_LEFT);

    // the title, and out
    player.when(
        "title after quitting", [] { return onTitle(WF_PRESS_START) && frame > 3; },
        [&rec] {
            EXPECT_EQ(flowState(), FRESH_TITLE + "1 escape 0 done 0");
            EXPECT_EQ(readWholeFile("hiscores.dat"), rec.hiscoreBytes); // no entry made
            ScriptedPlayer::tap(K_UP);
        });
    tapOnMenu(player, WF_EXIT, K_RETURN);

    char prog[] = "trobz3";
    char* argv[] = {prog, nullptr};
    EXPECT_EQ(gameMain(1, argv), 0);
    EXPECT_TRUE(player.finished()) << "the game ended while waiting for: " << player.stuckAt();
    EXPECT_EQ(flowScreen, FLOW_NONE);
    EXPECT_EQ(loadGame(), 1);
    EXPECT_TRUE(fileHas("trobz3.cfg", "mus_volume=95\n"));
    EXPECT_FALSE(exists("runs"));
    EXPECT_GT(rec.livesAfterSpikes, 0);
    EXPECT_GT(rec.introCutAt, 0);
    alarm(0);
}
