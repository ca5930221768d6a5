// Start-up and shutdown. The command line (or, without one, the screen mode of the
// configuration file) picks the video mode; then video, joystick and audio come up in a
// fixed order, the archives open, fonts, logo, bindings and volumes load, the intro screens
// run, and the backdrop and hiscore table are read before the game flow takes over.
// Every start-up failure is fatal; exitGame releases everything in a fixed order.
#include "app/startup.h"

#include "app/intro.h"
#include "audio/music.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "data/archive.h"
#include "data/config.h"
#include "data/fatal.h"
#include "data/hiscores.h"
#include "data/settings.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/termination.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "version.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"

#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const helpText = "-w : window mode (not fullscreen)\n"
                             "-fs : fullscreen (-x2 automatically added)\n"
                             "-x2 : zoom with no antialiasing\n"
                             "-s2x: zoom with Scale2X algorithm\n"
                             "-aa : zoom with antialiasing\n"
                             "-b16 : 16 bits video mode\n"
                             "-b24 : 24 bits video mode (may be useful if fade in/fade out looks "
                             "crappy)\n"
                             "-h : help\n"
                             "-ghost : time every stage, keep its best run in runs/ and show "
                             "it as a ghost\n";

// The intro screens in the order they are shown.
const IntroScreen screens[NUM_INTRO_SCREENS + 1] = {
    {"vemo", vemoInit, vemoShutdown, vemoUpdate, vemoRender},                // maker's logo
    {"warning", warningInit, warningShutdown, warningUpdate, warningRender}, // warning page
    {"opensource", opensourceInit, opensourceShutdown, opensourceUpdate,     //
     opensourceRender},                                                      // credits page
    {nullptr, nullptr, nullptr, nullptr, nullptr},                           // end
};
static_assert(sizeof screens / sizeof screens[0] == NUM_INTRO_SCREENS + 1,
              "the screens table ends with one empty row");

int currentScreen = 0;
const int gameScreen = 2;

namespace {

const char* const CAPTION = "Trobz 3 v" TROBZ_VERSION;
const char* const GHOST_OPTION = "-ghost";

// the audio device
constexpr int AUDIO_RATE = 22050; // Hz
constexpr Uint16 AUDIO_FORMAT = AUDIO_S16LSB;
constexpr int AUDIO_CHANNELS = 2;
constexpr int AUDIO_CHUNK = 1024; // sample frames per buffer
constexpr int MIXER_CHANNELS = 16;

void openVideo(const StartOptions& o) {
    const Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    if (o.zoom || o.fullscreen) {
        fscreen =
            SDL_SetVideoMode(ZOOM_W, ZOOM_H, o.bpp, flags | (o.fullscreen ? SDL_FULLSCREEN : 0));
        if (!fscreen) error("Unable to set video mode", SDL_GetError());
        // the same pixel format as the display, so that the scalers copy values unconverted
        const SDL_PixelFormat* f = fscreen->format;
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_W, SCREEN_H, f->BitsPerPixel, f->Rmask,
                                      f->Gmask, f->Bmask, f->Amask);
        gfxInit();
    } else {
        fscreen = nullptr;
        screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, o.bpp, SDL_SWSURFACE | SDL_DOUBLEBUF);
    }
    if (!screen) error("Unable to set video mode", SDL_GetError());
}

// A missing joystick, or one that does not initialise, leaves the game on the keyboard.
void openJoystick() {
    joystick = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;
    if (SDL_NumJoysticks() > 0) joystick = SDL_JoystickOpen(0);
    SDL_JoystickEventState(SDL_ENABLE);
}

void openAudio() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) error("SDL_Init", SDL_GetError());
    if (MP_OpenAudio(AUDIO_RATE, AUDIO_FORMAT, AUDIO_CHANNELS, AUDIO_CHUNK) != 0)
        error("Mix_OpenAudio", SDL_GetError());
    Mix_AllocateChannels(MIXER_CHANNELS);
}

void applyVolumes() {
    _mus_volume_ = mixerVolume(_mus_volume_100_);
    _sfx_volume_ = mixerVolume(_sfx_volume_100_);
    Mix_Volume(-1, _sfx_volume_);
    MP_VolumeMusic(_mus_volume_);
}

} // namespace

