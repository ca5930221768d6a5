// The module music player: libmodplug renders into the mixer's buffer from the music hook,
// which also steps the volume ramps and counts the plays.
//
// The hook runs on the audio thread; everything else on the main thread. The state both
// use is atomic, the ramp step is a compare-and-swap so a volume change made while the hook
// runs is never overwritten, and every call that touches a module the hook may be rendering
// holds SDL's audio lock.
//
// Repeats are seamless: the length of one play is known in frames when the module is loaded
// (see modtiming.h), so the hook renders exactly up to the end, seeks back to the start and
// fills the rest of the same buffer. For a module whose length is not known it fills the rest
// of the buffer from the start as soon as the library reports the end.
#include "audio/player.h"

#include "audio/modtiming.h"
#include "data/settings.h"

#include <SDL_mixer.h>
#include <mutex>

std::atomic<ModPlugFile*> mp_music{nullptr};
std::atomic<int> mp_volume{128};
std::atomic<int> mp_fade{128};
std::atomic<int> mp_delta{0};
std::atomic<int> mpLoops{0};
std::atomic<MusicFinishedHook> mp_hook{nullptr};

int mpChannels = 2;
int mpFrequency = 0;
ModPlug_Settings settings;

// The play being rendered: its length in frames (0 unknown), the frames rendered of it so
// far and the bytes of one output frame. Set before the hook is installed.
static std::atomic<long> mpPlayFrames{0};
static std::atomic<long> mpPlayed{0};
static std::atomic<int> mpFrameBytes{4};

// Lengths of the loaded modules, looked up when one starts. A module is forgotten when it
// is unloaded through this layer; the finished-callback may unload on the audio thread, so
// the table has a lock.
namespace {
constexpr int MAX_KNOWN_MODULES = 16;
struct KnownModule {
    ModPlugFile* module;
    long frames;
    int frequency;
};
KnownModule knownModules[MAX_KNOWN_MODULES];
int nextKnown = 0;
std::mutex knownLock;

long knownFrames(ModPlugFile* module) {
    std::lock_guard<std::mutex> guard(knownLock);
    for (const KnownModule& k : knownModules)
        if (k.module == module && k.frequency == mpFrequency) return k.frames;
    return 0;
}

// Decrements a positive play count; a count changed meanwhile by the main thread wins.
int countPlay() {
    int loops = mpLoops.load();
    if (loops > 0 && mpLoops.compare_exchange_strong(loops, loops - 1)) return loops - 1;
    return mpLoops.load();
}
} // namespace

void mpRememberModule(ModPlugFile* module, const void* bytes, int size) {
    if (!module || !bytes || size <= 0) return;
    long frames = moduleFrames(bytes, (size_t)size, mpFrequency);
    std::lock_guard<std::mutex> guard(knownLock);
    KnownModule* slot = nullptr;
    for (KnownModule& k : knownModules)
        if (k.module == module) slot = &k;
    if (!slot) {
        slot = &knownModules[nextKnown];
        nextKnown = (nextKnown + 1) % MAX_KNOWN_MODULES;
    }
    *slot = {module, frames, mpFrequency};
}

void mpForgetModule(ModPlugFile* module) {
    std::lock_guard<std::mutex> guard(knownLock);
    for (KnownModule& k : knownModules)
        if (k.module == module) k = {nullptr, 0, 0};
}

ModPlugFile* mpLoadModule(const void* bytes, int size) {
    if (!bytes || size <= 0) return nullptr;
    applyPlayerSettings();
    ModPlugFile* module = ModPlug_Load(bytes, size);
    mpRememberModule(module, bytes, size);
    return module;
}

void mpUnloadModule(ModPlugFile* module) {
    if (!module) return;
    mpForgetModule(module);
    ModPlug_Unload(module);
}

void applyPlayerSettings() {
    ModPlug_GetSettings(&settings);
    settings.mFlags = mpFlags;
    settings.mChannels = mpChannels;
    settings.mBits = 16;
    settings.mFrequency = mpFrequency;
    settings.mResamplingMode = mpResamplingMode;
    settings.mReverbDepth = mpReverbDepth;
    settings.mReverbDelay = mpReverbDelay;
    settings.mBassAmount = mpBassAmount;
    settings.mBassRange = mpBassRange;
    settings.mSurroundDepth = mpSurroundDepth;
    settings.mSurroundDelay = mpSurroundDelay;
    ModPlug_SetSettings(&settings);
}

