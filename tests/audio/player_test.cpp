// The player driven by calling its hook directly, one 1024-frame buffer at a time, with no
// audio device open: play counts, the volume ramps, the end of the music and repeats.
#include "audio/modtiming.h"
#include "audio/music.h"
#include "audio/player.h"
#include "testmodule.h"

#include <SDL_mixer.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

int finishedCalls = 0;
void countFinished() {
    finishedCalls++;
}

class Player : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "these tests need no device";
        mpFrequency = 22050;
        mpChannels = 2;
        mp_hook = nullptr;
        finishedCalls = 0;
        MP_VolumeMusic(128);
        mp_delta = 0;
        bytes = testModule();
        music = MP_LoadMusic(bytes.data(), (int)bytes.size(), 0);
        ASSERT_NE(music, nullptr);
    }
    void TearDown() override {
        MP_HaltMusic();
        MP_FreeMusic(music);
        mp_hook = nullptr;
    }
    // One callback as the mixer makes it; returns whether music is still hooked after it.
    bool callback(std::vector<int16_t>* out = nullptr) {
        std::vector<int16_t> buffer(BUFFER_FRAMES * 2, 0);
        MP_HookMusic(music, reinterpret_cast<Uint8*>(buffer.data()), BUFFER_BYTES);
        if (out) out->insert(out->end(), buffer.begin(), buffer.end());
        return MP_PlayingMusic();
    }
    // Callbacks until the music stops, at most `limit`; returns how many ran.
    int callbacksUntilEnd(int limit, std::vector<int16_t>* out = nullptr) {
        for (int i = 1; i <= limit; i++)
            if (!callback(out)) return i;
        return -1;
    }
    std::vector<uint8_t> bytes;
    ModPlugFile* music = nullptr;
};

// The library lets the last row ring out for 100 ms before it reports the end.
constexpr long FADE_TAIL_FRAMES = 2205;
// Callbacks until music played `plays` times is found over: the last read carries the
// tail, and the read after it comes back empty.
constexpr int callbacksFor(int plays) {
    return (int)((plays * TEST_PLAY_FRAMES + FADE_TAIL_FRAMES + BUFFER_FRAMES - 1) /
                 BUFFER_FRAMES) +
           1;
}

