// Whole games on small stages. Time trials, games started with -ghost and played once for
// the fixture: a stage's first clear is kept and replays the way playstage replays it to the
// same clear; only a faster clear replaces the best; a clear from a checkpoint is not kept,
// and the next stage starts at its own start; past stage 10 comes the ending. Test mode (-t)
// on the test map, after a start-up that reads trobz3.cfg: the volumes and the key bindings
// of the file are in force, the test stage's intro cannot be cut short, and clearing the map
// ends the program without a tally or a savegame.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/savegame.h"
#include "data/settings.h"
#include "game/flow.h"
#include "sim/stagerun.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/stage.h"

#include <SDL_mixer.h>
#include <filesystem>
#include <memory>

namespace {

// Holds RIGHT through a stage's play, or leaves the stage when it is not `stage`.
bool walkRight(int stage) {
    if (frame <= STAGE_INTRO_FRAMES) return true;
    if (level != stage) return false;
    ScriptedPlayer::setHeld({K_RIGHT});
    return true;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

class GhostGames : public ::testing::Test {
  protected:
    struct Record {
        GameSeen first, same, faster, checkpoint;
        GhostRun run;
        bool loaded = false;
        std::string kept, sameFile, sameAfter, fasterAfter;
        int retries = 0, nextStageX = -1;
        bool checkpointRunKept = true;
    };
    static Record rec;
    static std::unique_ptr<GameDirectory> dir;
    static void SetUpTestSuite();
    static void TearDownTestSuite() { dir.reset(); }
    static GameSeen ghostGame(int stage, const std::function<bool()>& play) {
        if (stage > 1)
            writeSavegame(stage - 1);
        else
            std::filesystem::remove("savegame.dat");
        const GameSeen seen = playGame({"-ghost"}, play);
        ghostMode = 0;
        return seen;
    }
};

GhostGames::Record GhostGames::rec;
std::unique_ptr<GameDirectory> GhostGames::dir;

void GhostGames::SetUpTestSuite() {
    // stages 1 and 10 plain ring stages, stage 9 one with a checkpoint flag
    const Bytes ring = ringStage(), flagged = ringStage(true);
    dir = std::make_unique<GameDirectory>(std::vector<ZdaMember>{{"trobz300.bin", titleStage()},
                                                                 {"trobz301.bin", ring},
                                                                 {"trobz302.bin", ring},
                                                                 {"trobz309.bin", flagged},
                                                                 {"trobz310.bin", ring}});
    Record& r = rec;
    const std::string path = ghostRunPath(1);
    r.first = ghostGame(1, [] { return walkRight(1); });
    r.loaded = loadGhostRun(1, &r.run);
    r.kept = readWholeFile(path);
    if (!r.loaded) return;

    // a clear as fast as the best leaves its file; one faster than the best replaces it
    r.sameFile = replaced(r.kept, "score=", "score=0");
    writeWholeFile(path, {r.sameFile.begin(), r.sameFile.end()});
    r.same = ghostGame(1, [] { return walkRight(1); });
    r.sameAfter = readWholeFile(path);
    const std::string frames = "frames=" + std::to_string(r.run.frames);
    const std::string slower =
        replaced(r.kept, frames, "frames=" + std::to_string(r.run.frames + 1)) + "- 1\n#@ 0 0 24\n";
    writeWholeFile(path, {slower.begin(), slower.end()});
    r.faster = ghostGame(1, [] { return walkRight(1); });
    r.fasterAfter = readWholeFile(path);

    // stage 9: past the flag, a suicide, and the clear from the flag; then stage 10
    r.checkpoint = ghostGame(9, [&r] {
        if (frame <= STAGE_INTRO_FRAMES) return true;
        if (level == 10) {
            if (frame == STAGE_INTRO_FRAMES + 1) r.nextStageX = theHero.x;
            return walkRight(10);
        }
        if (lives < START_LIVES || !startf) {
            r.retries += lives < START_LIVES && theHero.x == 2 * CELL && frame == 181;
            return walkRight(9);
        }
        ScriptedPlayer::setHeld({});
        if (!paused && isActive(&theHero))
            ScriptedPlayer::tap(K_TAB);
        else if (paused)
            ScriptedPlayer::tap(workflow == PAUSE_SUICIDE ? K_SPACE : K_UP);
        return true;
    });
    r.checkpointRunKept = std::filesystem::exists(ghostRunPath(9));
}

TEST_F(GhostGames, TheKeptRunReplaysToTheSameClearAlongItsTrail) {
    ASSERT_TRUE(rec.loaded);
    // played as playstage plays it: the stage from a new game, driven by the run file
    Replay again;
    std::string why;
    ASSERT_TRUE(loadReplay(ghostRunPath(1).c_str(), &again, &why)) << why;
    prepareFirstAttempt(1);
    Figure hero{};
    const Bytes bytes = ringStage();
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), (int)bytes.size()));
    std::vector<GhostFrame> places;
    const StageResult res = playReplay(
        &hero, again,
        [](int f, Figure* h, void* places) {
            if (f > 0)
                static_cast<std::vector<GhostFrame>*>(places)->push_back({h->x, h->y, h->sprite});
        },
        &places);
    EXPECT_EQ(Ints({res.outcome, res.frame, res.score, stars0}),
              Ints({STAGE_CLEARED, rec.run.frames, rec.run.score, rec.run.rings}));
    GhostRun seen = rec.run;
    seen.trail = places;
    EXPECT_TRUE(formatGhostRun(seen) == formatGhostRun(rec.run)) << "the trail is the hero's way";
}

