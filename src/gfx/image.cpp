// Images: BMP members of the graphics archive, decoded and converted once to the format of
// `screen` so that every later blit is a same-format copy, with magenta as the transparent
// colour where the image wants one.
#include "gfx/image.h"

#include "data/archive.h"
#include "data/fatal.h"
#include "gfx/video.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

SDL_Surface* logo;
SDL_Surface* background;

namespace {

// Where the bytes of an image that does not decode are left for inspection.
const char* const BAD_IMAGE_DUMP = "fuu.xxx";

void dumpBadImage(const unsigned char* bytes, uint32_t size) {
    FILE* f = std::fopen(BAD_IMAGE_DUMP, "wb");
    if (!f) return;
    std::fwrite(bytes, 1, size, f);
    std::fclose(f);
}

// True when a 2-byte-per-pixel image holds the pixel value k anywhere.
bool holds16(SDL_Surface* image, Uint32 k) {
    bool found = false;
    SDL_LockSurface(image);
    for (int y = 0; y < image->h && !found; y++) {
        const Uint16* row = (const Uint16*)((const Uint8*)image->pixels + (size_t)y * image->pitch);
        for (int x = 0; x < image->w; x++) {
            if (row[x] == k) {
                found = true;
                break;
            }
        }
    }
    SDL_UnlockSurface(image);
    return found;
}

} // namespace

void setColorKey(SDL_Surface* image, int r, int g, int b) {
    if (!image) return;
    SDL_Palette* pal = image->format->palette;
    if (pal && pal->ncolors > 0) {
        // the first matching entry; without one, entry 0 becomes transparent
        Uint32 key = 0;
        for (int i = 0; i < pal->ncolors; i++) {
            const SDL_Color& c = pal->colors[i];
            if (c.r == r && c.g == g && c.b == b) {
                key = (Uint32)i;
                break;
            }
        }
        SDL_SetColorKey(image, SDL_SRCCOLORKEY, key);
        return;
    }
    Uint32 k = SDL_MapRGB(image->format, (Uint8)r, (Uint8)g, (Uint8)b);
    if (image->format->BytesPerPixel == 2) {
        // an image without the key colour blits faster as an opaque rectangle
        if (holds16(image, k))
            SDL_SetColorKey(image, SDL_SRCCOLORKEY, k);
        else
            SDL_SetColorKey(image, 0, 0);
        return;
    }
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, k);
}

SDL_Surface* loadGFX(const char* name, int useColorKey, int r, int g, int b) {
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_GFX, name, "bmp", &size);
    if (!bytes) error("Error loading gfx file", name);

    SDL_RWops* stream = SDL_RWFromMem(bytes, (int)size);
    SDL_Surface* decoded = stream ? SDL_LoadBMP_RW(stream, 0) : nullptr;
    if (!decoded) {
        dumpBadImage(bytes, size);
        error("Unable to load bitmap", SDL_GetError());
    }

    Uint32 flags = SDL_HWSURFACE;
    if (useColorKey) {
        setColorKey(decoded, r, g, b);
        flags |= SDL_SRCCOLORKEY;
    } else {
        SDL_SetColorKey(decoded, 0, 0);
    }
    SDL_Surface* image = SDL_ConvertSurface(decoded, screen->format, flags);
    if (!image) error("Unable to convert image", name);

    SDL_FreeSurface(decoded);
    SDL_FreeRW(stream);
    std::free(bytes);
    return image;
}

void blitImage(SDL_Surface* image, Sint16 x, Sint16 y, SDL_Surface* dst) {
    copyImage(image, nullptr, dst, x, y);
}

namespace {

bool sameFormat(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == b->BytesPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
           a->Bmask == b->Bmask && !a->palette && !b->palette;
}

} // namespace

void copyImage(SDL_Surface* image, const SDL_Rect* area, SDL_Surface* dst, int x, int y) {
    if (!image || !dst) return;
    // SDL copies opaque rows with a string move that slows to a crawl when the source
    // or the target row does not start on an 8-byte boundary, which a backdrop scrolled
    // by single pixels does three frames in four.
    if ((image->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) || image == dst ||
        !sameFormat(image->format, dst->format)) {
        SDL_Rect src = area ? *area : SDL_Rect{0, 0, (Uint16)image->w, (Uint16)image->h};
        SDL_Rect at = {(Sint16)x, (Sint16)y, 0, 0};
        SDL_UpperBlit(image, &src, dst, &at);
        return;
    }
    int sx = 0, sy = 0, w = image->w, h = image->h;
    if (area) {
        sx = area->x;
        sy = area->y;
        w = area->w;
        h = area->h;
    }
    // the area within the image, then the target within the clip rectangle
    if (sx < 0) {
        w += sx;
        x -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        y -= sy;
        sy = 0;
    }
    w = std::min(w, image->w - sx);
    h = std::min(h, image->h - sy);
    const SDL_Rect& clip = dst->clip_rect;
    if (x < clip.x) {
        w -= clip.x - x;
        sx += clip.x - x;
        x = clip.x;
    }
    if (y < clip.y) {
        h -= clip.y - y;
        sy += clip.y - y;
        y = clip.y;
    }
    w = std::min(w, clip.x + clip.w - x);
    h = std::min(h, clip.y + clip.h - y);
    if (w <= 0 || h <= 0) return;

    if (SDL_LockSurface(image) != 0) return;
    if (SDL_LockSurface(dst) != 0) {
        SDL_UnlockSurface(image);
        return;
    }
    const int bpp = dst->format->BytesPerPixel;
    const Uint8* from = (const Uint8*)image->pixels + sy * image->pitch + sx * bpp;
    Uint8* to = (Uint8*)dst->pixels + y * dst->pitch + x * bpp;
    for (int row = 0; row < h; row++)
        std::memcpy(to + row * dst->pitch, from + row * image->pitch, (size_t)w * bpp);
    SDL_UnlockSurface(dst);
    SDL_UnlockSurface(image);
}

void freeSurface(SDL_Surface* image) {
    SDL_FreeSurface(image);
}

SDL_Surface* createImage(int width, int height, int useColorKey) {
    const SDL_PixelFormat* f = screen->format;
    Uint32 flags = useColorKey ? (SDL_SRCCOLORKEY | SDL_HWSURFACE) : SDL_HWSURFACE;
    SDL_Surface* image = SDL_CreateRGBSurface(flags, width, height, f->BitsPerPixel, f->Rmask,
                                              f->Gmask, f->Bmask, f->Amask);
    if (!image) error("Unable to create image", SDL_GetError());
    fillRect(image, 0, 0, (Uint16)image->w, (Uint16)image->h, BLACK);
    return image;
}