int MP_OpenAudio(int frequency, Uint16 format, int channels, int chunkSize) {
    int result = Mix_OpenAudio(frequency, format, channels, chunkSize);
    mpFrequency = frequency;
    mpChannels = channels;
    return result;
}

ModPlugFile* MP_LoadMusic(const void* bytes, int size, int loops) {
    mpLoops = loops;
    return mpLoadModule(bytes, size);
}

// Rewinds the module at volume `volume` and hooks it. The rewind and the volume are set
// under the audio lock, as the module may be the one the hook is rendering right now.
static void startModule(ModPlugFile* music, int volume) {
    applyPlayerSettings();
    long frames = knownFrames(music);
    SDL_LockAudio();
    ModPlug_SetMasterVolume(music, volume);
    ModPlug_Seek(music, 0);
    mpPlayFrames = frames;
    mpPlayed = 0;
    mpFrameBytes = (mpChannels > 0 ? mpChannels : 2) * 2;
    SDL_UnlockAudio();
    Mix_HookMusic(MP_HookMusic, music);
    mp_music = music;
}

void MP_PlayMusic(ModPlugFile* music, int loops) {
    if (!music) return;
    mpLoops = loops;
    startModule(music, mp_fade);
}

void MP_FadeInMusic(ModPlugFile* music, int loops, int ms) {
    (void)ms; // the ramp always climbs one unit per buffer
    if (!music || mp_volume <= 0) return;
    mpLoops = loops;
    mp_fade = 1;
    mp_delta = 1;
    startModule(music, 1);
}

int MP_FadeOutMusic() {
    mp_delta = -1;
    int fade = mp_volume - 1;
    mp_fade = fade;
    return fade;
}

// The module's volume and the end of the ramp are set under one lock: a ramp step of the hook
// coming in between would leave the module at the old ramp's level for good.
void MP_VolumeMusic(int volume) {
    SDL_LockAudio();
    ModPlugFile* music = mp_music;
    if (music) ModPlug_SetMasterVolume(music, volume);
    mp_volume = volume;
    mp_fade = volume;
    SDL_UnlockAudio();
}

void MP_HaltMusic() {
    Mix_HookMusic(nullptr, nullptr);
    mp_music = nullptr;
}

void MP_FreeMusic(ModPlugFile* music) {
    mpUnloadModule(music);
}

int MP_PlayingMusic() {
    return mp_music.load() ? 1 : 0;
}

void MP_HookMusicFinished(MusicFinishedHook hook) {
    mp_hook = hook;
}

void MP_HookMusic(void* udata, Uint8* stream, int len) {
    ModPlugFile* m = static_cast<ModPlugFile*>(udata);
    if (!m || !stream || len <= 0) return;

    // volume ramp
    int fade = mp_fade.load();
    if (fade != mp_volume.load() && fade >= 1) {
        int next = fade + mp_delta.load();
        if (mp_fade.compare_exchange_strong(fade, next)) ModPlug_SetMasterVolume(m, next);
    }
    bool fadedOut = mp_fade.load() == 0 && mp_volume.load() > 0;
    int loops = mpLoops.load();
    bool moreToCome = loops < 0 || loops > 1;
    int frameBytes = mpFrameBytes.load();
    long playFrames = mpPlayFrames.load();
    long played = mpPlayed.load();

    // a repeat inside this buffer: render up to the end, then from the start
    if (!fadedOut && moreToCome && playFrames > 0 && played + len / frameBytes >= playFrames) {
        int head = (int)(playFrames - played) * frameBytes;
        int got = head > 0 ? ModPlug_Read(m, stream, head) : 0;
        countPlay();
        ModPlug_Seek(m, 0);
        int rest = ModPlug_Read(m, stream + got, len - got);
        mpPlayed = rest / frameBytes;
        return;
    }

    int n = ModPlug_Read(m, stream, len);
    mpPlayed = played + n / frameBytes;
    if (!fadedOut && n >= len) return;

    // the end of a play
    loops = countPlay();
    if (loops != 0 && n < len) {
        ModPlug_Seek(m, 0);
        int rest = ModPlug_Read(m, stream + n, len - n);
        mpPlayed = rest / frameBytes;
        return;
    }
    MusicFinishedHook hook = mp_hook.load();
    if (hook) {
        hook(); // the finished-callback stops the music itself
        return;
    }
    Mix_HookMusic(nullptr, nullptr);
    mp_music = nullptr;
}
