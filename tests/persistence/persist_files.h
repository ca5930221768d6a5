// Helpers for the file tests: whole-file reads and writes, the settings' start values, and a
// way to make the next writes fail part-way as on a full disk.
#pragma once
#include <string>

std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// Every setting the configuration file holds back to its value at program start.
void restoreStartSettings();

// While alive, no file of this process may grow beyond `bytes`: writes past it fail (EFBIG)
// as they would on a full disk.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(long bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    long oldSoft_;
    bool oldUnlimited_;
    void (*oldHandler_)(int);
};
