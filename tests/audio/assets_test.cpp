// The music and sound archives the build makes: every module loads in the game's player and
// lasts as long as its use, every effect loads in the game and plays once when asked, a sound
// that is missing or does not decode is fatal, and what the music tool writes from a song's
// notation: the MOD writer's sample loops, the XM writer's notes, effects and samples.
#include "audio/modtiming.h"
#include "audio/music.h"
#include "audio/sound.h"
#include "data/archive.h"
#include "song.h"
#include "test_env.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <array>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 22050;

TEST(AudioArchives, EveryTrackLastsAsLongAsItsUseAndEveryEffectLoads) {
    ArchiveDir reader(TROBZ_BUILD_DIR "/data");
    for (int track = 0; track < NUM_TRACKS; track++) {
        SCOPED_TRACE(musix[track]);
        uint32_t size = 0;
        unsigned char* bytes = loadZDAFile(ZDA_MUSIC, musix[track], "mod", &size);
        ASSERT_NE(bytes, nullptr);
        // stage tracks play a minute or more before they repeat, the fanfare fits the
        // six-second tally, the jingle is a short signature; those two are alike in length,
        // so their titles tell that each screen gets its own
        double low = track == MUS_TITLE ? 30 : 60, high = 240;
        const char* title = nullptr;
        if (track == MUS_STAGE_CLEAR) low = 2, high = 5.5, title = "Level Complete";
        if (track == MUS_JINGLE) low = 2, high = 5, title = "Jingle";
        const long frames = moduleFrames(bytes, size, RATE);
        std::free(bytes);
        EXPECT_GE(frames, low * RATE);
        EXPECT_LE(frames, high * RATE);
        ModPlugFile* music = loadMusic(track); // and the game's player takes it
        ASSERT_NE(music, nullptr);
        if (title) {
            EXPECT_STREQ(ModPlug_GetName(music), title);
        }
        stopMusic(music);
    }
    if (!SDL_getenv("SDL_AUDIODRIVER")) SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(RATE, AUDIO_S16LSB, 2, 1024), 0) << SDL_GetError();
    useSound = 1;
    loadSFX();
    // an effect asked for once is heard once: every byte of it is mixed, and no more
    static std::atomic<int> mixed{0};
    static std::atomic<bool> over{false};
    ASSERT_NE(snd_data[SND_KLONK], nullptr);
    for (int c = 0; c < Mix_AllocateChannels(-1); c++)
        Mix_RegisterEffect(
            c, [](int, void*, int len, void*) { mixed += len; }, nullptr, nullptr);
    Mix_ChannelFinished([](int) { over = true; });
    playSFX(SND_KLONK);
    for (int ms = 0; ms < 5000 && !over; ms += 10)
        SDL_Delay(10);
    Mix_ChannelFinished(nullptr);
    EXPECT_TRUE(over);
    EXPECT_EQ(mixed.load(), (int)snd_data[SND_KLONK]->alen);
    for (int i = 0; i < NUM_SOUNDS; i++) {
        EXPECT_NE(snd_data[i], nullptr) << snd_name[i];
        freeSFX(i);
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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

// A looped sample keeps its loop: a MOD's sample header gives the loop's start and length in
// words of two one-byte samples. A note names its sample counting from 1.
TEST(ModWriter, ALoopedSampleLoopsWhereItsInstrumentSays) {
    Song song;
    Instrument looped;
    looped.data.assign(64, 0);
    looped.loopStart = 40;
    looped.loopLength = 24;
    song.instruments.push_back(looped);
    song.patterns.resize(1);
    song.patterns[0].cells = {{Cell{DRUM_NOTE, 0}, {}, {}, {}}};
    song.order = {0};
    std::vector<uint8_t> mod;
    std::string fault;
    ASSERT_TRUE(writeMod(song, mod, fault)) << fault;
    ASSERT_GE(mod.size(), 20u + 30u);        // the title and the first sample's header
    const uint8_t* header = mod.data() + 20; // the first sample's, after the title
    auto word = [&](int at) { return header[at] << 8 | header[at + 1]; };
    EXPECT_EQ(word(22), 32); // the length
    EXPECT_EQ(word(26), 20); // the loop's start
    EXPECT_EQ(word(28), 12); // the loop's length
    // the first pattern follows the title, 31 sample headers, the song's length and restart
    // bytes, the order list and "M.K."; a cell's sample number is split over two nibbles
    const size_t firstCell = 20 + 31 * 30 + 2 + MOD_ORDERS + 4;
    EXPECT_EQ((mod.at(firstCell) & 0xF0) | mod.at(firstCell + 2) >> 4, 1);
}

// A song's notes reach an XM as written: a flat lowers, a phrase inside a transposed phrase
// takes both shifts, a stretched note keeps its effect on every row, and each note gets its own
// XM number. The samples are delta-coded: each 16-bit value is stored as its difference from
// the one before.
TEST(XmWriter, ANotatedSongReachesTheModuleAsWritten) {
    Song song;
    std::string fault;
    ASSERT_TRUE(parseSong("format xm\nchannels 1\ninst lead sine cycle=32\n"
                          "phrase riff = Bb2v40 C4:047*3\nphrase lift = riff+2\n"
                          "pattern a 4\n1: @lead lift+5\norder a\n",
                          "test.song", song, fault))
        << fault;
    const std::vector<int16_t> sample = {0, 300, -300, 32767, -32768, 7};
    song.instruments[0].data = sample;
    std::vector<uint8_t> xm;
    ASSERT_TRUE(writeXm(song, xm, fault)) << fault;
    auto u16 = [&](size_t at) { return xm.at(at) | xm.at(at + 1) << 8; };
    auto u32 = [&](size_t at) { return (size_t)u16(at) | (size_t)u16(at + 2) << 16; };
    size_t at = 60 + u32(60); // the first pattern, after the header its size field gives
    const size_t patternEnd = at + u32(at) + u16(at + 7);
    std::vector<std::array<int, 4>> rows; // note, volume, effect, parameter of the one channel
    for (at += u32(at); at < patternEnd;) {
        const int flags = xm.at(at) & 0x80 ? xm.at(at++) : 0x1F;
        std::array<int, 4> cell{};
        if (flags & 0x01) cell[0] = xm.at(at++);
        at += flags >> 1 & 1; // the instrument
        if (flags & 0x04) cell[1] = xm.at(at++);
        if (flags & 0x08) cell[2] = xm.at(at++);
        if (flags & 0x10) cell[3] = xm.at(at++);
        rows.push_back(cell);
    }
    auto note = [](int octave, int semitone) { return 1 + 12 * octave + semitone; }; // 1 is C-0
    // F3 at volume 40 (the column's values 0 ... 64 start at 0x10), then G4
    const std::vector<std::array<int, 4>> written = {
        {note(3, 5), 0x10 + 40, 0, 0}, {note(4, 7), 0, 0, 0x47}, {0, 0, 0, 0x47}, {0, 0, 0, 0x47}};
    EXPECT_EQ(rows, written);
    const size_t header = at + u32(at); // the instrument's one sample header
    const size_t data = header + u32(at + 29);
    std::vector<int16_t> decoded;
    for (size_t i = 0; i < u32(header); i += 2)
        decoded.push_back((int16_t)((decoded.empty() ? 0 : decoded.back()) + u16(data + i)));
    EXPECT_EQ(decoded, sample);
}

} // namespace