// Longest run of frames in which both channels are silent.
long longestSilence(const std::vector<int16_t>& pcm, size_t from, size_t to) {
    long best = 0, run = 0;
    for (size_t f = from; f < to && 2 * f + 1 < pcm.size(); f++) {
        bool quiet = std::abs(pcm[2 * f]) < 8 && std::abs(pcm[2 * f + 1]) < 8;
        run = quiet ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

TEST(ModuleTiming, CountsTheFramesOfOnePlay) {
    std::vector<uint8_t> m = testModule();
    EXPECT_EQ(moduleFrames(m.data(), m.size(), 22050), TEST_PLAY_FRAMES);
    EXPECT_EQ(moduleFrames(m.data(), m.size(), 44100), TEST_ROWS * 882);
    EXPECT_EQ(framesPerTick(22050, 125), 441);
    EXPECT_EQ(framesPerTick(22050, 140), 393); // the library rounds each tick down
}

TEST(ModuleTiming, UnknownForLoopsDelaysAndDamagedBytes) {
    std::vector<uint8_t> loop = testModule(0x0E62);
    EXPECT_EQ(moduleFrames(loop.data(), loop.size(), 22050), 0);
    std::vector<uint8_t> delay = testModule(0x0EE2);
    EXPECT_EQ(moduleFrames(delay.data(), delay.size(), 22050), 0);
    std::vector<uint8_t> back = testModule(0x0B00); // jumps back to its own order
    EXPECT_EQ(moduleFrames(back.data(), back.size(), 22050), 0);
    std::vector<uint8_t> m = testModule();
    EXPECT_EQ(moduleFrames(m.data(), 1084 + 100, 22050), 0) << "pattern data cut short";
    EXPECT_EQ(moduleFrames(m.data(), 500, 22050), 0);
    EXPECT_EQ(moduleFrames(nullptr, 0, 22050), 0);
    // every truncation and a field of noise are read safely
    for (size_t n = 0; n < m.size(); n += 7)
        moduleFrames(m.data(), n, 22050);
    std::vector<uint8_t> noise(4096);
    unsigned seed = 1;
    for (int round = 0; round < 50; round++) {
        for (uint8_t& b : noise)
            b = (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16);
        if (round % 2)
            std::memcpy(noise.data(), "Extended Module: ", 17), noise[58] = 4, noise[59] = 1;
        else
            std::memcpy(noise.data() + 1080, "M.K.", 4);
        moduleFrames(noise.data(), noise.size(), 22050);
    }
}

TEST_F(Player, PlayCountsZeroAndOnePlayOnce) {
    for (int loops : {0, 1}) {
        MP_PlayMusic(music, loops);
        EXPECT_EQ(MP_PlayingMusic(), 1);
        EXPECT_EQ(callbacksUntilEnd(100), callbacksFor(1)) << "count " << loops;
        EXPECT_EQ(mpLoops, 0);
    }
}

TEST_F(Player, PlayCountTwoPlaysTwiceWithoutAGap) {
    MP_PlayMusic(music, 2);
    std::vector<int16_t> pcm;
    int calls = callbacksUntilEnd(100, &pcm);
    EXPECT_EQ(calls, callbacksFor(2));
    // the second play starts on the frame the first ends, as a fresh start would sound
    EXPECT_LT(longestSilence(pcm, TEST_PLAY_FRAMES - 2048, TEST_PLAY_FRAMES + 2048), 30);
    MP_PlayMusic(music, 0);
    std::vector<int16_t> fresh;
    callback(&fresh);
    long same = 0;
    for (int f = 64; f < BUFFER_FRAMES; f++)
        same += std::abs(pcm[2 * (TEST_PLAY_FRAMES + f)] - fresh[2 * f]) < 64;
    EXPECT_GT(same, (BUFFER_FRAMES - 64) * 95 / 100);
}

TEST_F(Player, EndlessPlayRepeatsSeamlessly) {
    MP_PlayMusic(music, -1);
    std::vector<int16_t> pcm;
    for (int i = 0; i < 60; i++)
        ASSERT_TRUE(callback(&pcm)) << "stopped at callback " << i;
    EXPECT_EQ(mpLoops, -1);
    EXPECT_LT(longestSilence(pcm, 0, pcm.size() / 2), 30);
}

TEST_F(Player, RepeatsAModuleOfUnknownLengthFromTheSameBuffer) {
    // loaded behind the player's back: the end shows only as a read that comes back empty
    applyPlayerSettings();
    ModPlugFile* plain = ModPlug_Load(bytes.data(), (int)bytes.size());
    ASSERT_NE(plain, nullptr);
    MP_PlayMusic(plain, -1);
    std::vector<int16_t> pcm;
    for (int i = 0; i < 30; i++) {
        std::vector<int16_t> buffer(BUFFER_FRAMES * 2, 0);
        MP_HookMusic(plain, reinterpret_cast<Uint8*>(buffer.data()), BUFFER_BYTES);
        pcm.insert(pcm.end(), buffer.begin(), buffer.end());
    }
    EXPECT_EQ(MP_PlayingMusic(), 1);
    // no buffer is left empty at a repeat; only the library's short fade tail remains
    EXPECT_LT(longestSilence(pcm, 0, pcm.size() / 2), BUFFER_FRAMES);
    MP_HaltMusic();
    ModPlug_Unload(plain);
}

TEST_F(Player, FadeInClimbsOneUnitPerCallbackToTheVolume) {
    MP_VolumeMusic(40);
    MP_FadeInMusic(music, -1, 300);
    EXPECT_EQ(mp_fade, 1);
    EXPECT_EQ(mp_delta, 1);
    EXPECT_EQ((int)ModPlug_GetMasterVolume(music), 1);
    for (int i = 1; i <= 39; i++) {
        callback();
        ASSERT_EQ(mp_fade, 1 + i);
        ASSERT_EQ((int)ModPlug_GetMasterVolume(music), 1 + i);
    }
    callback();
    EXPECT_EQ(mp_fade, 40) << "the ramp stops at the volume";
}

TEST_F(Player, VolumeChangeEndsAFadeInAtOnce) {
    MP_VolumeMusic(100);
    MP_FadeInMusic(music, -1, 300);
    for (int i = 0; i < 10; i++)
        callback();
    EXPECT_EQ(mp_fade, 11);
    MP_VolumeMusic(64);
    EXPECT_EQ((int)ModPlug_GetMasterVolume(music), 64);
    callback();
    EXPECT_EQ(mp_fade, 64);
    EXPECT_EQ(mp_volume, 64);
}

TEST_F(Player, PlayAfterAnInterruptedFadeInKeepsRising) {
    MP_VolumeMusic(100);
    MP_FadeInMusic(music, -1, 300);
    for (int i = 0; i < 5; i++)
        callback();
    MP_PlayMusic(music, -1);
    EXPECT_EQ((int)ModPlug_GetMasterVolume(music), 6);
    callback();
    EXPECT_EQ(mp_fade, 7);
}

TEST_F(Player, FadeInAtVolumeZeroStartsNothing) {
    MP_VolumeMusic(0);
    MP_FadeInMusic(music, -1, 300);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(mp_fade, 0);
    MP_FadeInMusic(nullptr, -1, 300);
    MP_PlayMusic(nullptr, -1);
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST_F(Player, FadeOutEndsAfterVolumeMinusOneCallbacks) {
    MP_VolumeMusic(10);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(MP_FadeOutMusic(), 9);
    EXPECT_EQ(callbacksUntilEnd(100), 9);
    EXPECT_EQ(mp_fade, 0);
}

TEST_F(Player, FadeOutAtVolumeOneEndsAtTheNextCallback) {
    MP_VolumeMusic(1);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(MP_FadeOutMusic(), 0);
    EXPECT_EQ(callbacksUntilEnd(100), 1);
}

TEST_F(Player, FadeOutAtVolumeZeroNeverEnds) {
    MP_VolumeMusic(0);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(MP_FadeOutMusic(), -1);
    EXPECT_EQ(callbacksUntilEnd(40), -1);
    EXPECT_EQ(mp_fade, -1);
}

TEST_F(Player, AfterACompletedFadeOutPlayEndsAtOnceUnlessTheVolumeIsReset) {
    MP_VolumeMusic(3);
    MP_PlayMusic(music, -1);
    MP_FadeOutMusic();
    ASSERT_EQ(callbacksUntilEnd(10), 2);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(callbacksUntilEnd(10), 1);
    MP_VolumeMusic(3);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(callbacksUntilEnd(40), -1);
}

TEST_F(Player, FinishedCallbackRunsInsteadOfUnhooking) {
    MP_HookMusicFinished(countFinished);
    MP_PlayMusic(music, 1);
    for (int i = 0; i < callbacksFor(1); i++)
        callback();
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_EQ(MP_PlayingMusic(), 1) << "the callback decides what happens next";
}

TEST_F(Player, HaltKeepsTheModuleLoaded) {
    MP_PlayMusic(music, -1);
    callback();
    MP_HaltMusic();
    EXPECT_EQ(MP_PlayingMusic(), 0);
    MP_PlayMusic(music, 1); // still usable
    EXPECT_EQ(callbacksUntilEnd(100), callbacksFor(1));
}

TEST_F(Player, BufferPlaysOnceAndFreesItself) {
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 90);
    ModPlugFile* own = musBuf;
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(mp_music.load(), own);
    EXPECT_EQ(mp_hook.load(), musicFinished);
    EXPECT_EQ(mp_volume, 90);
    EXPECT_EQ(mp_fade, 90);
    int calls = 0;
    while (MP_PlayingMusic() && calls < 100) {
        std::vector<int16_t> buffer(BUFFER_FRAMES * 2);
        MP_HookMusic(own, reinterpret_cast<Uint8*>(buffer.data()), BUFFER_BYTES);
        calls++;
    }
    EXPECT_EQ(calls, callbacksFor(1));
    EXPECT_EQ(musBuf.load(), nullptr);
    EXPECT_EQ(mp_hook.load(), nullptr);
    musicFinished(); // nothing left to free: harmless
}

TEST_F(Player, BufferReplacesTheOneBeforeIt) {
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 128);
    ModPlugFile* first = musBuf;
    playMusicFromBuffer(bytes.data(), (int)bytes.size(), 128);
    EXPECT_NE(musBuf.load(), nullptr);
    EXPECT_EQ(mp_music.load(), musBuf.load());
    (void)first; // unloaded by the second call; the sanitizer builds catch a leak or reuse
    std::vector<uint8_t> junk(2000, 0);
    playMusicFromBuffer(junk.data(), (int)junk.size(), 128);
    EXPECT_EQ(musBuf.load(), nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST_F(Player, StopMusicWithNoneDoesNothing) {
    MP_PlayMusic(music, -1);
    stopMusic(nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 1);
}

TEST_F(Player, StopMusicUnhooksAndUnloads) {
    ModPlugFile* other = MP_LoadMusic(bytes.data(), (int)bytes.size(), -1);
    MP_HookMusicFinished(countFinished);
    MP_PlayMusic(other, -1);
    stopMusic(other);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(mp_hook.load(), nullptr);
}

TEST(Catalogue, StageTracks) {
    EXPECT_EQ(stageTrack(0), 0);
    EXPECT_EQ(stageTrack(-1), 0);
    EXPECT_EQ(stageTrack(1), 1);
    EXPECT_EQ(stageTrack(10), 10);
    EXPECT_EQ(stageTrack(11), 1);
    EXPECT_EQ(stageTrack(20), 10);
    EXPECT_EQ(loadMusic(-1), nullptr);
    EXPECT_EQ(loadMusic(NUM_TRACKS), nullptr);
}

} // namespace
