// The module music player: libmodplug renders MOD and XM modules straight into the mixer's
// output buffer from SDL_mixer's music hook, with play counts, volume ramps and a
// finished-callback. The state the audio thread shares with the main thread is atomic.
#pragma once
#include <SDL.h>
#include <atomic>
#include <libmodplug/modplug.h>

typedef void (*MusicFinishedHook)();

// State shared with the audio thread.
extern std::atomic<ModPlugFile*> mp_music;     // the hooked module, or null
extern std::atomic<int> mp_volume;             // target volume (0 ... 128), 128
extern std::atomic<int> mp_fade;               // current ramp volume, 128
extern std::atomic<int> mp_delta;              // ramp step per callback: +1, -1 or 0
extern std::atomic<int> mpLoops;               // plays left: < 0 endless, 0 or 1 once
extern std::atomic<MusicFinishedHook> mp_hook; // called when the music ends

// Main-thread state.
extern int mpChannels;            // 2, recorded by MP_OpenAudio
extern int mpFrequency;           // recorded by MP_OpenAudio
extern ModPlug_Settings settings; // scratch record for every load and start

// Fills `settings` from the library, the player parameters over it, and applies it.
void applyPlayerSettings();

// Loading and unloading through the player: applies the settings, loads the module and
// remembers the exact length of one play so that repeats join without a gap. Every module
// the game loads goes through these; a module loaded elsewhere still plays and repeats.
ModPlugFile* mpLoadModule(const void* bytes, int size);
void mpUnloadModule(ModPlugFile* music);
void mpRememberModule(ModPlugFile* music, const void* bytes, int size);
void mpForgetModule(ModPlugFile* music);

int MP_OpenAudio(int frequency, Uint16 format, int channels, int chunkSize);
ModPlugFile* MP_LoadMusic(const void* bytes, int size, int loops);
void MP_PlayMusic(ModPlugFile* music, int loops);
void MP_FadeInMusic(ModPlugFile* music, int loops, int ms);
int MP_FadeOutMusic();
void MP_VolumeMusic(int volume);
void MP_HaltMusic();
void MP_FreeMusic(ModPlugFile* music);
int MP_PlayingMusic();
void MP_HookMusicFinished(MusicFinishedHook hook);
void MP_HookMusic(void* udata, Uint8* stream, int len);
