// The sound effects: 13 WAV samples from the sound archive, played on the mixer's channels.
#pragma once
#include <SDL_mixer.h>

enum SoundId {
    SND_KLONK = 0,   // bump block hit; menu cursor
    SND_KRACK = 1,   // block breaks or explodes
    SND_AJ = 2,      // the hero dies
    SND_BLUBB = 3,   // MASKY stomped
    SND_JIPIE = 4,   // game starts; stage clear
    SND_CHEW = 5,    // ring or bonus taken
    SND_KNIRK = 6,   // checkpoint touched
    SND_TADA = 7,    // extra life
    SND_TRDOOR = 8,  // trapdoor shuts
    SND_BOINK = 9,   // spike trap springs
    SND_BAT = 10,    // WINGEDEYE stomped
    SND_KLACK = 11,  // push block moves; door opens; SKULL stomped
    SND_SPLASH = 12, // into the water
    NUM_SOUNDS = 13
};

extern const char* const snd_name[NUM_SOUNDS];
extern Mix_Chunk* snd_data[NUM_SOUNDS];
extern int useSound; // sound effects are loaded only when set

void loadSFX();
void playSFX(int sound);
void freeSFX(int sound);
