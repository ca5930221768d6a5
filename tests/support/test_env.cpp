#include "test_env.h"

#include "gfx/video.h"

#include <SDL.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

void useTestScreen(int bpp) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (!std::getenv("SDL_VIDEODRIVER"))
            setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error(SDL_GetError());
    }
    fscreen = nullptr;
    screen = SDL_SetVideoMode(320, 240, bpp, SDL_SWSURFACE);
    if (!screen)
        throw std::runtime_error(SDL_GetError());
    gfxInitColors();
}

ScopedTempDir::ScopedTempDir() {
    char pattern[] = "/tmp/trobz3-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir_);
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
}
