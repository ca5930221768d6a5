// The music tracks: 13 modules in the music archive, loaded by number.
#pragma once
#include <atomic>
#include <libmodplug/modplug.h>

enum MusicId {
    MUS_TITLE = 0,        // title and game over
    MUS_STAGE_CLEAR = 11, // the stage-clear tally
    MUS_JINGLE = 12,      // the logo screen
    NUM_TRACKS = 13
};

extern const char* const musix[NUM_TRACKS];
extern std::atomic<ModPlugFile*> musBuf; // module started by playMusicFromBuffer

// Track of a stage: 0 for the title and the test stage, else ((level - 1) mod 10) + 1.
int stageTrack(int level);

ModPlugFile* loadMusic(int track);
void stopMusic(ModPlugFile* music);
void playMusicFromBuffer(const void* bytes, int size, int volume);
void musicFinished();
