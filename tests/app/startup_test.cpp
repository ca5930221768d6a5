// Start-up: the option table and its precedence, the screen mode from the configuration file,
// the help text, the fatal report without ./data, and a whole run through the intro.
#include "app/startup.h"
#include "data/archive.h"
#include "data/settings.h"
#include "game/input.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"
#include "world/gamestate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Parses a command line (the program name is added in front).
struct Parsed {
    int help;
    StartOptions o;
    int aa2, s2x;
};

Parsed parse(std::initializer_list<const char*> args) {
    std::vector<std::string> store = {"trobz3"};
    for (const char* a : args)
        store.push_back(a);
    std::vector<char*> argv;
    for (std::string& s : store)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    Parsed p;
    s2x = 0; // as at program start
    aa2 = 7;
    p.help = parseCommandLine((int)store.size(), argv.data(), &p.o);
    p.aa2 = aa2;
    p.s2x = s2x;
    aa2 = s2x = 0;
    return p;
}

void expectMode(const Parsed& p, int zoom, int fullscreen, int bpp, int aa, int s2, int test) {
    EXPECT_EQ(p.help, 0);
    EXPECT_EQ(p.o.zoom, zoom);
    EXPECT_EQ(p.o.fullscreen, fullscreen);
    EXPECT_EQ(p.o.bpp, bpp);
    EXPECT_EQ(p.aa2, aa);
    EXPECT_EQ(p.s2x, s2);
    EXPECT_EQ(p.o.testMode, test);
}

// gameMain on these options (the program name is added in front).
int runGame(std::initializer_list<const char*> args) {
    std::vector<std::string> store = {"trobz3"};
    for (const char* a : args)
        store.push_back(a);
    std::vector<char*> argv;
    for (std::string& s : store)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    return gameMain((int)store.size(), argv.data());
}

void withoutVideo() {
    SDL_Quit();
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1); // any start of the video fails
}

} // namespace

TEST(CommandLine, AnyArgumentStartsAPlainWindowUnlessItSaysMore) {
    ScopedTempDir tmp;
    writeWholeFile("trobz3.cfg", {'g', 'f', 'x', 'm', 'o', 'd', 'e', '=', '3', '\n'});
    expectMode(parse({"--nonsense"}), 0, 0, 16, 0, 0, 0);
    expectMode(parse({"-fs"}), 1, 1, 16, 0, 0, 0);
    expectMode(parse({"-x2", "-b24"}), 1, 0, 24, 0, 0, 0);
    expectMode(parse({"-b24", "-b16"}), 0, 0, 16, 0, 0, 0);
}

TEST(CommandLine, LaterOptionsOverrideEarlierOnes) {
    expectMode(parse({"-aa", "-s2x"}), 1, 0, 16, 0, 1, 0);
    expectMode(parse({"-s2x", "-aa"}), 1, 0, 16, 1, 0, 0);
    // "-w" turns smoothing and zoom off but leaves Scale2X as it was
    expectMode(parse({"-aa", "-w"}), 0, 0, 16, 0, 0, 0);
    expectMode(parse({"-s2x", "-w"}), 0, 0, 16, 0, 1, 0);
    expectMode(parse({"-fs", "-w"}), 0, 0, 16, 0, 0, 0);
    expectMode(parse({"-s2x", "-x2"}), 1, 0, 16, 0, 0, 0);
    // the test mode resets the video settings, later options still apply
    expectMode(parse({"-fs", "-b24", "-aa", "-t"}), 0, 0, 16, 0, 0, 1);
    expectMode(parse({"-t", "-x2"}), 1, 0, 16, 0, 0, 1);
}

TEST(CommandLine, HelpStopsReadingTheOptions) {
    Parsed p = parse({"-x2", "-h", "-t"});
    EXPECT_EQ(p.help, 1);
    EXPECT_EQ(p.o.testMode, 0);
    EXPECT_EQ(parse({"-h"}).help, 1);
    EXPECT_EQ(parse({"-help"}).help, 0);
}

TEST(CommandLine, WithoutArgumentsTheConfigurationChoosesTheMode) {
    ScopedTempDir tmp;
    auto withFile = [](const std::string& text) {
        writeWholeFile("trobz3.cfg", std::vector<unsigned char>(text.begin(), text.end()));
        std::vector<char*> argv = {const_cast<char*>("trobz3"), nullptr};
        StartOptions o;
        s2x = 0;
        EXPECT_EQ(parseCommandLine(1, argv.data(), &o), 0);
        Parsed p{0, o, aa2, s2x};
        aa2 = s2x = 0;
        return p;
    };
    // full screen with smoothing and Scale2X (zoom implied), the depth bit is not read
    expectMode(withFile("gfxmode=29\n"), 1, 1, 16, 1, 1, 0);
    expectMode(withFile("gfxmode=0\n"), 0, 0, 16, 0, 0, 0);
    expectMode(withFile("gfxmode=2\n"), 1, 0, 16, 0, 0, 0);
    // no screen-mode line: a doubled window
    expectMode(withFile("mus_volume=50\n"), 1, 0, 16, 0, 0, 0);
}

