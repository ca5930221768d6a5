// The music and sound archives the build makes: every module has a length that suits its use
// and is accepted by a second, independent module library (libxmp, not a command-line player
// that exits 0 whatever it loaded); every effect loads in the game; and every effect is short,
// peaks below full scale and at the default volumes carries over the loudest stage music.
#include "audio/modtiming.h"
#include "audio/music.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "data/archive.h"
#include "data/settings.h"
#include "test_env.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#ifdef TROBZ_HAVE_XMP
#include <xmp.h>
#endif

namespace {

constexpr int RATE = 22050;

class AudioArchives : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        zdaDirectory = TROBZ_BUILD_DIR "/data";
        openArchives();
    }
    static void TearDownTestSuite() { closeArchives(); }
    void SetUp() override {
        mpFrequency = RATE;
        mpChannels = 2;
        MP_VolumeMusic(128);
        mp_hook = nullptr;
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    static std::vector<uint8_t> member(int archive, const char* name, const char* ext) {
        uint32_t size = 0;
        unsigned char* bytes = loadZDAFile(archive, name, ext, &size);
        std::vector<uint8_t> out;
        if (bytes) out.assign(bytes, bytes + size);
        std::free(bytes);
        return out;
    }
    // The bytes as a file of the build directory, for the outside readers.
    static std::string scratchFile(const std::vector<uint8_t>& bytes, const std::string& name) {
        std::string path = std::string(TROBZ_BUILD_DIR) + "/audio-test-" + name;
        writeWholeFile(path, bytes);
        return path;
    }
};

double dbfs(double level) {
    return 20 * std::log10(std::max(level, 1e-9) / 32768.0);
}

TEST_F(AudioArchives, EveryTrackLastsAsLongAsItsUseAndPassesLibxmp) {
    for (int track = 0; track < NUM_TRACKS; track++) {
        SCOPED_TRACE(musix[track]);
        std::vector<uint8_t> bytes = member(ZDA_MUSIC, musix[track], "mod");
        ASSERT_FALSE(bytes.empty());
        // stage tracks play a minute or more before they repeat, the fanfare fits the
        // six-second tally, the jingle is a short signature
        double low = track == MUS_TITLE ? 30 : 60, high = 240;
        if (track == MUS_STAGE_CLEAR) low = 2, high = 5.5;
        if (track == MUS_JINGLE) low = 2, high = 5;
        long frames = moduleFrames(bytes.data(), bytes.size(), RATE);
        EXPECT_GE(frames, low * RATE);
        EXPECT_LE(frames, high * RATE);
#ifdef TROBZ_HAVE_XMP
        // a second, independent library takes it and agrees on its length; a copy cut short
        // fails there, or the check would mean little
        std::string path = scratchFile(bytes, std::to_string(track));
        xmp_test_info info;
        EXPECT_EQ(xmp_test_module(path.c_str(), &info), 0);
        xmp_context context = xmp_create_context();
        ASSERT_EQ(xmp_load_module(context, path.c_str()), 0);
        xmp_module_info module;
        xmp_get_module_info(context, &module);
        EXPECT_NEAR(module.seq_data[0].duration / 1000.0, frames / double(RATE), 1.0);
        xmp_release_module(context);
        EXPECT_NE(xmp_load_module_from_memory(context, bytes.data(), 600), 0);
        xmp_free_context(context);
        std::remove(path.c_str());
#endif
    }
}

TEST_F(AudioArchives, EveryEffectLoadsInTheGame) {
    if (!SDL_getenv("SDL_AUDIODRIVER")) SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(RATE, AUDIO_S16LSB, 2, 1024), 0) << SDL_GetError();
    // the game's own loading: nothing before it sets useSound, then every effect once
    Mix_AllocateChannels(16);
    useSound = 0;
    loadSFX();
    EXPECT_EQ(snd_data[0], nullptr);
    useSound = 1;
    loadSFX();
    for (int i = 0; i < NUM_SOUNDS; i++)
        EXPECT_NE(snd_data[i], nullptr) << snd_name[i];
    Mix_Volume(-1, 0);
    playSFX(SND_CHEW); // silent, but on a channel
    playSFX(-1);
    playSFX(NUM_SOUNDS);
    EXPECT_EQ(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);
    for (int i = 0; i < NUM_SOUNDS; i++) {
        freeSFX(i);
        EXPECT_EQ(snd_data[i], nullptr);
    }
    freeSFX(0); // twice is harmless
}

