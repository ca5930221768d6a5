// Shared helpers for the tests: a headless picture to draw into, and a scratch directory
// that a test can make its working directory.
#pragma once
#include <string>

// Brings up SDL video (the caller's environment selects the dummy driver) with a 320x240
// window-less mode of the given depth as `screen`, and maps the named colours.
void useTestScreen(int bpp = 16);

// Makes a fresh empty directory the working directory for the life of the object and
// removes it afterwards.
class ScopedTempDir {
  public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& path() const { return dir_; }

  private:
    std::string dir_;
    std::string previous_;
};
