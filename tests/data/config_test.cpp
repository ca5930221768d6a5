// The configuration file: the reader's scanning and range rules, the writer's exact output read
// back, and the file the settings at program start make.
#include "data/config.h"
#include "data/settings.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char CFG[] = "trobz3.cfg";
// The music player's features as the program starts, before any test sets them.
const int flagsAtStart = mpFlags;

// Every setting the file holds back to its value at program start.
void restoreStartSettings() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    _mus_volume_ = mixerVolume(DEFAULT_MUS_VOLUME);
    _sfx_volume_ = mixerVolume(DEFAULT_SFX_VOLUME);
    cfgFullscreen = cfgaa2 = cfgs2x = 0;
    cfgZoom = 1;
    cfgbpp = 16;
    mpFlags = flagsAtStart;
    mpResamplingMode = 1;
    mpReverbDepth = mpReverbDelay = mpBassAmount = mpBassRange = 0;
    mpSurroundDepth = mpSurroundDelay = 0;
}

class ConfigFile : public ::testing::Test {
  protected:
    void SetUp() override { restoreStartSettings(); }
    void TearDown() override { restoreStartSettings(); }
    ScopedTempDir dir;
};

TEST_F(ConfigFile, SettingsAndBindingsAreFoundAnywhereAndBroughtIntoRange) {
    const char* const scanEnds = "k_jump=a\nj_jump=5\nk_jump=b\nj_jump=6\n";
    struct Case {
        std::string text;
        int* value;
        int expected;
    } cases[] = {
        {"mus_volume=-5\n", &_mus_volume_100_, 100}, // out of range means full volume
        {"sfx_volume=101\n", &_sfx_volume_100_, 100},
        {"mpResamplingMode=4\n", &mpResamplingMode, 1}, // anything else is linear
        // text that is no number reads as 0 and is then brought into range
        {"mpReverbDelay=abc\n", &mpReverbDelay, 40},
        {"mus_volume=\t\r\n75\n", &_mus_volume_100_, 0},     // never the next line's number
        {"mus_volume=4294967346\n", &_mus_volume_100_, 100}, // saturates, never wraps to 50
        {"# mus_volume=30 for now\nxxsfx_volume=60yy\n", &_sfx_volume_100_, 60},
        {"mpReverbDepth=80\nmpReverbDepth=20\n", &mpReverbDepth, 20}, // the last one wins
        // the music player's features can only be switched on
        {"mpFlagsOVERSAMPLING=0\nmpFlagsNOISE_REDUCTION=0\nmpFlagsREVERB=2\n", &mpFlags,
         flagsAtStart},
        {"mpFlagsREVERB=1\nmpFlagsSURROUND=1\n", &mpFlags,
         flagsAtStart | MP_FLAG_REVERB | MP_FLAG_SURROUND},
        {"k_jump=x\n", &JUMP_KEY, 120},
        {"k_pause=X\n", &PAUSE_KEY, 0}, // an upper-case letter is no number
        {"", &LEFT_KEY, 'l'},           // without its line a key keeps its binding
        {"j_start=-3\n", &START_BUTTON, DEFAULT_START_BUTTON}, // a negative button is absent
        {"some words k_up=w and j_up=12 on one line", &UP_KEY, 'w'},
        // a control's scan ends once both its key and its button are known
        {scanEnds, &JUMP_KEY, 'a'},
        {scanEnds, &JUMP_BUTTON, 5},
        {"k_jump=a\nj_jump=-1\nj_jump=6\nk_jump=b\n", &JUMP_BUTTON, 6}, // -1 is no button
        {"j_jump=2\nk_jump=-7\nk_jump=c\nj_jump=3\n", &JUMP_KEY, 'c'},  // nor -7 a key
        // two bytes must follow a prefix
        {"k_left=q\nk_right=a", &LEFT_KEY, 'q'},
        {"k_left=q\nk_right=a", &RIGHT_KEY, DEFAULT_RIGHT_KEY},
        {"j_right=5", &RIGHT_BUTTON, DEFAULT_RIGHT_BUTTON},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        restoreStartSettings();
        LEFT_KEY = 'l';
        writeWholeFile(CFG, {c.text.begin(), c.text.end()});
        loadConfig();
        EXPECT_EQ(*c.value, c.expected);
    }
}

