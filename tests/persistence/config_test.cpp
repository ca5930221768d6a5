// The configuration file: file names, the reader's scanning rules and range rules, the screen
// mode, and the writer's exact output.
#include "data/config.h"
#include "data/settings.h"
#include "persist_files.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char CFG[] = "trobz3.cfg";

class ConfigFile : public ::testing::Test {
  protected:
    void SetUp() override { restoreStartSettings(); }
    void TearDown() override { restoreStartSettings(); }
    void load(const std::string& text) {
        writeFile(CFG, text);
        loadConfig();
    }
    ScopedTempDir dir;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// file names

TEST(FileNames, WithAndWithoutDirectory) {
    EXPECT_STREQ(filename(nullptr, "trobz3", "cfg"), "./trobz3.cfg");
    EXPECT_STREQ(filename("maps", "test", "bin"), "./maps/test.bin");
    // the result is the shared buffer, overwritten by the next call
    const char* first = filename(nullptr, "hiscores", "dat");
    filename(nullptr, "savegame", "dat");
    EXPECT_EQ(first, fname_buf);
    EXPECT_STREQ(first, "./savegame.dat");
}

TEST(FileNames, OverlongNameIsCutToTheBuffer) {
    std::string longName(3000, 'n');
    const char* name = filename("dir", longName.c_str(), "ext");
    EXPECT_EQ(std::string(name).size(), (size_t)FNAME_BUF_SIZE - 1);
    EXPECT_EQ(std::string(name).substr(0, 6), "./dir/");
}

// missing and empty files

TEST_F(ConfigFile, MissingOrEmptyFileKeepsEverySetting) {
    JUMP_KEY = 99;
    JUMP_BUTTON = 5;
    _mus_volume_100_ = 40;
    mpReverbDelay = 0;
    loadConfig();
    writeFile(CFG, "");
    loadConfig();
    EXPECT_EQ(JUMP_KEY, 99);
    EXPECT_EQ(JUMP_BUTTON, 5);
    EXPECT_EQ(LEFT_KEY, DEFAULT_LEFT_KEY);
    EXPECT_EQ(_mus_volume_100_, 40);
    EXPECT_EQ(mpReverbDelay, 0);
}

// volumes and music player settings

TEST_F(ConfigFile, VolumesOutsideTheRangeBecomeFull) {
    load("mus_volume=-5\nsfx_volume=150\n");
    EXPECT_EQ(_mus_volume_100_, 100);
    EXPECT_EQ(_sfx_volume_100_, 100);
    load("mus_volume=0\nsfx_volume=100\n");
    EXPECT_EQ(_mus_volume_100_, 0);
    EXPECT_EQ(_sfx_volume_100_, 100);
    load("mus_volume=101\nsfx_volume=37\n");
    EXPECT_EQ(_mus_volume_100_, 100);
    EXPECT_EQ(_sfx_volume_100_, 37);
}

TEST_F(ConfigFile, FlagsCanOnlyBeSwitchedOn) {
    load("mpFlagsOVERSAMPLING=0\nmpFlagsNOISE_REDUCTION=0\nmpFlagsREVERB=2\n");
    EXPECT_EQ(mpFlags, MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION);
    load("mpFlagsREVERB=1\nmpFlagsSURROUND=1\n");
    EXPECT_EQ(mpFlags,
              MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION | MP_FLAG_REVERB | MP_FLAG_SURROUND);
    // a later 0 for the same flag does not take it back
    mpFlags = 0;
    load("mpFlagsMEGABASS=1\nmpFlagsMEGABASS=0\nmpFlagsOVERSAMPLING=-1\n");
    EXPECT_EQ(mpFlags, MP_FLAG_MEGABASS);
}

TEST_F(ConfigFile, ResamplingModeOutsideItsRangeBecomesLinear) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0}, {"3", 3}, {"2", 2}, {"4", 1}, {"-1", 1}, {"x", 0},
    };
    for (const auto& c : cases) {
        mpResamplingMode = 2;
        load(std::string("mpResamplingMode=") + c.first + "\n");
        EXPECT_EQ(mpResamplingMode, c.second) << c.first;
    }
}

