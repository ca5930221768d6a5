// Settings that the configuration file stores and the rest of the game reads: the control
// bindings, the two volumes, the screen mode and the music player's sound parameters.
// They live here, below everything that uses them.
#pragma once

// Keyboard bindings (SDL 1.2 key symbols) and joystick bindings (button numbers, or hat
// direction masks for the four directions); -1 = unbound.
extern int START_KEY, LEFT_KEY, RIGHT_KEY, UP_KEY, DOWN_KEY, JUMP_KEY, PAUSE_KEY;
extern int START_BUTTON, JUMP_BUTTON, PAUSE_BUTTON;
extern int UP_BUTTON, RIGHT_BUTTON, DOWN_BUTTON, LEFT_BUTTON;

constexpr int DEFAULT_START_KEY = 13;  // Return
constexpr int DEFAULT_LEFT_KEY = 276;  // cursor left
constexpr int DEFAULT_RIGHT_KEY = 275; // cursor right
constexpr int DEFAULT_UP_KEY = 273;    // cursor up
constexpr int DEFAULT_DOWN_KEY = 274;  // cursor down
constexpr int DEFAULT_JUMP_KEY = 32;   // space bar
constexpr int DEFAULT_PAUSE_KEY = 9;   // Tab
constexpr int DEFAULT_START_BUTTON = 7;
constexpr int DEFAULT_JUMP_BUTTON = 0;
constexpr int DEFAULT_PAUSE_BUTTON = 3;
constexpr int DEFAULT_UP_BUTTON = 1;    // hat up
constexpr int DEFAULT_RIGHT_BUTTON = 2; // hat right
constexpr int DEFAULT_DOWN_BUTTON = 4;  // hat down
constexpr int DEFAULT_LEFT_BUTTON = 8;  // hat left

// Every binding back to its default.
void resetDefaultControls();

// Volumes: as the player sets them (0 ... 100) and as handed to the mixer (0 ... 128).
extern int _mus_volume_100_; // 100 by default
extern int _sfx_volume_100_; // 15 by default
extern int _mus_volume_;     // _mus_volume_100_ * 128 / 100
extern int _sfx_volume_;     // _sfx_volume_100_ * 128 / 100
constexpr int DEFAULT_MUS_VOLUME = 100;
constexpr int DEFAULT_SFX_VOLUME = 15;
inline int mixerVolume(int volume100) {
    return volume100 * 128 / 100;
}

// Screen mode as stored in the configuration file (used at the next start).
extern int cfgFullscreen, cfgZoom, cfgaa2, cfgs2x;
extern int cfgbpp; // 16

// Music player sound parameters (libmodplug feature flags and effect settings).
constexpr int MP_FLAG_OVERSAMPLING = 1;
constexpr int MP_FLAG_NOISE_REDUCTION = 2;
constexpr int MP_FLAG_REVERB = 4;
constexpr int MP_FLAG_MEGABASS = 8;
constexpr int MP_FLAG_SURROUND = 16;
extern int mpFlags;          // 3: oversampling and noise reduction
extern int mpResamplingMode; // 1: linear
extern int mpReverbDepth, mpReverbDelay, mpBassAmount, mpBassRange, mpSurroundDepth,
    mpSurroundDelay;
