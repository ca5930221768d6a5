// The music catalogue: the 13 tracks of the music archive, loading one by number, stopping
// it, and playing a module handed over as bytes once and freeing it when it ends.
#include "audio/music.h"

#include "audio/player.h"
#include "data/archive.h"

#include <SDL_mixer.h>
#include <cstdlib>

const char* const musix[NUM_TRACKS] = {
    "0.trobz3-title",  // title and game over
    "1.labyrinth",     // stages 1 and 11
    "2.anctemple",     // stage 2
    "3.happytimes",    // stage 3
    "4.almostthere",   // stage 4
    "5.risingsun",     // stage 5
    "6.deepwildness",  // stage 6
    "7.thechallenge",  // stage 7
    "8.twinrainbow",   // stage 8
    "9.yist",          // stage 9
    "10.tastyflowers", // stage 10
    "x.levelcomplete", // the stage-clear tally
    "y.jingle",        // the logo screen
};

std::atomic<ModPlugFile*> musBuf{nullptr};

// The stages cycle through the ten stage tracks; the title and the test stage have their own.
constexpr int STAGE_TRACKS = 10;

int stageTrack(int level) {
    if (level <= 0) return MUS_TITLE;
    return (level - 1) % STAGE_TRACKS + 1;
}

ModPlugFile* loadMusic(int track) {
    if (track < 0 || track >= NUM_TRACKS) return nullptr;
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_MUSIC, musix[track], "mod", &size);
    if (!bytes) return nullptr;
    mpLoops = -1;
    ModPlugFile* music = mpLoadModule(bytes, (int)size);
    std::free(bytes);
    return music;
}

// Unhooks and unloads a module; the hook is removed first so the audio thread has let go.
static void unhookAndUnload(ModPlugFile* music) {
    mp_hook = nullptr;
    Mix_HookMusic(nullptr, nullptr);
    mp_music = nullptr;
    mpUnloadModule(music);
}

void stopMusic(ModPlugFile* music) {
    if (music) unhookAndUnload(music);
}

void playMusicFromBuffer(const void* bytes, int size, int volume) {
    // The finished-callback may take the previous module at the same moment on the audio
    // thread; whichever side swaps it out of musBuf unloads it.
    ModPlugFile* previous = musBuf.exchange(nullptr);
    if (previous) {
        unhookAndUnload(previous);
    } else {
        Mix_HookMusic(nullptr, nullptr);
        mp_music = nullptr;
    }
    mpLoops = 1;
    ModPlugFile* music = mpLoadModule(bytes, size);
    musBuf = music;
    if (!music) return;
    MP_VolumeMusic(volume);
    mp_hook = musicFinished;
    MP_PlayMusic(music, 1);
}

void musicFinished() {
    ModPlugFile* music = musBuf.exchange(nullptr);
    if (music) unhookAndUnload(music);
}
