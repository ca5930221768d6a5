// The settings' defaults. The configuration file and the options menu change them.
#include "data/settings.h"

int START_KEY = DEFAULT_START_KEY;
int LEFT_KEY = DEFAULT_LEFT_KEY;
int RIGHT_KEY = DEFAULT_RIGHT_KEY;
int UP_KEY = DEFAULT_UP_KEY;
int DOWN_KEY = DEFAULT_DOWN_KEY;
int JUMP_KEY = DEFAULT_JUMP_KEY;
int PAUSE_KEY = DEFAULT_PAUSE_KEY;
int START_BUTTON = DEFAULT_START_BUTTON;
int JUMP_BUTTON = DEFAULT_JUMP_BUTTON;
int PAUSE_BUTTON = DEFAULT_PAUSE_BUTTON;
int UP_BUTTON = DEFAULT_UP_BUTTON;
int RIGHT_BUTTON = DEFAULT_RIGHT_BUTTON;
int DOWN_BUTTON = DEFAULT_DOWN_BUTTON;
int LEFT_BUTTON = DEFAULT_LEFT_BUTTON;

void resetDefaultControls() {
    START_KEY = DEFAULT_START_KEY;
    LEFT_KEY = DEFAULT_LEFT_KEY;
    RIGHT_KEY = DEFAULT_RIGHT_KEY;
    UP_KEY = DEFAULT_UP_KEY;
    DOWN_KEY = DEFAULT_DOWN_KEY;
    JUMP_KEY = DEFAULT_JUMP_KEY;
    PAUSE_KEY = DEFAULT_PAUSE_KEY;
    START_BUTTON = DEFAULT_START_BUTTON;
    JUMP_BUTTON = DEFAULT_JUMP_BUTTON;
    PAUSE_BUTTON = DEFAULT_PAUSE_BUTTON;
    UP_BUTTON = DEFAULT_UP_BUTTON;
    RIGHT_BUTTON = DEFAULT_RIGHT_BUTTON;
    DOWN_BUTTON = DEFAULT_DOWN_BUTTON;
    LEFT_BUTTON = DEFAULT_LEFT_BUTTON;
}

int _mus_volume_100_ = DEFAULT_MUS_VOLUME;
int _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
int _mus_volume_ = mixerVolume(DEFAULT_MUS_VOLUME);
int _sfx_volume_ = mixerVolume(DEFAULT_SFX_VOLUME);

int cfgFullscreen = 0;
int cfgZoom = 1; // a doubled window unless the file says otherwise
int cfgaa2 = 0;
int cfgs2x = 0;
int cfgbpp = 16;

int mpFlags = MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION;
int mpResamplingMode = 1;
int mpReverbDepth = 0;
int mpReverbDelay = 0;
int mpBassAmount = 0;
int mpBassRange = 0;
int mpSurroundDepth = 0;
int mpSurroundDelay = 0;