TEST_F(ConfigFile, DepthsDelaysAndRangesAreClamped) {
    struct Case {
        const char* key;
        int* value;
        int below, lo, hi, above;
    };
    const Case cases[] = {
        {"mpReverbDepth=", &mpReverbDepth, -3, 0, 100, 101},
        {"mpReverbDelay=", &mpReverbDelay, 39, 40, 200, 201},
        {"mpBassAmount=", &mpBassAmount, -1, 0, 100, 250},
        {"mpBassRange=", &mpBassRange, 9, 10, 100, 101},
        {"mpSurroundDepth=", &mpSurroundDepth, -100, 0, 100, 1000},
        {"mpSurroundDelay=", &mpSurroundDelay, 4, 5, 40, 41},
    };
    for (const Case& c : cases) {
        std::string key = c.key;
        load(key + std::to_string(c.below) + "\n");
        EXPECT_EQ(*c.value, c.lo) << key << c.below;
        load(key + std::to_string(c.above) + "\n");
        EXPECT_EQ(*c.value, c.hi) << key << c.above;
        load(key + std::to_string(c.lo) + "\n");
        EXPECT_EQ(*c.value, c.lo) << key << c.lo;
        load(key + std::to_string(c.hi) + "\n");
        EXPECT_EQ(*c.value, c.hi) << key << c.hi;
        load(key + std::to_string((c.lo + c.hi) / 2) + "\n");
        EXPECT_EQ(*c.value, (c.lo + c.hi) / 2) << key;
    }
}

TEST_F(ConfigFile, DefaultSoundParametersReadBackWithTheirFloors) {
    dumpConfig();
    std::string text = readFile(CFG);
    EXPECT_NE(text.find("mpReverbDelay=0\n"), std::string::npos);
    EXPECT_NE(text.find("mpBassRange=0\n"), std::string::npos);
    EXPECT_NE(text.find("mpSurroundDelay=0\n"), std::string::npos);
    loadConfig();
    EXPECT_EQ(mpReverbDelay, 40);
    EXPECT_EQ(mpBassRange, 10);
    EXPECT_EQ(mpSurroundDelay, 5);
}

TEST_F(ConfigFile, TextThatIsNoNumberReadsAsZeroThenIsBroughtIntoRange) {
    load("mpReverbDelay=abc\nmpReverbDepth=xyz\nsfx_volume=\n");
    EXPECT_EQ(mpReverbDelay, 40);
    EXPECT_EQ(mpReverbDepth, 0);
    EXPECT_EQ(_sfx_volume_100_, 0);
    // a number ends at the first non-digit
    load("mus_volume=42abc\nmpBassAmount= 17\n");
    EXPECT_EQ(_mus_volume_100_, 42);
    EXPECT_EQ(mpBassAmount, 17);
}

TEST_F(ConfigFile, EmptyValueDoesNotTakeTheNextLinesNumber) {
    load("mus_volume=\n75\nmpReverbDepth=\t\r\n30\n");
    EXPECT_EQ(_mus_volume_100_, 0);
    EXPECT_EQ(mpReverbDepth, 0);
}

TEST_F(ConfigFile, HugeNumbersSaturateInsteadOfWrapping) {
    // 2^32 + 50 would wrap to 50 in a 32-bit int
    load("mus_volume=4294967346\nmpBassAmount=99999999999999999999999\n"
         "mpReverbDepth=-99999999999999999999\n");
    EXPECT_EQ(_mus_volume_100_, 100);
    EXPECT_EQ(mpBassAmount, 100);
    EXPECT_EQ(mpReverbDepth, 0);
}

TEST_F(ConfigFile, NumberAtTheVeryEndOfTheFileIsRead) {
    load("mpBassAmount=7");
    EXPECT_EQ(mpBassAmount, 7);
    load("mpSurroundDelay=");
    EXPECT_EQ(mpSurroundDelay, 5);
}

TEST_F(ConfigFile, SettingsAreFoundAnywhereAndTheLastOneWins) {
    load("# my settings: mus_volume=30 for now\nxxsfx_volume=60yy\nmus_volume=70\n");
    EXPECT_EQ(_mus_volume_100_, 70);
    EXPECT_EQ(_sfx_volume_100_, 60);
    load("mpReverbDepth=80\nmpReverbDepth=20\n");
    EXPECT_EQ(mpReverbDepth, 20);
}

