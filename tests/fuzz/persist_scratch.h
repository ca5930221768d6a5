// For the fuzz targets of the game's own files: each input runs inside a private scratch
// directory (in memory when /dev/shm exists), made the working directory for that run only,
// so that the readers find the input as ./trobz3.cfg, ./hiscores.dat, ./savegame.dat or
// ./gfx.zda and libFuzzer's own relative paths keep working between runs.
#pragma once
#include "fuzz_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace persist_fuzz {

// The files a reader or writer may leave behind.
inline const char* const SCRATCH_FILES[] = {
    "trobz3.cfg",   "trobz3.cfg.tmp",   "hiscores.dat", "hiscores.dat.tmp",
    "savegame.dat", "savegame.dat.tmp", "gfx.zda"};

inline std::string& scratchDir() {
    static std::string dir;
    return dir;
}

inline void removeScratch() {
    const std::string& dir = scratchDir();
    if (dir.empty()) return;
    for (const char* f : SCRATCH_FILES)
        unlink((dir + "/" + f).c_str());
    rmdir(dir.c_str());
}

inline const std::string& makeScratch() {
    std::string& dir = scratchDir();
    if (dir.empty()) {
        char shm[] = "/dev/shm/trobz3-fuzz-XXXXXX";
        char tmp[] = "/tmp/trobz3-fuzz-XXXXXX";
        const char* made = mkdtemp(shm);
        if (!made) made = mkdtemp(tmp);
        FUZZ_CHECK(made != nullptr);
        dir = made;
        std::atexit(removeScratch);
    }
    return dir;
}

// For the life of the object the scratch directory, emptied, is the working directory.
class ScratchRun {
  public:
    ScratchRun() {
        home_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        FUZZ_CHECK(home_ >= 0);
        FUZZ_CHECK(chdir(makeScratch().c_str()) == 0);
        for (const char* f : SCRATCH_FILES)
            unlink(f);
    }
    ~ScratchRun() {
        if (fchdir(home_) != 0) std::abort();
        close(home_);
    }
    ScratchRun(const ScratchRun&) = delete;
    ScratchRun& operator=(const ScratchRun&) = delete;

  private:
    int home_;
};

inline void putFile(const char* name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(name, "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
    FUZZ_CHECK(std::fclose(f) == 0);
}

} // namespace persist_fuzz
