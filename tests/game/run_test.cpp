// Test mode (-t) on the test map, after a start-up that reads trobz3.cfg: the volumes and
// the key bindings of the file are in force, the test stage's intro cannot be cut short,
// and clearing the map ends the program without a tally or a savegame.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/savegame.h"
#include "data/settings.h"
#include "game/flow.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/stage.h"

#include <SDL_mixer.h>
#include <filesystem>

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
    EXPECT_EQ(seen.status, 0);
    EXPECT_EQ(std::vector<int>({musicVolume, soundVolume}), std::vector<int>({64, 32}));
    EXPECT_EQ(frameAfterStart, 21);
    // cleared: no tally in test mode, and the savegame is neither read nor written
    EXPECT_EQ(flowState(), "level -1 lives 6 score " + std::to_string(RING_STAGE_POINTS) +
                               " menu 0 rank -1 saved 0 escape 0 done 0");
    EXPECT_EQ(stars, 0);
    EXPECT_TRUE(seen.pages.empty());
    EXPECT_EQ(loadGame(), 4);
    EXPECT_EQ(stageMusic, nullptr);
}