TEST_F(ConfigFile, ScreenModeLineIsNotReadByTheMainReader) {
    cfgFullscreen = 0;
    cfgZoom = 0;
    load("gfxmode=27\n");
    EXPECT_EQ(cfgFullscreen, 0);
    EXPECT_EQ(cfgZoom, 0);
    EXPECT_EQ(cfgaa2, 0);
    EXPECT_EQ(cfgs2x, 0);
}

// bindings

TEST_F(ConfigFile, KeyValuesAreLowerCaseLettersOrNumbers) {
    load("k_jump=x\nk_pause=X\nk_start=300\nk_up=z\nk_down=a\nk_left=9\nk_right=-4\n");
    EXPECT_EQ(JUMP_KEY, 120);
    EXPECT_EQ(PAUSE_KEY, 0); // an upper-case letter is no number
    EXPECT_EQ(START_KEY, 300);
    EXPECT_EQ(UP_KEY, 'z');
    EXPECT_EQ(DOWN_KEY, 'a');
    EXPECT_EQ(LEFT_KEY, 9);
    EXPECT_EQ(RIGHT_KEY, -4);
}

TEST_F(ConfigFile, MissingKeyLinesUnbindWhileMissingButtonLinesKeep) {
    JUMP_BUTTON = 11;
    load("mus_volume=50\nj_pause=6\n");
    EXPECT_EQ(JUMP_KEY, -1);
    EXPECT_EQ(PAUSE_KEY, -1);
    EXPECT_EQ(START_KEY, -1);
    EXPECT_EQ(UP_KEY, -1);
    EXPECT_EQ(DOWN_KEY, -1);
    EXPECT_EQ(LEFT_KEY, -1);
    EXPECT_EQ(RIGHT_KEY, -1);
    EXPECT_EQ(JUMP_BUTTON, 11);
    EXPECT_EQ(PAUSE_BUTTON, 6);
    EXPECT_EQ(START_BUTTON, DEFAULT_START_BUTTON);
    EXPECT_EQ(LEFT_BUTTON, DEFAULT_LEFT_BUTTON);
}

TEST_F(ConfigFile, NegativeButtonCountsAsAbsent) {
    load("j_start=-3\nj_up=0\n");
    EXPECT_EQ(START_BUTTON, DEFAULT_START_BUTTON);
    EXPECT_EQ(UP_BUTTON, 0);
}

TEST_F(ConfigFile, AllSevenControlsAreReadInAnyOrder) {
    load("j_right=21\nk_right=r\nj_left=20\nk_left=l\nj_down=19\nk_down=d\nj_up=18\nk_up=u\n"
         "j_start=17\nk_start=s\nj_pause=16\nk_pause=p\nj_jump=15\nk_jump=j\n");
    const int keys[] = {JUMP_KEY, PAUSE_KEY, START_KEY, UP_KEY, DOWN_KEY, LEFT_KEY, RIGHT_KEY};
    const int buttons[] = {JUMP_BUTTON, PAUSE_BUTTON, START_BUTTON, UP_BUTTON,
                           DOWN_BUTTON, LEFT_BUTTON,  RIGHT_BUTTON};
    const char letters[] = "jpsudlr";
    for (int c = 0; c < NUM_PARAMS; c++) {
        EXPECT_EQ(keys[c], letters[c]) << params[c];
        EXPECT_EQ(buttons[c], 15 + c) << params[c];
    }
}

TEST_F(ConfigFile, BindingsAreFoundAnywhereInTheText) {
    load("some words k_up=w and j_up=12 on one line");
    EXPECT_EQ(UP_KEY, 'w');
    EXPECT_EQ(UP_BUTTON, 12);
}