int parseCommandLine(int argc, char** argv, StartOptions* o) {
    aa2 = 0;
    *o = StartOptions();
    // "-ghost" is no screen option: alone it leaves the screen mode to the file
    int screenArgs = 0;
    for (int i = 1; i < argc; i++) {
        if (argv[i] && !std::strcmp(argv[i], GHOST_OPTION))
            o->ghost = 1;
        else
            screenArgs++;
    }
    if (screenArgs == 0) {
        loadGfxConfig();
        o->fullscreen = cfgFullscreen;
        o->zoom = cfgZoom || cfgFullscreen;
        o->bpp = cfgbpp;
        aa2 = cfgaa2;
        s2x = cfgs2x;
        return 0;
    }
    // later options override earlier ones; unknown ones (and "-ghost", read above) are ignored
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (!a) continue;
        if (!std::strcmp(a, "-fs")) {
            o->fullscreen = 1;
            o->zoom = 1;
        } else if (!std::strcmp(a, "-w")) {
            o->fullscreen = 0;
            o->zoom = 0;
            aa2 = 0;
        } else if (!std::strcmp(a, "-aa")) {
            aa2 = 1;
            s2x = 0;
            o->zoom = 1;
        } else if (!std::strcmp(a, "-s2x")) {
            aa2 = 0;
            s2x = 1;
            o->zoom = 1;
        } else if (!std::strcmp(a, "-x2")) {
            aa2 = 0;
            s2x = 0;
            o->zoom = 1;
        } else if (!std::strcmp(a, "-b16")) {
            o->bpp = 16;
        } else if (!std::strcmp(a, "-b24")) {
            o->bpp = 24;
        } else if (!std::strcmp(a, "-t")) {
            o->testMode = 1;
            aa2 = 0;
            s2x = 0;
            o->bpp = 16;
            o->zoom = 0;
            o->fullscreen = 0;
        } else if (!std::strcmp(a, "-h")) {
            return 1;
        }
    }
    return 0;
}

void runIntroScreen(const IntroScreen& s) {
    lastKeyTyped = 0;
    s.init();
    initFPS();
    // A quit request does not cut a screen short: each runs to its own end.
    while (!s.update()) {
        if (!skipFrame) {
            s.render(screen);
            flipScreen();
        }
        controlFPS();
        checkInput();
    }
    s.shutdown();
}

void runIntroScreens() {
    while (currentScreen >= 0 && currentScreen < NUM_INTRO_SCREENS && screens[currentScreen].name) {
        runIntroScreen(screens[currentScreen]);
        currentScreen++;
    }
}

int gameMain(int argc, char** argv) {
    StartOptions opts;
    if (parseCommandLine(argc, argv, &opts)) {
        std::fputs(helpText, stdout);
        std::fflush(stdout);
        std::exit(0);
    }

    if (SDL_Init(SDL_INIT_VIDEO) != 0) error("Unable to init SDL", SDL_GetError());
    std::atexit(SDL_Quit);
    onTermination = endOnTermination;
    catchTerminationSignals();
    openVideo(opts);
    gfxInitColors();
    gfxPrepareBlackScreen();
    openJoystick();
    openAudio();
    SDL_WM_SetCaption(CAPTION, nullptr);
    SDL_ShowCursor(SDL_DISABLE);

    openArchives();
    loadSpriteFont();
    logo = loadGFX("logo", 1, KEY_R, KEY_G, KEY_B);
    resetDefaultControls();
    loadConfig(); // may override the bindings and the volumes
    applyVolumes();

    ghostMode = opts.ghost;
    done = 0;
    currentScreen = opts.testMode ? gameScreen : 0;
    runIntroScreens();

    background = loadGFX("back", 0, 0, 0, 0);
    loadHiscores();

    // A quit request made during the intro skips the game.
    if (!done) run(opts.testMode);

    return exitGame();
}

void endOnTermination() {
    MP_HaltMusic();
    exitGame();
    std::exit(0);
}

int exitGame() {
    if (joystick) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
    gfxShutdown();
    freeSurface(logo);
    logo = nullptr;
    if (background) freeSurface(background);
    background = nullptr;
    freeBlocks();
    destroyFonts();
    for (int i = 0; i < NUM_SOUNDS; i++)
        freeSFX(i);
    freeLevel();
    closeArchives();
    Mix_CloseAudio();
    // our own surfaces go before the display they were made for
    if (black) SDL_FreeSurface(black);
    if (fscreen && screen) SDL_FreeSurface(screen);
    black = nullptr;
    SDL_Quit();
    screen = fscreen = nullptr;
    return 0;
}