TEST(CommandLine, TheHelpTextIsExactlyTheseEightLines) {
    EXPECT_STREQ(helpText, "-w : window mode (not fullscreen)\n"
                           "-fs : fullscreen (-x2 automatically added)\n"
                           "-x2 : zoom with no antialiasing\n"
                           "-s2x: zoom with Scale2X algorithm\n"
                           "-aa : zoom with antialiasing\n"
                           "-b16 : 16 bits video mode\n"
                           "-b24 : 24 bits video mode (may be useful if fade in/fade out looks "
                           "crappy)\n"
                           "-h : help\n");
}

TEST(StartupDeathTest, HelpPrintsAndEndsBeforeAnyVideo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string out = deathOutputPath("startup-help");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            withoutVideo();
            runGame({"-b24", "-h", "-t"});
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readWholeFile(out), helpText);
}

TEST(StartupDeathTest, WithoutTheDataDirectoryTheFontIsMissing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string out = deathOutputPath("startup-nodata");
    // a fixed empty directory: the child of the death test may run this test again from the
    // start, and it ends without cleaning up
    const std::string empty = std::string(TROBZ_BUILD_DIR) + "/death-empty-cwd";
    std::filesystem::remove_all(empty);
    std::filesystem::create_directories(empty);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(empty);
    EXPECT_EXIT(
        {
            redirectStdout(out);
            runGame({"-w"});
        },
        ::testing::ExitedWithCode(1), "");
    std::filesystem::current_path(previous);
    EXPECT_EQ(readWholeFile(out), "Error loading gfx file: font\n");
}

TEST(StartupDeathTest, VideoThatCannotStartIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string out = deathOutputPath("startup-novideo");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            withoutVideo();
            runGame({"-w"});
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out).rfind("Unable to init SDL: ", 0), 0u) << readWholeFile(out);
}

namespace {

// A whole run in a scratch directory with an archive of small test images, the clock
// virtual and the input scripted.
class GameRun : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    VirtualClock clock;
    void SetUp() override {
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers());
        drainEvents();
    }
    void TearDown() override { resetDefaultControls(); }
    int run(std::initializer_list<const char*> args) { return runGame(args); }
};

} // namespace

// A quit request during the intro skips the game itself, so these runs end after the intro.

TEST_F(GameRun, TestModeShowsOnlyTheCreditsAndEndsCleanly) {
    InputScript script;
    script.tap(2, SDLK_ESCAPE).tap(5, SDLK_UP);
    EXPECT_EQ(run({"-t"}), 0);
    EXPECT_EQ(InputScript::calls, 5); // one screen, left at the fifth frame
    EXPECT_EQ(currentScreen, 3);
    EXPECT_EQ(done, 1);
    // everything was released
    EXPECT_EQ(screen, nullptr);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(logo, nullptr);
    EXPECT_EQ(background, nullptr);
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);
}

TEST_F(GameRun, TheIntroRunsLogoWarningAndCreditsInTurn) {
    // the logo comes to rest after (360 - 110) / 2 = 125 frames; then START ends it
    InputScript script;
    script
        .tap(40, SDLK_RETURN) // while the logo slides: ignored
        .tap(130, SDLK_RETURN)
        .key(131, SDLK_SPACE, true) // held into the warning page
        .key(140, SDLK_SPACE, false)
        .tap(145, SDLK_ESCAPE)
        .tap(150, SDLK_RETURN) // START does not leave the credits
        .tap(160, SDLK_UP);
    EXPECT_EQ(run({"-w", "-b24"}), 0);
    EXPECT_EQ(InputScript::calls, 160);
}

TEST_F(GameRun, AQuitRequestDoesNotCutTheIntroShort) {
    InputScript script;
    script.quit(2).tap(3, SDLK_ESCAPE).tap(9, SDLK_SPACE);
    EXPECT_EQ(run({"-t", "-x2"}), 0);
    EXPECT_EQ(InputScript::calls, 9);
    EXPECT_EQ(done, 1);
}

TEST_F(GameRun, TheZoomedModesPresentThroughTheirScalers) {
    for (const char* mode : {"-x2", "-s2x", "-aa"}) {
        InputScript script;
        script.tap(1, SDLK_ESCAPE).tap(3, SDLK_UP);
        EXPECT_EQ(run({"-t", mode}), 0) << mode;
        EXPECT_EQ(InputScript::calls, 3) << mode;
        EXPECT_EQ(aabuf, nullptr) << mode; // freed again
    }
}