TEST_F(ConfigFile, ControlScanEndsOnceKeyAndButtonAreKnown) {
    // both known after two lines: the repeated key line is ignored
    load("k_jump=a\nj_jump=5\nk_jump=b\nj_jump=6\n");
    EXPECT_EQ(JUMP_KEY, 'a');
    EXPECT_EQ(JUMP_BUTTON, 5);
    // without a button the scan goes on and the later key line wins
    load("k_jump=a\nk_jump=b\n");
    EXPECT_EQ(JUMP_KEY, 'b');
    // a negative button does not count as known, so the scan goes on to the next one
    load("k_jump=a\nj_jump=-1\nj_jump=6\nk_jump=b\n");
    EXPECT_EQ(JUMP_KEY, 'a');
    EXPECT_EQ(JUMP_BUTTON, 6);
    // a negative key neither: a later key line still counts
    load("j_jump=2\nk_jump=-7\nk_jump=c\nj_jump=3\n");
    EXPECT_EQ(JUMP_KEY, 'c');
    EXPECT_EQ(JUMP_BUTTON, 2);
}

TEST_F(ConfigFile, TwoBytesMustFollowABindingPrefix) {
    load("k_left=q\nk_right=a");
    EXPECT_EQ(LEFT_KEY, 'q');
    EXPECT_EQ(RIGHT_KEY, -1);
    load("k_right=a\n");
    EXPECT_EQ(RIGHT_KEY, 'a');
    RIGHT_BUTTON = 9;
    load("j_right=5");
    EXPECT_EQ(RIGHT_BUTTON, 9);
    load("j_right=57");
    EXPECT_EQ(RIGHT_BUTTON, 57);
}

// screen mode

TEST_F(ConfigFile, ScreenModeWithoutFileOrLineIsADoubledWindow) {
    cfgFullscreen = 1;
    cfgZoom = 0;
    cfgaa2 = 1;
    cfgs2x = 1;
    loadGfxConfig();
    EXPECT_EQ(cfgFullscreen, 0);
    EXPECT_EQ(cfgZoom, 1);
    EXPECT_EQ(cfgaa2, 0);
    EXPECT_EQ(cfgs2x, 0);
    cfgaa2 = 1;
    writeFile(CFG, "mus_volume=3\ngfxmod=1\n");
    loadGfxConfig();
    EXPECT_EQ(cfgFullscreen, 0);
    EXPECT_EQ(cfgZoom, 1);
    EXPECT_EQ(cfgaa2, 0);
}

