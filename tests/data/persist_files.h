// Helpers for the file tests: writing a file's bytes, the settings' start values, and a way
// to make the next writes fail part-way as on a full disk.
#pragma once
#include "data/settings.h"

#include <csignal>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Every setting the configuration file holds back to its value at program start.
inline void restoreStartSettings() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    _mus_volume_ = mixerVolume(DEFAULT_MUS_VOLUME);
    _sfx_volume_ = mixerVolume(DEFAULT_SFX_VOLUME);
    cfgFullscreen = cfgaa2 = cfgs2x = 0;
    cfgZoom = 1;
    cfgbpp = 16;
    mpFlags = MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION;
    mpResamplingMode = 1;
    mpReverbDepth = mpReverbDelay = mpBassAmount = mpBassRange = 0;
    mpSurroundDepth = mpSurroundDelay = 0;
}

// While alive, no file of this process may grow beyond `bytes`: writes past it fail (EFBIG)
// as they would on a full disk.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(long bytes) {
        if (getrlimit(RLIMIT_FSIZE, &old_) != 0) throw std::runtime_error("getrlimit");
        // without this the process would be killed by the signal instead of seeing EFBIG
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = old_;
        rl.rlim_cur = (rlim_t)bytes;
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) throw std::runtime_error("setrlimit");
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    struct rlimit old_;
    void (*oldHandler_)(int);
};