// The mix as the game plays it at the default volumes: the stage tracks through the player
// at the music volume, each effect added to the output as the mixer adds a channel at the
// effects volume. Every effect's RMS over its own length is at least 0.7 of the loudest
// second of the loudest stage track, so rings, bricks and menus are heard over any music;
// and the stage music, turned down to make room, keeps at least 0.04 of full scale on
// average (within 6 dB of the 0.08 it had before the effects were made to carry).
TEST_F(AudioArchives, AtTheDefaultVolumesEveryEffectCarriesOverTheLoudestStageMusic) {
    const double EFFECT_OVER_MUSIC = 0.7, MUSIC_AVERAGE_FLOOR = 0.04;
    MP_VolumeMusic(mixerVolume(DEFAULT_MUS_VOLUME));
    double loudest = 0, averages = 0;
    const int stageTracks = MUS_STAGE_CLEAR - 1; // tracks 1 ... 10
    for (int track = 1; track <= stageTracks; track++) {
        SCOPED_TRACE(musix[track]);
        std::vector<uint8_t> bytes = member(ZDA_MUSIC, musix[track], "mod");
        long frames = moduleFrames(bytes.data(), bytes.size(), RATE);
        ModPlugFile* music = loadMusic(track);
        ASSERT_NE(music, nullptr);
        MP_PlayMusic(music, 1);
        std::vector<double> energy{0}; // of the first n frames, both channels
        std::vector<int16_t> buffer(2048);
        while (long(energy.size()) <= frames) {
            MP_HookMusic(music, reinterpret_cast<Uint8*>(buffer.data()), 4096);
            for (size_t s = 0; s < buffer.size(); s += 2)
                energy.push_back(energy.back() + double(buffer[s]) * buffer[s] +
                                 double(buffer[s + 1]) * buffer[s + 1]);
        }
        stopMusic(music);
        for (long start = 0; start + RATE <= frames; start += 1024)
            loudest = std::max(
                loudest, std::sqrt((energy[start + RATE] - energy[start]) / (2.0 * RATE)) / 32768);
        averages += std::sqrt(energy[frames] / (2.0 * frames)) / 32768 / stageTracks;
    }
    EXPECT_GE(averages, MUSIC_AVERAGE_FLOOR);

    if (!SDL_getenv("SDL_AUDIODRIVER")) SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(RATE, AUDIO_S16LSB, 2, 1024), 0) << SDL_GetError();
    for (int i = 0; i < NUM_SOUNDS; i++) {
        std::vector<uint8_t> bytes = member(ZDA_SOUND, snd_name[i], "wav");
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1);
        ASSERT_NE(chunk, nullptr) << snd_name[i];
        // short, and peaks below full scale but not far below
        const int16_t* pcm = reinterpret_cast<const int16_t*>(chunk->abuf);
        const long samples = chunk->alen / 2;
        const double seconds = samples / 2.0 / RATE;
        EXPECT_GT(seconds, 0.05) << snd_name[i];
        EXPECT_LE(seconds, i == SND_TADA || i == SND_JIPIE ? 1.5 : 1.0) << snd_name[i];
        const int peak = std::abs(int(*std::max_element(
            pcm, pcm + samples, [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); })));
        EXPECT_LE(dbfs(peak), -0.4) << snd_name[i];
        EXPECT_GE(dbfs(peak), -6.5) << snd_name[i];
        std::vector<int16_t> out(samples);
        SDL_MixAudio(reinterpret_cast<Uint8*>(out.data()), chunk->abuf, chunk->alen,
                     mixerVolume(DEFAULT_SFX_VOLUME));
        double sum = 0;
        for (int16_t v : out)
            sum += double(v) * v;
        EXPECT_GE(std::sqrt(sum / out.size()) / 32768, EFFECT_OVER_MUSIC * loudest)
            << snd_name[i] << " is lost under the music";
        Mix_FreeChunk(chunk);
    }
}

// A sound missing from the archive, or one that does not decode, stops the game with a message
// naming it rather than leaving the game silent where the player expects a sound.
TEST(SoundLoading, AMissingOrUndecodableSoundIsFatal) {
    ScopedTempDir tmp;
    const struct {
        std::vector<ZdaMember> members;
        const char* says;
    } cases[] = {
        {{{"other.wav", {1}}}, "Can't load sound file: klonk\n"},
        {{{"klonk.wav", {'R', 'I', 'F', 'F', 1, 2, 3}}}, "Unable to load sound: "},
    };
    for (const auto& c : cases) {
        writeArchive(tmp.path() + "/data", "sound", c.members);
        const std::string out = exitOutput("sound-fatal", 1, [&] {
            ArchiveDir reader(tmp.path() + "/data");
            SDL_InitSubSystem(SDL_INIT_AUDIO);
            Mix_OpenAudio(RATE, AUDIO_S16LSB, 2, 1024);
            useSound = 1;
            loadSFX();
        });
        EXPECT_EQ(out.rfind(c.says, 0), 0u) << out;
    }
}

} // namespace
