#include "persist_files.h"

#include "data/settings.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), (std::streamsize)bytes.size());
    if (!out) throw std::runtime_error("cannot write " + path);
}

void restoreStartSettings() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    _mus_volume_ = mixerVolume(DEFAULT_MUS_VOLUME);
    _sfx_volume_ = mixerVolume(DEFAULT_SFX_VOLUME);
    cfgFullscreen = 0;
    cfgZoom = 1;
    cfgaa2 = 0;
    cfgs2x = 0;
    cfgbpp = 16;
    mpFlags = MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION;
    mpResamplingMode = 1;
    mpReverbDepth = mpReverbDelay = mpBassAmount = mpBassRange = 0;
    mpSurroundDepth = mpSurroundDelay = 0;
}

ScopedFileSizeLimit::ScopedFileSizeLimit(long bytes) {
    struct rlimit rl;
    if (getrlimit(RLIMIT_FSIZE, &rl) != 0) throw std::runtime_error("getrlimit");
    oldUnlimited_ = rl.rlim_cur == RLIM_INFINITY;
    oldSoft_ = oldUnlimited_ ? 0 : (long)rl.rlim_cur;
    // without this the process would be killed by the signal instead of seeing EFBIG
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rl.rlim_cur = (rlim_t)bytes;
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) throw std::runtime_error("setrlimit");
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
    struct rlimit rl;
    getrlimit(RLIMIT_FSIZE, &rl);
    rl.rlim_cur = oldUnlimited_ ? RLIM_INFINITY : (rlim_t)oldSoft_;
    setrlimit(RLIMIT_FSIZE, &rl);
    std::signal(SIGXFSZ, oldHandler_);
}
