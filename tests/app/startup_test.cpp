// Start-up: the option table and its precedence, the screen mode from the configuration file,
// and whole runs through the intro.
#include "app/startup.h"
#include "data/archive.h"
#include "data/settings.h"
#include "game/input.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"
#include "world/flowstate.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Args = std::vector<const char*>;

// argv of "trobz3" and these arguments (the game never writes to them).
char** argvOf(Args& args) {
    args.insert(args.begin(), "trobz3");
    args.push_back(nullptr);
    return const_cast<char**>(args.data());
}

int runGame(Args args) {
    char** argv = argvOf(args);
    return gameMain((int)args.size() - 1, argv);
}

// What a command line (with a configuration file holding `cfg`) starts in: help, zoom,
// full screen, depth, aa2, s2x, test mode.
using Mode = std::array<int, 7>;

Mode parse(Args args, const std::string& cfg) {
    writeWholeFile("trobz3.cfg", {cfg.begin(), cfg.end()});
    char** argv = argvOf(args);
    StartOptions o;
    s2x = 0; // as at program start
    aa2 = 7;
    const int help = parseCommandLine((int)args.size() - 1, argv, &o);
    const Mode m = {help, o.zoom, o.fullscreen, o.bpp, aa2, s2x, o.testMode};
    aa2 = s2x = 0;
    return m;
}

} // namespace

TEST(CommandLine, OptionsOverrideEarlierOnesAndWithoutAnyTheFileChooses) {
    ScopedTempDir tmp;
    const std::string FS_AA_S2X = "gfxmode=29\n";
    struct Case {
        Args args;
        std::string cfg;
        Mode want;
    };
    const Case cases[] = {
        // any argument ignores the file and starts a plain window
        {{"--nonsense"}, FS_AA_S2X, {0, 0, 0, 16, 0, 0, 0}},
        {{"-fs"}, "", {0, 1, 1, 16, 0, 0, 0}},
        {{"-x2", "-b24"}, "", {0, 1, 0, 24, 0, 0, 0}},
        {{"-b24", "-b16"}, "", {0, 0, 0, 16, 0, 0, 0}},
        {{"-aa", "-s2x"}, "", {0, 1, 0, 16, 0, 1, 0}},
        {{"-s2x", "-aa"}, "", {0, 1, 0, 16, 1, 0, 0}},
        // "-w" turns smoothing and zoom off but leaves Scale2X as it was
        {{"-aa", "-w"}, "", {0, 0, 0, 16, 0, 0, 0}},
        {{"-s2x", "-w"}, "", {0, 0, 0, 16, 0, 1, 0}},
        {{"-s2x", "-x2"}, "", {0, 1, 0, 16, 0, 0, 0}},
        // the test mode resets the video settings; later options still apply
        {{"-fs", "-b24", "-aa", "-t"}, "", {0, 0, 0, 16, 0, 0, 1}},
        {{"-t", "-x2"}, "", {0, 1, 0, 16, 0, 0, 1}},
        // "-h" stops reading
        {{"-x2", "-h", "-t"}, "", {1, 1, 0, 16, 0, 0, 0}},
        {{"-help"}, "", {0, 0, 0, 16, 0, 0, 0}},
        // no arguments: the file's screen mode; its depth bit is not read back
        {{}, FS_AA_S2X, {0, 1, 1, 16, 1, 1, 0}},
        {{}, "mus_volume=50\n", {0, 1, 0, 16, 0, 0, 0}}, // no mode: a doubled window
        // "-ghost" is no screen option
        {{"-ghost"}, FS_AA_S2X, {0, 1, 1, 16, 1, 1, 0}},
        {{"-ghost", "-x2", "-ghost"}, FS_AA_S2X, {0, 1, 0, 16, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* a : c.args)
            line += std::string(a) + " ";
        EXPECT_EQ(parse(c.args, c.cfg), c.want) << line << "with " << c.cfg;
    }
    aa2 = s2x = 0;
}

// Whole runs in a scratch directory with an archive of small test images, the clock virtual
// and the input scripted. A quit request during the intro skips the game itself, so these
// runs end after the intro.
class GameRun : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    VirtualClock clock;
    void SetUp() override {
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers());
        drainEvents();
    }
    void TearDown() override { resetDefaultControls(); }
};

TEST_F(GameRun, TestModeShowsOnlyTheCreditsAndReleasesEverything) {
    InputScript script;
    script.quit(2).tap(3, SDLK_ESCAPE).tap(9, SDLK_UP); // quitting does not cut it short
    EXPECT_EQ(runGame({"-t"}), 0);
    EXPECT_EQ(std::vector<int>({InputScript::calls, currentScreen, done}),
              std::vector<int>({9, 3, 1}));
    EXPECT_EQ(std::vector<const void*>({screen, font, logo, background, zda_full_header[ZDA_GFX]}),
              std::vector<const void*>(5, nullptr));
}

TEST_F(GameRun, TheIntroRunsLogoWarningAndCreditsInTurn) {
    // the logo comes to rest after (360 - 110) / 2 = 125 frames; then START ends it
    InputScript script;
    script
        .tap(40, SDLK_RETURN) // while the logo slides: ignored
        .tap(130, SDLK_RETURN)
        .key(131, SDLK_SPACE, true) // held into the warning page: it ends on the release
        .tap(135, SDLK_LEFT)        // other controls do not end a page
        .key(140, SDLK_SPACE, false)
        .tap(145, SDLK_ESCAPE)
        .tap(150, SDLK_RETURN) // START does not leave the credits
        .tap(160, SDLK_UP);
    EXPECT_EQ(runGame({"-w", "-b24"}), 0);
    EXPECT_EQ(InputScript::calls, 160);
}
