// The player, first driven by calling its hook directly one 1024-frame buffer at a time with
// no device open (play counts, the volume ramps, the end of the music, repeats), then on a
// real (dummy) device whose thread calls the hook while the main thread changes the music:
// run under ThreadSanitizer those show the shared state is race-free.
#include "audio/modtiming.h"
#include "audio/music.h"
#include "audio/player.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int TEST_ROWS = 16;
constexpr long TEST_PLAY_FRAMES = TEST_ROWS * 441; // a row is one tick at 125 BPM, 22050 Hz
constexpr int BUFFER_FRAMES = 1024;
constexpr int BUFFER_BYTES = BUFFER_FRAMES * 4;
// The library lets the last row ring out for 100 ms before it reports the end.
constexpr long FADE_TAIL_FRAMES = 2205;

// A four-channel module of 16 rows at speed 1 with one looping square sample sounding on
// every row, so any silence in the output is the player's doing. `extraEffect` (e.g.
// 0x0E62, a pattern loop) goes on row 3.
std::vector<uint8_t> testModule(int extraEffect = 0) {
    std::vector<uint8_t> m(1084, 0);
    std::memcpy(m.data(), "player test", 11);
    uint8_t* s = m.data() + 20; // sample 1: 32 words, all looping, volume 64
    s[23] = 32, s[25] = 64, s[29] = 32;
    for (int i = 1; i < 31; i++)
        m[20 + i * 30 + 29] = 1;
    m[950] = 1; // one order: pattern 0
    m[951] = 127;
    std::memcpy(m.data() + 1080, "M.K.", 4);
    std::vector<uint8_t> pattern(64 * 16, 0);
    for (int row = 0; row < TEST_ROWS; row++) {
        uint8_t* cell = pattern.data() + row * 16;
        int period = row % 2 ? 285 : 428;
        cell[0] = uint8_t(period >> 8), cell[1] = uint8_t(period), cell[2] = 1 << 4;
        cell[4] = 428 >> 8, cell[5] = 428 & 0xFF, cell[6] = 0x1C, cell[7] = 48; // volume 48
    }
    pattern[8 + 2] = 0x0F, pattern[8 + 3] = 1; // speed 1
    pattern[15 * 16 + 12 + 2] = 0x0D;          // row 15: break to the next order
    pattern[3 * 16 + 12 + 2] = uint8_t((extraEffect >> 8) & 0x0F);
    pattern[3 * 16 + 12 + 3] = uint8_t(extraEffect);
    m.insert(m.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < 64; i++)
        m.push_back(i < 32 ? 100 : uint8_t(-100));
    return m;
}

// Callbacks until music played `plays` times is found over: the last read carries the
// tail, and the read after it comes back empty.
constexpr int callbacksFor(int plays) {
    return int((plays * TEST_PLAY_FRAMES + FADE_TAIL_FRAMES + BUFFER_FRAMES - 1) / BUFFER_FRAMES) +
           1;
}