TEST_F(ConfigFile, ScreenModeBits) {
    struct Case {
        const char* text;
        int fullscreen, zoom, aa2, s2x;
    };
    const Case cases[] = {
        {"gfxmode=27\n", 1, 1, 1, 1},
        {"gfxmode=10\n", 0, 1, 1, 0},
        {"gfxmode=17\n", 1, 0, 0, 1},
        {"gfxmode=24\n", 0, 0, 0, 0}, // the scalers need a zoomed picture
        {"gfxmode=4\n", 0, 0, 0, 0},  // the colour depth bit is not read back
        {"gfxmode=6\n", 0, 1, 0, 0},
        {"gfxmode=2\ngfxmode=1\n", 0, 1, 0, 0}, // the first line counts
        {"gfxmode=", 0, 0, 0, 0},
        {"abcgfxmode=3 ", 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        writeFile(CFG, c.text);
        loadGfxConfig();
        EXPECT_EQ(cfgFullscreen, c.fullscreen) << c.text;
        EXPECT_EQ(cfgZoom, c.zoom) << c.text;
        EXPECT_EQ(cfgaa2, c.aa2) << c.text;
        EXPECT_EQ(cfgs2x, c.s2x) << c.text;
    }
}

// writing

TEST(DumpKey, LettersAsThemselvesOtherKeysAsNumbers) {
    ScopedTempDir dir;
    FILE* f = std::fopen("keys", "w");
    ASSERT_NE(f, nullptr);
    dumpKey("up", 'a', f);
    dumpKey("down", 'z', f);
    dumpKey("left", 'a' - 1, f);
    dumpKey("right", 'z' + 1, f);
    dumpKey("jump", 'A', f);
    dumpKey("pause", -1, f);
    dumpKey("start", 276, f);
    std::fclose(f);
    EXPECT_EQ(readFile("keys"), "k_up=a\nk_down=z\nk_left=96\nk_right=123\nk_jump=65\n"
                                "k_pause=-1\nk_start=276\n");
}

TEST_F(ConfigFile, DumpWritesAllLinesInOrder) {
    _mus_volume_100_ = 85;
    _sfx_volume_100_ = 15;
    JUMP_BUTTON = 1;
    PAUSE_BUTTON = -1;
    START_BUTTON = 9;
    JUMP_KEY = 'q';
    PAUSE_KEY = -1;
    START_KEY = 13;
    LEFT_KEY = 'a';
    RIGHT_KEY = 'd';
    mpFlags = MP_FLAG_NOISE_REDUCTION | MP_FLAG_MEGABASS | MP_FLAG_SURROUND;
    mpResamplingMode = 3;
    mpReverbDepth = 11;
    mpReverbDelay = 120;
    mpBassAmount = 33;
    mpBassRange = 44;
    mpSurroundDepth = 55;
    mpSurroundDelay = 22;
    cfgFullscreen = 1;
    cfgZoom = 1;
    cfgbpp = 24;
    cfgaa2 = 0;
    cfgs2x = 1;
    dumpConfig();
    const std::vector<std::string> expected = {
        "mus_volume=85",
        "sfx_volume=15",
        "j_jump=1",
        "j_pause=-1",
        "j_start=9",
        "j_up=1",
        "j_down=4",
        "j_left=8",
        "j_right=2",
        "k_jump=q",
        "k_pause=-1",
        "k_start=13",
        "k_up=273",
        "k_down=274",
        "k_left=a",
        "k_right=d",
        "mpFlagsOVERSAMPLING=0",
        "mpResamplingMode=3",
        "mpFlagsNOISE_REDUCTION=1",
        "mpFlagsREVERB=0",
        "mpReverbDepth=11",
        "mpReverbDelay=120",
        "mpFlagsMEGABASS=1",
        "mpBassAmount=33",
        "mpBassRange=44",
        "mpFlagsSURROUND=1",
        "mpSurroundDepth=55",
        "mpSurroundDelay=22",
        "gfxmode=23",
    };
    std::string text = readFile(CFG);
    EXPECT_EQ(lines(text), expected);
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(ConfigFile, ScreenModeValueCombinesTheSettings) {
    struct Case {
        int fullscreen, zoom, bpp, aa2, s2x, mode;
    };
    const Case cases[] = {
        {0, 0, 16, 0, 0, 0}, {0, 1, 16, 0, 0, 2},  {1, 1, 16, 0, 0, 3},
        {0, 1, 24, 0, 0, 6}, {0, 1, 16, 1, 0, 10}, {0, 1, 16, 0, 1, 18},
    };
    for (const Case& c : cases) {
        cfgFullscreen = c.fullscreen;
        cfgZoom = c.zoom;
        cfgbpp = c.bpp;
        cfgaa2 = c.aa2;
        cfgs2x = c.s2x;
        dumpConfig();
        EXPECT_EQ(lines(readFile(CFG)).back(), "gfxmode=" + std::to_string(c.mode));
        // and reading it back gives the same screen (the depth stays as it was)
        cfgFullscreen = cfgZoom = cfgaa2 = cfgs2x = -1;
        loadGfxConfig();
        EXPECT_EQ(cfgFullscreen, c.fullscreen);
        EXPECT_EQ(cfgZoom, c.zoom);
        EXPECT_EQ(cfgaa2, c.aa2);
        EXPECT_EQ(cfgs2x, c.s2x);
    }
}

TEST_F(ConfigFile, FailedWriteLeavesTheOldFile) {
    const std::string old = "mus_volume=12\nk_jump=q\n";
    writeFile(CFG, old);
    {
        // the disk fills up part-way through the new file
        ScopedFileSizeLimit limit(100);
        dumpConfig();
    }
    EXPECT_EQ(readFile(CFG), old);
    EXPECT_FALSE(fileExists("trobz3.cfg.tmp"));
    // the new file cannot even be started
    mkdir("trobz3.cfg.tmp", 0700);
    dumpConfig();
    EXPECT_EQ(readFile(CFG), old);
    rmdir("trobz3.cfg.tmp");
    dumpConfig();
    EXPECT_EQ(lines(readFile(CFG)).size(), 29u);
}

TEST_F(ConfigFile, RewriteKeepsTheFilePermissions) {
    writeFile(CFG, "mus_volume=12\n");
    chmod(CFG, 0640);
    dumpConfig();
    struct stat st;
    ASSERT_EQ(stat(CFG, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(lines(readFile(CFG))[0], "mus_volume=100");
}

} // namespace
