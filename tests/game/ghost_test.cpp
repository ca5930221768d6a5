// Time trials through the whole game, started with -ghost and played by a scripted player
// on a virtual clock: a stage's best run is kept (over a damaged run file) and replays the
// way playstage replays it to the same clear on the same frame, only a faster clear
// replaces it, and a clear from a checkpoint is not kept.
#include "flow_fixture.h"

#include "app/startup.h"
#include "data/savegame.h"
#include "game/flow.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/stage.h"
#include "world/stagerun.h"

#include <filesystem>
#include <functional>

namespace {

std::vector<int> keysOf(const StageInput& in) {
    std::vector<int> keys;
    if (in.left) keys.push_back(K_LEFT);
    if (in.right) keys.push_back(K_RIGHT);
    if (in.jump) keys.push_back(K_SPACE);
    if (in.crawl) keys.push_back(K_DOWN);
    return keys;
}

// One game started with -ghost and continued at `stage` (NEW GAME for stage 1): `play` acts
// at every input poll of the stage after its intro, and the next stage is left through the
// quit dialog. Returns the tally's line of times.
std::string playGhostGame(int stage, const std::function<void()>& play) {
    alarm(TEST_ALARM_SECONDS);
    if (stage > 1)
        writeSavegame(stage - 1);
    else
        std::filesystem::remove("savegame.dat");
    std::string tally = "no tally";
    bool quitting = false;
    VirtualClock clock;
    ScriptedPlayer p;
    p.repeat(
        "a game", [] { return false; }, [] { return true; },
        [&] {
            const bool tapNow = ScriptedPlayer::calls % 6 == 0; // screens that wait for a release
            if ((flowScreen == FLOW_NONE || flowScreen == FLOW_STORY) && tapNow)
                ScriptedPlayer::tap(K_SPACE);
            else if (flowScreen == FLOW_TITLE && tapNow)
                ScriptedPlayer::tap(quitting ? K_ESCAPE : K_RETURN);
            else if (flowScreen == FLOW_STAGE && level == stage && frame > STAGE_INTRO_FRAMES)
                play();
            else if (flowScreen == FLOW_STAGE && level != stage && frame > STAGE_INTRO_FRAMES &&
                     !quitting) {
                quitting = true;
                ScriptedPlayer::tap(K_ESCAPE);
            } else if (flowScreen == FLOW_QUIT_DIALOG) {
                ScriptedPlayer::tap(K_LEFT);
            } else if (flowScreen == FLOW_TALLY) {
                ScriptedPlayer::setHeld({});
                char line[80];
                if (ghostTallyLine(line, sizeof line)) tally = line;
            }
        },
        1);
    char prog[] = "trobz3", option[] = "-ghost";
    char* argv[] = {prog, option, nullptr};
    EXPECT_EQ(gameMain(2, argv), 0);
    EXPECT_TRUE(quitting) << "the game never came past stage " << stage;
    ghostMode = 0;
    return tally;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST(GhostGame, TheBestRunReplaysToItsClearAndOnlyAFasterClearOrNoneFromACheckpointIsKept) {
    // stage 1 as built, cleared by its replay; stage 2 a ring stage with a checkpoint flag
    std::vector<ZdaMember> built;
    Replay replay;
    ASSERT_TRUE(realFirstStages(&built, &replay)) << "the build has no stage 1 or replay";
    GameDirectory dir({built[0],
                       built[1],
                       {"trobz302.bin", ringStage().set(2, 10, CELL_FLAG).bytes()},
                       {"trobz303.bin", ringStage().bytes()}});
    auto byReplay = [&replay] {
        ScriptedPlayer::setHeld(keysOf(replayInput(replay, frame - STAGE_INTRO_FRAMES - 1)));
    };
    const std::string path = ghostRunPath(1);
    std::filesystem::create_directories("runs");
    const std::string cut = "# trobz3 run stage=1 frames=5 time=0:00.08 score=0 rings=0\n"
                            "- 5\n#@ 16 160 24\n#@ 16 16";
    writeWholeFile(path, {cut.begin(), cut.end()});

    // the first clear beats a run file cut short
    std::string tally = playGhostGame(1, byReplay);
    GhostRun run;
    ASSERT_TRUE(loadGhostRun(1, &run)) << readWholeFile(path).substr(0, 200);
    const std::string time = formatRunTime(run.frames), kept = readWholeFile(path);
    EXPECT_EQ(tally, "TIME " + time + "  BEST " + time + "  NEW BEST");

    // played as playstage plays it: the stage from a new game, driven by the run file
    Replay again;
    std::string why;
    ASSERT_TRUE(loadReplay(path.c_str(), &again, &why)) << why;
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, built[1].data.data(), (int)built[1].data.size()));
    std::vector<GhostFrame> places;
    const StageResult res = playReplay(
        &hero, again,
        [](int f, Figure* h, void* places) {
            if (f > 0)
                static_cast<std::vector<GhostFrame>*>(places)->push_back({h->x, h->y, h->sprite});
        },
        &places);
    EXPECT_EQ(std::vector<int>({res.outcome, res.frame, res.score, stars0}),
              std::vector<int>({STAGE_CLEARED, run.frames, run.score, run.rings}));
    GhostRun seen = run;
    seen.trail = places;
    EXPECT_TRUE(formatGhostRun(seen) == formatGhostRun(run)) << "the trail is the hero's way";

    // a clear as fast as the best leaves its file; one faster than the best replaces it
    const std::string sameTime = replaced(kept, "score=", "score=0");
    writeWholeFile(path, {sameTime.begin(), sameTime.end()});
    EXPECT_EQ(playGhostGame(1, byReplay), "TIME " + time + "  BEST " + time);
    EXPECT_TRUE(readWholeFile(path) == sameTime);
    const std::string slower = replaced(kept, "frames=" + std::to_string(run.frames),
                                        "frames=" + std::to_string(run.frames + 1)) +
                               "- 1\n#@ 0 0 24\n";
    writeWholeFile(path, {slower.begin(), slower.end()});
    EXPECT_EQ(playGhostGame(1, byReplay), "TIME " + time + "  BEST " + time + "  NEW BEST");
    EXPECT_TRUE(readWholeFile(path) == kept);

    // stage 2: past the flag, a suicide, and the clear from the flag is not kept
    int retries = 0;
    tally = playGhostGame(2, [&retries] {
        if (lives < START_LIVES || !startf) {
            retries += lives < START_LIVES && theHero.x == 2 * CELL && frame == 181;
            ScriptedPlayer::setHeld({K_RIGHT});
            return;
        }
        ScriptedPlayer::setHeld({});
        if (!paused && isActive(&theHero))
            ScriptedPlayer::tap(K_TAB);
        else if (paused)
            ScriptedPlayer::tap(workflow == PAUSE_SUICIDE ? K_SPACE : K_UP);
    });
    EXPECT_EQ(retries, 1);
    EXPECT_EQ(tally, "TIME -:--.--  BEST -:--.--");
    EXPECT_FALSE(std::filesystem::exists(ghostRunPath(2)));
    alarm(0);
}
