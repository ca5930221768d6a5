// The sound effects: 13 WAV samples read from the sound archive once and played on the
// first free mixer channel.
#include "audio/sound.h"

#include "data/archive.h"
#include "data/fatal.h"

#include <cstdlib>

const char* const snd_name[NUM_SOUNDS] = {
    "klonk",  // bump block; menu cursor
    "krack",  // block breaks or explodes
    "aj",     // the hero dies
    "blubb",  // MASKY stomped
    "jipie",  // game starts; stage clear
    "chew",   // ring or bonus
    "knirk",  // checkpoint
    "tada",   // extra life
    "trdoor", // trapdoor shuts
    "boink",  // spike trap
    "bat",    // WINGEDEYE stomped
    "klack",  // push block, door opens, SKULL stomped
    "splash", // into the water
};

Mix_Chunk* snd_data[NUM_SOUNDS];
int useSound = 0;

void loadSFX() {
    if (!useSound) return;
    for (int i = 0; i < NUM_SOUNDS; i++) {
        if (snd_data[i]) continue; // loaded once for the whole run
        uint32_t size = 0;
        unsigned char* bytes = loadZDAFile(ZDA_SOUND, snd_name[i], "wav", &size);
        if (!bytes) error("Can't load sound file", snd_name[i]);
        SDL_RWops* stream = SDL_RWFromMem(bytes, (int)size);
        Mix_Chunk* chunk = stream ? Mix_LoadWAV_RW(stream, 0) : nullptr;
        if (stream) SDL_FreeRW(stream);
        std::free(bytes);
        if (!chunk) error("Unable to load sound", SDL_GetError());
        snd_data[i] = chunk;
    }
}

void playSFX(int sound) {
    if (sound < 0 || sound >= NUM_SOUNDS || !snd_data[sound]) return;
    Mix_PlayChannelTimed(-1, snd_data[sound], 0, -1);
}

void freeSFX(int sound) {
    if (sound < 0 || sound >= NUM_SOUNDS || !snd_data[sound]) return;
    Mix_FreeChunk(snd_data[sound]);
    snd_data[sound] = nullptr;
}