TEST_F(ConfigFile, WrittenInOrderReadBackAndBackToTheDefaultsAfterAReset) {
    // every setting but the flags, in file order, and the values they are given: no control
    // at its default, so that the reset below must change each one
    int* const vars[] = {&_mus_volume_100_, &_sfx_volume_100_,
                         &JUMP_BUTTON,      &PAUSE_BUTTON,
                         &START_BUTTON,     &UP_BUTTON,
                         &DOWN_BUTTON,      &LEFT_BUTTON,
                         &RIGHT_BUTTON,     &JUMP_KEY,
                         &PAUSE_KEY,        &START_KEY,
                         &UP_KEY,           &DOWN_KEY,
                         &LEFT_KEY,         &RIGHT_KEY,
                         &mpResamplingMode, &mpReverbDepth,
                         &mpReverbDelay,    &mpBassAmount,
                         &mpBassRange,      &mpSurroundDepth,
                         &mpSurroundDelay,  &cfgFullscreen,
                         &cfgaa2,           &cfgs2x};
    const int values[] = {85,      0,   1,       6, 9,  10,  11, 12, 5,  'q', -1, 14, 'z',
                          'a' - 1, 'a', 'z' + 1, 3, 11, 120, 33, 44, 55, 22,  1,  1,  1};
    static_assert(std::size(vars) == std::size(values));
    for (size_t i = 0; i < std::size(values); i++)
        *vars[i] = values[i];
    mpFlags = MP_FLAG_NOISE_REDUCTION | MP_FLAG_MEGABASS | MP_FLAG_SURROUND;
    cfgbpp = 24;
    dumpConfig();
    EXPECT_EQ(readWholeFile(CFG),
              "mus_volume=85\nsfx_volume=0\n"
              "j_jump=1\nj_pause=6\nj_start=9\nj_up=10\nj_down=11\nj_left=12\nj_right=5\n"
              "k_jump=q\nk_pause=-1\nk_start=14\nk_up=z\nk_down=96\nk_left=a\nk_right=123\n"
              "mpFlagsOVERSAMPLING=0\nmpResamplingMode=3\nmpFlagsNOISE_REDUCTION=1\n"
              "mpFlagsREVERB=0\nmpReverbDepth=11\nmpReverbDelay=120\nmpFlagsMEGABASS=1\n"
              "mpBassAmount=33\nmpBassRange=44\nmpFlagsSURROUND=1\nmpSurroundDepth=55\n"
              "mpSurroundDelay=22\ngfxmode=31\n");
    restoreStartSettings();
    mpFlags = 0;
    loadGfxConfig();
    loadConfig();
    for (size_t i = 0; i < std::size(values); i++)
        EXPECT_EQ(*vars[i], values[i]) << i;
    EXPECT_EQ(mpFlags, MP_FLAG_NOISE_REDUCTION | MP_FLAG_MEGABASS | MP_FLAG_SURROUND);
    // the controls reset to their defaults, and the music oversampled and noise-reduced as
    // at program start
    restoreStartSettings();
    dumpConfig();
    EXPECT_EQ(readWholeFile(CFG),
              "mus_volume=100\nsfx_volume=15\n"
              "j_jump=0\nj_pause=3\nj_start=7\nj_up=1\nj_down=4\nj_left=8\nj_right=2\n"
              "k_jump=32\nk_pause=9\nk_start=13\nk_up=273\nk_down=274\nk_left=276\nk_right=275\n"
              "mpFlagsOVERSAMPLING=1\nmpResamplingMode=1\nmpFlagsNOISE_REDUCTION=1\n"
              "mpFlagsREVERB=0\nmpReverbDepth=0\nmpReverbDelay=0\nmpFlagsMEGABASS=0\n"
              "mpBassAmount=0\nmpBassRange=0\nmpFlagsSURROUND=0\nmpSurroundDepth=0\n"
              "mpSurroundDelay=0\ngfxmode=2\n");
}

} // namespace
