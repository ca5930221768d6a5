// Whole-file replacement through a temporary file in the same directory. The temporary file
// must sit beside the target, since rename is atomic only within one file system; it is
// flushed to disk before the rename so that a crash right after cannot leave an empty file
// in the old one's place. An existing file keeps its permission bits.
#include "data/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const char TEMP_SUFFIX[] = ".tmp";
constexpr size_t MAX_PATH_LEN = 4096;

// write() until every byte is out; false on any error, a full disk included.
static bool writeAll(int fd, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        bytes += n;
        size -= (size_t)n;
    }
    return true;
}

bool writeFileSafely(const char* path, const void* data, size_t size) {
    if (!path || !*path || (size > 0 && !data)) return false;
    size_t len = std::strlen(path);
    if (len + sizeof(TEMP_SUFFIX) > MAX_PATH_LEN) return false;
    char temp[MAX_PATH_LEN];
    std::memcpy(temp, path, len);
    std::memcpy(temp + len, TEMP_SUFFIX, sizeof(TEMP_SUFFIX));

    // a leftover from an earlier crash is removed and the file made afresh, so that a link
    // left in its place is never written through to whatever it points at
    unlink(temp);
    int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat old;
    if (stat(path, &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);

    bool ok = writeAll(fd, (const unsigned char*)data, size);
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp, path) == 0;
    if (!ok) unlink(temp);
    return ok;
}
