#include "flow_fixture.h"

#include "anim/anims.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "data/archive.h"
#include "data/hiscores.h"
#include "data/settings.h"
#include "data/xorcode.h"
#include "game/flow.h"
#include "game/input.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

// ---- stage maps

StageMap::StageMap(int columns) : columns_(columns), cells_(size_t(columns) * 12, 0) {}

StageMap& StageMap::set(int column, int row, int value) {
    if (column < 0 || column >= columns_ || row < 0 || row >= 12)
        throw std::out_of_range("StageMap::set outside the map");
    cells_[size_t(column) * 12 + row] = (unsigned char)value;
    return *this;
}

StageMap& StageMap::fillRow(int row, int value) {
    for (int c = 0; c < columns_; c++)
        set(c, row, value);
    return *this;
}

std::vector<unsigned char> StageMap::bytes() const {
    std::vector<unsigned char> out;
    out.reserve(2 + cells_.size());
    out.push_back((unsigned char)((columns_ - 1) & 255));
    out.push_back((unsigned char)((columns_ - 1) >> 8));
    out.insert(out.end(), cells_.begin(), cells_.end());
    return out;
}

StageMap titleStage() {
    StageMap m(40);
    m.fillRow(11, T_GROUND);
    m.set(30, 10, T_MASKY);
    return m;
}

StageMap ringStage() {
    StageMap m(30);
    m.fillRow(11, T_GROUND);
    m.set(1, 10, T_START);
    m.set(4, 10, T_RING).set(6, 10, T_RING).set(8, 10, T_RING);
    m.set(10, 10, T_BONUS);
    m.set(14, 9, T_DOOR_TL).set(15, 9, T_DOOR_TR).set(14, 10, T_DOOR_BL).set(15, 10, T_DOOR_BR);
    return m;
}

StageMap spikeStage() {
    StageMap m(40);
    m.fillRow(11, T_GROUND);
    m.set(1, 10, T_START);
    m.set(SPIKE_STAGE_FLAG_X / 16, SPIKE_STAGE_FLAG_Y / 16, T_FLAG);
    m.set(10, 10, T_SPIKES);
    return m;
}

std::vector<ZdaMember> testStageMembers() {
    return {
        {"trobz300.bin", titleStage().bytes()},
        {"trobz301.bin", ringStage().bytes()},
        {"trobz302.bin", spikeStage().bytes()},
    };
}

// ---- directories and files

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

void writeHiscoreFile(const std::vector<std::string>& names, const std::vector<int>& scores) {
    std::vector<unsigned char> table(HISCORE_FILE_BYTES, 0);
    for (int i = 0; i < NUM_HISCORES; i++) {
        unsigned char* e = table.data() + i * HISCORE_ENTRY_BYTES;
        std::strncpy((char*)e, names[i].c_str(), HISCORE_NAME_LEN);
        e[9] = HS_PLAYER;
        uint32_t s = (uint32_t)scores[i];
        for (int b = 0; b < 4; b++)
            e[12 + b] = (unsigned char)(s >> (8 * b));
    }
    codebuf(table.data(), (int)table.size(), HISCORE_SEED);
    writeWholeFile("hiscores.dat", table);
}

std::vector<unsigned char> readHiscoreFile() {
    std::string raw = readWholeFile("hiscores.dat");
    std::vector<unsigned char> table(raw.begin(), raw.end());
    decodebuf(table.data(), (int)table.size(), HISCORE_SEED);
    return table;
}

// ---- SDL for single screens

void setUpFlowScreen() {
    useTestScreen(16);
    gfxPrepareBlackScreen();
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) throw std::runtime_error(SDL_GetError());
        if (MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) != 0)
            throw std::runtime_error(SDL_GetError());
        Mix_AllocateChannels(16);
    }
    useGameArchives(TROBZ_BUILD_DIR "/data");
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

void useGameArchives(const char* dir) {
    static std::string holder;
    closeArchives();
    holder = dir;
    zdaDirectory = holder.c_str();
    openArchives();
}

void tearDownFlowScreen() {
    inputHook = nullptr;
    stopStageMusic();
    flowScreen = FLOW_NONE;
    freeLevel();
    freeBlocks();
    destroyFonts();
    if (black) SDL_FreeSurface(black);
    black = nullptr;
    closeArchives();
    zdaDirectory = "./data";
}

// ---- the scripted player

int ScriptedPlayer::calls;
int ScriptedPlayer::watchdog = 200000;
std::vector<ScriptedPlayer::Step>* ScriptedPlayer::steps_;
size_t ScriptedPlayer::next_;
int ScriptedPlayer::stepStart_;
std::vector<int> ScriptedPlayer::releaseNext_;
std::vector<int> ScriptedPlayer::held_;

ScriptedPlayer::ScriptedPlayer() {
    steps_ = new std::vector<Step>();
    next_ = 0;
    calls = 0;
    stepStart_ = 0;
    releaseNext_.clear();
    held_.clear();
    drainEvents();
    inputHook = hook;
}

ScriptedPlayer::~ScriptedPlayer() {
    inputHook = nullptr;
    delete steps_;
    steps_ = nullptr;
}

ScriptedPlayer& ScriptedPlayer::when(const std::string& what, std::function<bool()> ready,
                                     std::function<void()> act) {
    steps_->push_back({what, nullptr, ready, act, 0, 0});
    return *this;
}

ScriptedPlayer& ScriptedPlayer::repeat(const std::string& what, std::function<bool()> until,
                                       std::function<bool()> ready, std::function<void()> act,
                                       int every) {
    steps_->push_back({what, until, ready, act, every, -1000000});
    return *this;
}

bool ScriptedPlayer::finished() const {
    return next_ >= steps_->size();
}

std::string ScriptedPlayer::stuckAt() const {
    return finished() ? std::string() : (*steps_)[next_].what;
}

void ScriptedPlayer::tap(int sym) {
    pushEvent(keyEvent(sym, true));
    pushEvent(keyEvent(sym, false));
}

void ScriptedPlayer::press(int sym) {
    pushEvent(keyEvent(sym, true));
    releaseNext_.push_back(sym);
}

void ScriptedPlayer::keyDown(int sym) {
    pushEvent(keyEvent(sym, true));
}
void ScriptedPlayer::keyUp(int sym) {
    pushEvent(keyEvent(sym, false));
}

void ScriptedPlayer::setHeld(const std::vector<int>& syms) {
    for (int s : held_)
        if (std::find(syms.begin(), syms.end(), s) == syms.end()) keyUp(s);
    for (int s : syms)
        if (std::find(held_.begin(), held_.end(), s) == held_.end()) keyDown(s);
    held_ = syms;
}

void ScriptedPlayer::hook() {
    calls++;
    for (int s : releaseNext_)
        keyUp(s);
    releaseNext_.clear();
    if (!steps_ || next_ >= steps_->size()) return;

    Step& s = (*steps_)[next_];
    if (s.until) {
        if (s.until()) {
            next_++;
            stepStart_ = calls;
            return;
        }
        if (s.ready() && calls - s.lastAct >= s.every) {
            s.lastAct = calls;
            s.act();
        }
    } else if (s.ready()) {
        s.act();
        next_++;
        stepStart_ = calls;
        return;
    }
    if (calls - stepStart_ > watchdog) {
        // the game never reached the screen this step waits for: nothing can end the
        // blocking loop the game sits in now
        std::fprintf(stderr, "scripted player stuck waiting for: %s\n", s.what.c_str());
        ADD_FAILURE() << "stuck waiting for: " << s.what;
        std::abort();
    }
}