// Longest run of frames in which both channels are silent.
long longestSilence(const std::vector<int16_t>& pcm, size_t from, size_t to) {
    long best = 0, run = 0;
    for (size_t f = from; f < to && 2 * f + 1 < pcm.size(); f++) {
        run = std::abs(pcm[2 * f]) < 8 && std::abs(pcm[2 * f + 1]) < 8 ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

std::atomic<ModPlugFile*> callbackOnUnlock{nullptr}; // see SDL_UnlockAudio below

} // namespace

// The audio thread at its most unlucky: once armed with a module, one callback of it runs the
// moment the main thread lets go of the audio lock.
extern "C" void SDL_UnlockAudio() {
    using Unlock = void (*)();
    static const Unlock sdlUnlock = reinterpret_cast<Unlock>(dlsym(RTLD_NEXT, "SDL_UnlockAudio"));
    sdlUnlock();
    if (ModPlugFile* m = callbackOnUnlock.exchange(nullptr)) {
        std::vector<Uint8> buffer(BUFFER_BYTES, 0);
        MP_HookMusic(m, buffer.data(), BUFFER_BYTES);
    }
}

namespace {

TEST(ModuleTiming, CountsOnePlayAndGivesUpOnWhatItCannotFollow) {
    std::vector<uint8_t> m = testModule();
    EXPECT_EQ(moduleFrames(m.data(), m.size(), 22050), TEST_PLAY_FRAMES);
    EXPECT_EQ(moduleFrames(m.data(), m.size(), 44100), TEST_ROWS * 882);
    EXPECT_EQ(framesPerTick(22050, 140), 393); // the library rounds each tick down
    // pattern loop, pattern delay, a jump back to its own order
    for (int effect : {0x0E62, 0x0EE2, 0x0B00}) {
        std::vector<uint8_t> odd = testModule(effect);
        EXPECT_EQ(moduleFrames(odd.data(), odd.size(), 22050), 0) << std::hex << effect;
    }
    EXPECT_EQ(moduleFrames(nullptr, 0, 22050), 0);
    for (size_t n = 0; n < 1084 + 64 * 16; n += 7) // header or pattern cut short
        EXPECT_EQ(moduleFrames(m.data(), n, 22050), 0) << n << " bytes";
}

class Player : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "these tests need no device";
        mpFrequency = 22050;
        mpChannels = 2;
        mp_hook = nullptr;
        MP_VolumeMusic(128);
        mp_delta = 0;
        bytes = testModule();
        music = MP_LoadMusic(bytes.data(), int(bytes.size()), 0);
        ASSERT_NE(music, nullptr);
    }
    void TearDown() override {
        MP_HaltMusic();
        MP_FreeMusic(music);
        mp_hook = nullptr;
    }
    // Up to `limit` callbacks of `module` as the mixer makes them, until the music stops;
    // returns how many ran then, or -1 when it still plays.
    int runCallbacks(int limit, std::vector<int16_t>* out = nullptr,
                     ModPlugFile* module = nullptr) {
        for (int i = 1; i <= limit; i++) {
            std::vector<int16_t> buffer(BUFFER_FRAMES * 2, 0);
            MP_HookMusic(module ? module : music, reinterpret_cast<Uint8*>(buffer.data()),
                         BUFFER_BYTES);
            if (out) out->insert(out->end(), buffer.begin(), buffer.end());
            if (!MP_PlayingMusic()) return i;
        }
        return -1;
    }
    std::vector<uint8_t> bytes;
    ModPlugFile* music = nullptr;
};

TEST_F(Player, PlayCountsEndTheMusicAndRepeatsJoinWithoutAGap) {
    const struct {
        int loops, callbacks; // -1: still playing after 60 callbacks
    } cases[] = {{0, callbacksFor(1)}, {1, callbacksFor(1)}, {2, callbacksFor(2)}, {-1, -1}};
    std::vector<int16_t> fresh;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loops);
        MP_PlayMusic(music, c.loops);
        std::vector<int16_t> pcm;
        EXPECT_EQ(runCallbacks(60, &pcm), c.callbacks);
        EXPECT_EQ(mpLoops, c.loops < 0 ? -1 : 0);
        size_t played = c.loops < 0 ? pcm.size() / 2 : std::max(c.loops, 1) * TEST_PLAY_FRAMES;
        EXPECT_LT(longestSilence(pcm, 0, played), 30);
        if (c.loops == 0) fresh = pcm;
        if (c.loops != 2) continue;
        // the second play sounds from its first frame as a fresh start does
        long same = 0;
        for (int f = 64; f < BUFFER_FRAMES; f++)
            same += std::abs(pcm[2 * (TEST_PLAY_FRAMES + f)] - fresh[2 * f]) < 64;
        EXPECT_GT(same, (BUFFER_FRAMES - 64) * 95 / 100);
    }
}

TEST_F(Player, FadeInClimbsOneUnitPerCallbackUntilAVolumeChange) {
    // nothing starts at volume zero or without music
    MP_VolumeMusic(0);
    MP_FadeInMusic(music, -1, 300);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(mp_fade, 0);
    MP_VolumeMusic(50);
    MP_FadeInMusic(nullptr, -1, 300);
    MP_PlayMusic(nullptr, -1);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    MP_VolumeMusic(40);
    MP_FadeInMusic(music, -1, 300);
    EXPECT_EQ(mp_delta, 1);
    for (int i = 0; i < 41; i++) {
        if (i == 5) MP_PlayMusic(music, -1); // a restart keeps the ramp where it was
        ASSERT_EQ(mp_fade, std::min(1 + i, 40)) << "callback " << i;
        ASSERT_EQ(int(ModPlug_GetMasterVolume(music)), std::min(1 + i, 40));
        runCallbacks(1);
    }
    MP_VolumeMusic(100);
    MP_FadeInMusic(music, -1, 300);
    runCallbacks(10);
    callbackOnUnlock = music; // the hook runs right after the change: the ramp must be over
    MP_VolumeMusic(64);
    EXPECT_EQ(int(ModPlug_GetMasterVolume(music)), 64);
    runCallbacks(1);
    EXPECT_EQ(mp_fade, 64);
    EXPECT_EQ(mp_volume, 64);
}