TEST_F(GhostGames, TheFirstClearIsKeptAndOnlyAFasterOneReplacesIt) {
    ASSERT_TRUE(rec.loaded) << rec.kept.substr(0, 200);
    EXPECT_EQ(rec.first.status, 0);
    const std::string time = formatRunTime(rec.run.frames);
    EXPECT_EQ(rec.first.tally[1], "TIME " + time + "  BEST " + time + "  NEW BEST");
    EXPECT_EQ(rec.same.tally[1], "TIME " + time + "  BEST " + time);
    EXPECT_TRUE(rec.sameAfter == rec.sameFile);
    EXPECT_EQ(rec.faster.tally[1], "TIME " + time + "  BEST " + time + "  NEW BEST");
    EXPECT_TRUE(rec.fasterAfter == rec.kept);
}

TEST_F(GhostGames, AClearFromACheckpointIsNotKeptAndTheNextStageStartsAtItsOwnStart) {
    EXPECT_EQ(rec.retries, 1);
    EXPECT_EQ(rec.checkpoint.tally[9], "TIME -:--.--  BEST -:--.--");
    EXPECT_FALSE(rec.checkpointRunKept);
    EXPECT_EQ(rec.nextStageX, START_X);
    // stage 10 cleared: the tally, then the closing pages
    EXPECT_EQ(rec.checkpoint.pages, Ints({2, 3, 4}));
}

TEST(TestModeGame, PlaysTheTestMapWithTheFilesVolumesAndKeysAndEndsWhenItIsCleared) {
    GameDirectory dir;
    std::filesystem::create_directories("maps");
    writeWholeFile("maps/test.bin", ringStage());
    writeSavegame(4); // never read in test mode
    const std::string cfg = "mus_volume=50\nsfx_volume=25\nk_right=d\n";
    writeWholeFile("trobz3.cfg", {cfg.begin(), cfg.end()});
    int musicVolume = -1, soundVolume = -1, frameAfterStart = -1;
    const GameSeen seen = playGame({"-t"}, [&] {
        if (frame == 1) {
            musicVolume = mp_volume;
            soundVolume = Mix_Volume(-1, -1);
        }
        if (frame == 20) ScriptedPlayer::tap(K_RETURN);
        if (frame > 20 && frameAfterStart < 0) frameAfterStart = frame;
        if (frame == STAGE_INTRO_FRAMES + 1) ScriptedPlayer::keyDown('d');
        return frame < 1000; // the key does not walk: give up
    });
    // the file's volumes; the intro not cut short; cleared: no tally or story in test mode,
    // and the savegame neither read nor written
    EXPECT_EQ(Ints({seen.status, musicVolume, soundVolume, frameAfterStart, stars,
                    (int)seen.pages.size(), loadGame(), stageMusic != nullptr}),
              Ints({0, 64, 32, 21, 0, 0, 4, 0}));
    EXPECT_EQ(flowState(), "level -1 lives 6 score " + std::to_string(RING_STAGE_POINTS) +
                               " menu 0 rank -1 saved 0 escape 0 done 0");
}
