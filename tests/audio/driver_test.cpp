// The player on a real (dummy) audio device: the mixer's thread calls the hook about 21
// times a second while the main thread starts, changes and stops the music. Run under
// ThreadSanitizer these tests show the shared state is race-free.
#include "audio/music.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "data/settings.h"
#include "testmodule.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <gtest/gtest.h>

namespace {

std::atomic<int> endings{0};
void countEnding() {
    endings++;
}

class Device : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!SDL_getenv("SDL_AUDIODRIVER")) SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0) << SDL_GetError();
        EXPECT_EQ(mpFrequency, 22050);
        EXPECT_EQ(mpChannels, 2);
        bytes = testModule();
        MP_VolumeMusic(128);
        endings = 0;
    }
    void TearDown() override {
        Mix_HookMusic(nullptr, nullptr);
        mp_music = nullptr;
        mp_hook = nullptr;
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Waits up to `ms` for the music to stop; returns whether it did.
    bool waitForEnd(int ms) {
        for (int t = 0; t < ms && MP_PlayingMusic(); t += 10)
            SDL_Delay(10);
        return !MP_PlayingMusic();
    }
    std::vector<uint8_t> bytes;
};

TEST_F(Device, OnePlayEndsByItself) {
    ModPlugFile* music = MP_LoadMusic(bytes.data(), (int)bytes.size(), 0);
    ASSERT_NE(music, nullptr);
    MP_PlayMusic(music, 1);
    EXPECT_EQ(MP_PlayingMusic(), 1);
    EXPECT_TRUE(waitForEnd(3000)); // one play is a third of a second
    stopMusic(music);
}

TEST_F(Device, EndlessMusicSurvivesVolumeChangesAndFades) {
    ModPlugFile* music = MP_LoadMusic(bytes.data(), (int)bytes.size(), -1);
    ASSERT_NE(music, nullptr);
    MP_FadeInMusic(music, -1, 300);
    for (int i = 0; i < 40; i++) {
        MP_VolumeMusic(i % 2 ? 128 : 60);
        SDL_Delay(15);
    }
    EXPECT_EQ(MP_PlayingMusic(), 1);
    EXPECT_EQ(mp_fade, mp_volume) << "a volume change ends the ramp for good";
    MP_VolumeMusic(20);
    MP_FadeOutMusic();
    EXPECT_TRUE(waitForEnd(3000)); // 19 callbacks, under a second
    stopMusic(music);
}

TEST_F(Device, FinishedCallbackRunsOnTheAudioThread) {
    ModPlugFile* music = MP_LoadMusic(bytes.data(), (int)bytes.size(), 0);
    ASSERT_NE(music, nullptr);
    MP_HookMusicFinished(countEnding);
    MP_PlayMusic(music, 2);
    for (int t = 0; t < 3000 && endings == 0; t += 10)
        SDL_Delay(10);
    EXPECT_GE(endings, 1);
    stopMusic(music);
}

TEST_F(Device, BufferMusicFreesItselfWhenItEnds) {
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 100);
    EXPECT_NE(musBuf.load(), nullptr);
    EXPECT_TRUE(waitForEnd(3000));
    EXPECT_EQ(musBuf.load(), nullptr);
    // started again and replaced while it plays
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 100);
    SDL_Delay(100);
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 100);
    EXPECT_TRUE(waitForEnd(3000));
    EXPECT_EQ(musBuf.load(), nullptr);
}

TEST_F(Device, StoppingAndRestartingWhileTheHookRuns) {
    for (int round = 0; round < 10; round++) {
        ModPlugFile* music = MP_LoadMusic(bytes.data(), (int)bytes.size(), -1);
        ASSERT_NE(music, nullptr);
        MP_PlayMusic(music, -1);
        SDL_Delay(20);
        MP_PlayMusic(music, -1); // a restart of the module being rendered
        SDL_Delay(20);
        stopMusic(music);
        EXPECT_EQ(MP_PlayingMusic(), 0);
    }
}

} // namespace
