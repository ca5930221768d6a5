// Fatal errors go to standard output, as the game has always reported them.
#include "data/fatal.h"

#include <cstdio>
#include <cstdlib>

void error(const char* message, const char* detail) {
    std::printf("%s: %s\n", message ? message : "", detail ? detail : "unknown");
    std::fflush(stdout);
    std::exit(1);
}
