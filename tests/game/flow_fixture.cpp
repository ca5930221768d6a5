#include "flow_fixture.h"

#include "app/startup.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "data/archive.h"
#include "data/settings.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/story.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"
#include "world/stage.h"

#include <SDL_mixer.h>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

// ---- stage maps

constexpr int T_GROUND = 21, T_START = 65; // a solid block and the hero's start marker

Bytes stageBytes(int columns, const std::vector<std::array<int, 3>>& blocks) {
    Bytes out(2 + size_t(columns) * 12, 0);
    out[0] = (unsigned char)((columns - 1) & 255);
    out[1] = (unsigned char)((columns - 1) >> 8);
    for (int c = 0; c < columns; c++)
        out[2 + c * 12 + 11] = T_GROUND;
    for (const auto& b : blocks)
        out.at(2 + b[0] * 12 + b[1]) = (unsigned char)b[2];
    return out;
}

Bytes titleStage() {
    return stageBytes(40, {{30, 10, CELL_MASKY}});
}

// the door is the four blocks at columns 14 and 15
Bytes ringStage(bool flag) {
    return stageBytes(30, {{1, 10, T_START},
                           {2, 10, flag ? CELL_FLAG : 0},
                           {4, 10, CELL_RING},
                           {6, 10, CELL_RING},
                           {8, 10, CELL_RING},
                           {10, 10, CELL_BONUS},
                           {14, 9, CELL_DOOR_OPEN_TL},
                           {15, 9, CELL_DOOR_OPEN_TR},
                           {14, 10, CELL_DOOR_OPEN_BL},
                           {15, 10, CELL_DOOR_OPEN_BR}});
}

Bytes spikeStage() {
    return stageBytes(40, {{1, 10, T_START}, {5, 10, CELL_FLAG}, {10, 10, CELL_SPIKES}});
}

GameDirectory::GameDirectory(const std::vector<ZdaMember>& maps) {
    namespace fs = std::filesystem;
    fs::create_directories("data");
    for (const char* a : {"gfx.zda", "music.zda", "sound.zda"}) {
        fs::path built = fs::path(TROBZ_BUILD_DIR) / "data" / a;
        if (!fs::exists(built)) throw std::runtime_error("missing built archive " + built.string());
        fs::create_symlink(built, fs::path("data") / a);
    }
    writeArchive("data", "maps", maps);
}

// ---- single screens

void FlowTest::SetUp() {
    alarm(TEST_ALARM_SECONDS);
    useTestScreen(16);
    gfxPrepareBlackScreen();
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) throw std::runtime_error(SDL_GetError());
        if (MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) != 0)
            throw std::runtime_error(SDL_GetError());
        Mix_AllocateChannels(16);
    }
    archives = std::make_unique<ArchiveDir>(TROBZ_BUILD_DIR "/data");
    destroyFonts();
    loadSpriteFont();
    initStuff();
    resetDefaultControls();
    lastKey = lastKeyTyped = lastKeySym = done = escape = paused = saved = frame = restartMusic = 0;
    lastJButton = -1;
    titleChoice = CHOICE_NONE;
    initFPS(); // on the test's clock: no frame counts as late
    drainEvents();
}

void FlowTest::TearDown() {
    inputHook = nullptr;
    stopStageMusic();
    flowScreen = FLOW_NONE;
    freeLevel();
    freeBlocks();
    destroyFonts();
    if (black) SDL_FreeSurface(black);
    black = nullptr;
    archives.reset();
    alarm(0);
}

std::string flowState() {
    char text[200];
    std::snprintf(text, sizeof text,
                  "level %d lives %d score %d menu %d rank %d saved %d escape %d done %d", level,
                  lives, score, workflow, hsRank, saved, escape, done);
    return text;
}

