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
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

// ---- stage maps

constexpr int T_GROUND = 21, T_START = 65, T_RING = 41, T_BONUS = 137, T_FLAG = 17, T_SPIKES = 87,
              T_MASKY = 9;

std::vector<unsigned char> StageMap::bytes() const {
    std::vector<unsigned char> out(2 + cells.size());
    out[0] = (unsigned char)((columns - 1) & 255);
    out[1] = (unsigned char)((columns - 1) >> 8);
    std::copy(cells.begin(), cells.end(), out.begin() + 2);
    return out;
}

static StageMap floorStage(int columns) {
    StageMap m(columns);
    for (int c = 0; c < columns; c++)
        m.set(c, 11, T_GROUND);
    return m;
}

StageMap titleStage() {
    return floorStage(40).set(30, 10, T_MASKY);
}

StageMap ringStage() {
    StageMap m = floorStage(30).set(1, 10, T_START).set(10, 10, T_BONUS);
    m.set(4, 10, T_RING).set(6, 10, T_RING).set(8, 10, T_RING);
    return m.set(14, 9, 27).set(15, 9, 28).set(14, 10, 47).set(15, 10, 48); // the door
}

StageMap spikeStage() {
    return floorStage(40).set(1, 10, T_START).set(5, 10, T_FLAG).set(10, 10, T_SPIKES);
}

std::vector<ZdaMember> testStageMembers() {
    return {{"trobz300.bin", titleStage().bytes()},
            {"trobz301.bin", ringStage().bytes()},
            {"trobz302.bin", spikeStage().bytes()}};
}

bool realFirstStages(std::vector<ZdaMember>* members, Replay* replay) {
    std::string why;
    if (!loadReplay(TROBZ_SOURCE_DIR "/assets/replays/trobz301.txt", replay, &why)) return false;
    ArchiveDir built(TROBZ_BUILD_DIR "/data");
    members->clear();
    for (const char* name : {"trobz300", "trobz301"}) {
        uint32_t size = 0;
        unsigned char* bytes = loadZDAFile(ZDA_MAPS, name, "bin", &size);
        if (!bytes) return false;
        members->push_back(
            {std::string(name) + ".bin", std::vector<unsigned char>(bytes, bytes + size)});
        std::free(bytes);
    }
    return true;
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
    lastKey = lastKeyTyped = lastKeySym = 0;
    lastJButton = -1;
    done = escape = paused = 0;
    saved = 0;
    titleChoice = CHOICE_NONE;
    frame = 0;
    restartMusic = 0;
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

bool FlowTest::begin(const StageMap& map) {
    std::vector<unsigned char> bytes = map.bytes();
    return beginAttemptFromBytes(&hero, bytes.data(), (int)bytes.size());
}

// ---- the scripted player

int ScriptedPlayer::calls;

namespace {
std::vector<ScriptedPlayer::Step>* steps;
size_t next;
int stepStart;
std::vector<int> releaseNext, held;
// calls a step may wait before the run is given up
constexpr int WATCHDOG_CALLS = 20000;
} // namespace

ScriptedPlayer::ScriptedPlayer() {
    steps = new std::vector<Step>();
    next = 0;
    calls = stepStart = 0;
    releaseNext.clear();
    held.clear();
    drainEvents();
    inputHook = hook;
}

ScriptedPlayer::~ScriptedPlayer() {
    inputHook = nullptr;
    delete steps;
    steps = nullptr;
}

ScriptedPlayer& ScriptedPlayer::when(const std::string& what, Test ready, Act act) {
    steps->push_back({what, nullptr, ready, act, 0, 0});
    return *this;
}

ScriptedPlayer& ScriptedPlayer::tapWhen(const std::string& what, Test ready, int sym) {
    return when(what, ready, [sym] { tap(sym); });
}

ScriptedPlayer& ScriptedPlayer::repeat(const std::string& what, Test until, Test ready, Act act,
                                       int every) {
    steps->push_back({what, until, ready, act, every, -1000000});
    return *this;
}

bool ScriptedPlayer::finished() const {
    return next >= steps->size();
}

std::string ScriptedPlayer::stuckAt() const {
    return finished() ? std::string() : (*steps)[next].what;
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

void ScriptedPlayer::holdStageInput(const StageInput& in) {
    std::vector<int> keys;
    if (in.left) keys.push_back(K_LEFT);
    if (in.right) keys.push_back(K_RIGHT);
    if (in.jump) keys.push_back(K_SPACE);
    if (in.crawl) keys.push_back(K_DOWN);
    setHeld(keys);
}

void ScriptedPlayer::hook() {
    calls++;
    for (int s : releaseNext)
        keyUp(s);
    releaseNext.clear();
    if (!steps || next >= steps->size()) return;

    Step& s = (*steps)[next];
    if (s.until ? s.until() : s.ready()) {
        if (!s.until) s.act();
        next++;
        stepStart = calls;
        return;
    }
    if (s.until && s.ready() && calls - s.lastAct >= s.every) {
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

GameSeen playGame(std::vector<const char*> args, const std::function<bool()>& play) {
    alarm(TEST_ALARM_SECONDS);
    GameSeen seen;
    bool played = false;
    VirtualClock clock;
    ScriptedPlayer p;
    p.repeat(
        "a game", [] { return false; }, [] { return true; },
        [&] {
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
                if (storyPage >= 0 && (seen.pages.empty() || seen.pages.back() != storyPage))
                    seen.pages.push_back(storyPage);
                [[fallthrough]];
            default:
                if (now) ScriptedPlayer::tap(K_SPACE);
            }
        },
        1);
    args.insert(args.begin(), "trobz3");
    args.push_back(nullptr);
    seen.status = gameMain((int)args.size() - 1, const_cast<char**>(args.data()));
    alarm(0);
    return seen;
}