TEST_F(Player, FadeOutEndsAfterVolumeMinusOneCallbacks) {
    const struct {
        int volume, returned, callbacks; // -1: never ends
    } cases[] = {{10, 9, 9}, {1, 0, 1}, {0, -1, -1}, {3, 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        MP_VolumeMusic(c.volume);
        MP_PlayMusic(music, -1);
        EXPECT_EQ(MP_FadeOutMusic(), c.returned);
        EXPECT_EQ(runCallbacks(40), c.callbacks);
        EXPECT_EQ(mp_fade, c.returned < 0 ? -1 : 0);
    }
    // after a completed fade-out the next play ends at once, unless the volume is set again
    MP_PlayMusic(music, -1);
    EXPECT_EQ(runCallbacks(10), 1);
    MP_VolumeMusic(3);
    MP_PlayMusic(music, -1);
    EXPECT_EQ(runCallbacks(40), -1);
}

TEST_F(Player, BufferMusicPlaysOnceFreesItselfAndReplacesTheOneBefore) {
    playMusicFromBuffer(bytes.data(), int(bytes.size()), 128);
    playMusicFromBuffer(bytes.data(), int(bytes.size()), 90); // unloads the first
    ModPlugFile* own = musBuf;
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(mp_music.load(), own);
    EXPECT_EQ(mp_hook.load(), musicFinished);
    EXPECT_EQ(mp_volume, 90);
    EXPECT_EQ(mp_fade, 90);
    EXPECT_EQ(runCallbacks(100, nullptr, own), callbacksFor(1));
    EXPECT_EQ(musBuf.load(), nullptr);
    EXPECT_EQ(mp_hook.load(), nullptr);
    musicFinished(); // nothing left to free: harmless
    std::vector<uint8_t> junk(2000, 0);
    playMusicFromBuffer(junk.data(), int(junk.size()), 128);
    EXPECT_EQ(musBuf.load(), nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST(Catalogue, StagesCycleThroughTheTenStageTracks) {
    const int cases[][2] = {{-1, 0}, {0, 0}, {1, 1}, {10, 10}, {11, 1}, {20, 10}, {21, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(stageTrack(c[0]), c[1]) << "level " << c[0];
    EXPECT_EQ(loadMusic(-1), nullptr);
    EXPECT_EQ(loadMusic(NUM_TRACKS), nullptr);
}

// Waits up to three seconds for the music to stop (one play is a third of a second).
bool waitForEnd() {
    for (int t = 0; t < 3000 && MP_PlayingMusic(); t += 10)
        SDL_Delay(10);
    return !MP_PlayingMusic();
}

TEST(Device, MusicChangesWhileTheAudioThreadPlaysIt) {
    if (!SDL_getenv("SDL_AUDIODRIVER")) SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    struct CloseAtEnd { // also when an assertion ends the test early
        ~CloseAtEnd() {
            Mix_HookMusic(nullptr, nullptr);
            mp_music = nullptr;
            mp_hook = nullptr;
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    } closeAtEnd;
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0) << SDL_GetError();
    EXPECT_EQ(mpFrequency, 22050);
    EXPECT_EQ(mpChannels, 2);
    const std::vector<uint8_t> bytes = testModule();
    MP_VolumeMusic(128);
    for (int round = 0; round < 3; round++) {
        ModPlugFile* music = MP_LoadMusic(bytes.data(), int(bytes.size()), -1);
        ASSERT_NE(music, nullptr);
        MP_FadeInMusic(music, -1, 300);
        for (int i = 0; i < 16; i++) {
            if (i == 8) MP_PlayMusic(music, -1); // a restart of the module being rendered
            MP_VolumeMusic(i % 2 ? 128 : 60);
            SDL_Delay(15);
        }
        EXPECT_EQ(MP_PlayingMusic(), 1);
        EXPECT_EQ(mp_fade, mp_volume) << "a volume change ends the ramp for good";
        MP_VolumeMusic(8);
        MP_FadeOutMusic();
        EXPECT_TRUE(round == 0 || waitForEnd()); // 7 callbacks
        stopMusic(music);
        EXPECT_EQ(MP_PlayingMusic(), 0);
    }
    // a module played once from a buffer frees itself from the finished-callback on the
    // audio thread, also after it was replaced while it played
    playMusicFromBuffer(bytes.data(), int(bytes.size()), 100);
    SDL_Delay(100);
    playMusicFromBuffer(bytes.data(), int(bytes.size()), 100);
    EXPECT_NE(musBuf.load(), nullptr);
    EXPECT_TRUE(waitForEnd());
    EXPECT_EQ(musBuf.load(), nullptr);
}

} // namespace