std::string describe(const char* format, ...) {
    char text[300];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// ---- the scripted player

int ScriptedPlayer::calls;

namespace {
// A `when` step has no end condition: it acts once, when `ready` holds.
struct Step {
    std::string what;
    ScriptedPlayer::Test until, ready;
    ScriptedPlayer::Act act;
    int every, lastAct;
};
std::vector<Step> steps;
size_t next;
int stepStart;
std::vector<int> releaseNext, held;
// calls a step may wait before the run is given up
constexpr int WATCHDOG_CALLS = 20000;
} // namespace

ScriptedPlayer::ScriptedPlayer() {
    steps.clear();
    next = 0;
    calls = stepStart = 0;
    releaseNext.clear();
    held.clear();
    drainEvents();
    inputHook = hook;
}

ScriptedPlayer::~ScriptedPlayer() {
    inputHook = nullptr;
    steps.clear();
}

ScriptedPlayer& ScriptedPlayer::when(const std::string& what, Test ready, Act act) {
    steps.push_back({what, nullptr, ready, act, 0, 0});
    return *this;
}

ScriptedPlayer& ScriptedPlayer::tapWhen(const std::string& what, Test ready, int sym) {
    return when(what, ready, [sym] { tap(sym); });
}

ScriptedPlayer& ScriptedPlayer::repeat(const std::string& what, Test until, Act act, int every) {
    steps.push_back({what, until, nullptr, act, every, -1000000});
    return *this;
}

bool ScriptedPlayer::finished() const {
    return next >= steps.size();
}

std::string ScriptedPlayer::stuckAt() const {
    return finished() ? std::string() : steps[next].what;
}

void ScriptedPlayer::press(int sym) {
    keyDown(sym);
    releaseNext.push_back(sym);
}

void ScriptedPlayer::setHeld(const std::vector<int>& syms) {
    for (int s : held)
        if (std::find(syms.begin(), syms.end(), s) == syms.end()) keyUp(s);
    for (int s : syms)
        if (std::find(held.begin(), held.end(), s) == held.end()) keyDown(s);
    held = syms;
}

void ScriptedPlayer::hook() {
    calls++;
    for (int s : releaseNext)
        keyUp(s);
    releaseNext.clear();
    if (next >= steps.size()) return;

    Step& s = steps[next];
    if (s.until ? s.until() : s.ready()) {
        if (!s.until) s.act();
        next++;
        stepStart = calls;
        return;
    }
    if (s.until && calls - s.lastAct >= s.every) {
        s.lastAct = calls;
        s.act();
    }
    if (calls - stepStart > WATCHDOG_CALLS) {
        // the game never reached the screen this step waits for: nothing can end the
        // blocking loop the game sits in now
        std::fprintf(stderr, "scripted player stuck waiting for: %s\n", s.what.c_str());
        ADD_FAILURE() << "stuck waiting for: " << s.what;
        std::abort();
    }
}

bool notePage(std::vector<int>& pages) {
    if (flowScreen != FLOW_STORY || (!pages.empty() && pages.back() == storyPage)) return false;
    pages.push_back(storyPage);
    return true;
}

GameSeen playGame(std::vector<const char*> args, const std::function<bool()>& play) {
    alarm(TEST_ALARM_SECONDS);
    GameSeen seen;
    bool played = false;
    VirtualClock clock;
    ScriptedPlayer p;
    p.always([&] {
        const bool now = ScriptedPlayer::calls % 6 == 0; // screens that wait for a release
        char line[80];
        switch (flowScreen) {
        case FLOW_STAGE:
            played = true;
            if (!play()) {
                ScriptedPlayer::setHeld({});
                if (now) ScriptedPlayer::tap(K_ESCAPE);
            }
            break;
        case FLOW_TITLE:
            if (now) ScriptedPlayer::tap(played ? K_ESCAPE : K_RETURN);
            break;
        case FLOW_QUIT_DIALOG:
            ScriptedPlayer::tap(K_LEFT);
            break;
        case FLOW_TALLY:
            ScriptedPlayer::setHeld({});
            if (ghostTallyLine(line, sizeof line)) seen.tally[level] = line;
            break;
        case FLOW_CONTINUE:
            ScriptedPlayer::tap(K_RIGHT);
            break;
        case FLOW_NAME_ENTRY:
            if (now) ScriptedPlayer::press(K_RETURN);
            break;
        case FLOW_STORY:
            if (storyPage >= 0) notePage(seen.pages);
            [[fallthrough]];
        default:
            if (now) ScriptedPlayer::tap(K_SPACE);
        }
    });
    args.insert(args.begin(), "trobz3");
    args.push_back(nullptr);
    seen.status = gameMain((int)args.size() - 1, const_cast<char**>(args.data()));
    alarm(0);
    return seen;
}
