// The intro screens shown before the title: the maker's logo ("vemo"), the warning page and
// the credits page. Each has the four operations of a row of the `screens` table: init,
// update (1 = the screen is over), render (into the given surface) and shutdown.
#pragma once
#include <SDL.h>
#include <array>

// Sine and cosine in 512 steps to a full turn, scaled by 1024, truncated toward zero.
constexpr int TRIG_STEPS = 512;
extern const std::array<int, TRIG_STEPS> tsin;
extern const std::array<int, TRIG_STEPS> tcos;

int vemoInit();
int vemoUpdate();
int vemoRender(SDL_Surface* target);
int vemoShutdown();

int warningInit();
int warningUpdate();
int warningRender(SDL_Surface* target);
int warningShutdown();

int opensourceInit();
int opensourceUpdate();
int opensourceRender(SDL_Surface* target);
int opensourceShutdown();
