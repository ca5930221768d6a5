// The three 2x scalers, at 2 and 3 bytes per pixel. They run on every presented frame of a
// doubled mode, so they work on pixel memory through row pointers, lock each surface once
// per frame and keep the per-pixel work to a few loads, compares and stores. Scale2X has an
// SSE2 path for 16-bit pictures that handles eight pixels at a time.
#include "gfx/scalers.h"

#include "gfx/video.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define TROBZ_HAVE_SSE2 1
#else
#define TROBZ_HAVE_SSE2 0
#endif

int scalerUseSimd = TROBZ_HAVE_SSE2;

namespace {

inline Uint8* rowOf(SDL_Surface* s, int y) {
    return (Uint8*)s->pixels + (size_t)y * s->pitch;
}

// Pixel access by format. A 24-bit pixel value is b0 + 256 b1 + 65536 b2 in memory order.
struct Px16 {
    static constexpr int BYTES = 2;
    static Uint32 get(const Uint8* row, int x) {
        Uint16 v;
        std::memcpy(&v, row + 2 * x, 2);
        return v;
    }
    static void put(Uint8* row, int x, Uint32 v) {
        Uint16 w = (Uint16)v;
        std::memcpy(row + 2 * x, &w, 2);
    }
};

struct Px24 {
    static constexpr int BYTES = 3;
    static Uint32 get(const Uint8* row, int x) {
        const Uint8* p = row + 3 * x;
        return (Uint32)p[0] | ((Uint32)p[1] << 8) | ((Uint32)p[2] << 16);
    }
    static void put(Uint8* row, int x, Uint32 v) {
        Uint8* p = row + 3 * x;
        p[0] = (Uint8)v;
        p[1] = (Uint8)(v >> 8);
        p[2] = (Uint8)(v >> 16);
    }
};

bool scalable(SDL_Surface* src, SDL_Surface* dst) {
    return src && dst && src != dst && src->w > 0 && src->h > 0 && dst->w >= 2 * src->w &&
           dst->h >= 2 * src->h && src->format->BytesPerPixel == dst->format->BytesPerPixel;
}

// Locks dst, then src; unlocks in the reverse order.
struct LockPair {
    SDL_Surface *src, *dst;
    bool ok;
    LockPair(SDL_Surface* s, SDL_Surface* d) : src(s), dst(d), ok(false) {
        if (SDL_LockSurface(dst) < 0) return;
        if (SDL_LockSurface(src) < 0) {
            SDL_UnlockSurface(dst);
            return;
        }
        ok = true;
    }
    ~LockPair() {
        if (!ok) return;
        SDL_UnlockSurface(src);
        SDL_UnlockSurface(dst);
    }
};

// zoom2

void zoomRows16(SDL_Surface* src, SDL_Surface* dst) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* in = rowOf(src, y);
        Uint8* out = rowOf(dst, 2 * y);
        for (int x = 0; x < w; x++) {
            Uint16 p;
            std::memcpy(&p, in + 2 * x, 2);
            Uint32 pair = (Uint32)p | ((Uint32)p << 16);
            std::memcpy(out + 4 * x, &pair, 4);
        }
        std::memcpy(rowOf(dst, 2 * y + 1), out, (size_t)w * 4);
    }
}

void zoomRows24(SDL_Surface* src, SDL_Surface* dst) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* in = rowOf(src, y);
        Uint8* out = rowOf(dst, 2 * y);
        int x = 0;
        // four pixels (12 bytes) at a time become 24 bytes: a a b b c c d d
        for (; SDL_BYTEORDER == SDL_LIL_ENDIAN && x + 4 <= w; x += 4) {
            Uint32 w0, w1, w2;
            std::memcpy(&w0, in + 3 * x, 4);     // a0 a1 a2 b0
            std::memcpy(&w1, in + 3 * x + 4, 4); // b1 b2 c0 c1
            std::memcpy(&w2, in + 3 * x + 8, 4); // c2 d0 d1 d2
            Uint32 a = w0 & 0xFFFFFF;
            Uint32 b = (w0 >> 24) | ((w1 & 0xFFFF) << 8);
            Uint32 c = (w1 >> 16) | ((w2 & 0xFF) << 16);
            Uint32 d = w2 >> 8;
            Uint32 o[6] = {a | (a << 24), (a >> 8) | (b << 16), (b >> 16) | (b << 8),
                           c | (c << 24), (c >> 8) | (d << 16), (d >> 16) | (d << 8)};
            std::memcpy(out + 6 * x, o, sizeof o);
        }
        for (; x < w; x++) {
            const Uint8* p = in + 3 * x;
            Uint8* q = out + 6 * x;
            q[0] = q[3] = p[0];
            q[1] = q[4] = p[1];
            q[2] = q[5] = p[2];
        }
        std::memcpy(rowOf(dst, 2 * y + 1), out, (size_t)w * 6);
    }
}

// Scale2X

// One source pixel E with its neighbours into the 2x2 block at column 2x of o0 and o1.
template <class P>
inline void scale2xPixel(Uint8* o0, Uint8* o1, int x, Uint32 b, Uint32 d, Uint32 e, Uint32 f,
                         Uint32 h) {
    if (b != h && d != f) {
        P::put(o0, 2 * x, d == b ? d : e);
        P::put(o0, 2 * x + 1, b == f ? f : e);
        P::put(o1, 2 * x, d == h ? d : e);
        P::put(o1, 2 * x + 1, h == f ? f : e);
    } else {
        P::put(o0, 2 * x, e);
        P::put(o0, 2 * x + 1, e);
        P::put(o1, 2 * x, e);
        P::put(o1, 2 * x + 1, e);
    }
}

// Columns from..w-1 of one row; rows outside the picture were replaced by the row itself.
template <class P>
void scale2xSpan(const Uint8* rb, const Uint8* re, const Uint8* rh, Uint8* o0, Uint8* o1, int from,
                 int w) {
    if (w == 1) {
        Uint32 e = P::get(re, 0);
        scale2xPixel<P>(o0, o1, 0, P::get(rb, 0), e, e, e, P::get(rh, 0));
        return;
    }
    int x = from;
    if (x == 0) {
        Uint32 e = P::get(re, 0);
        scale2xPixel<P>(o0, o1, 0, P::get(rb, 0), e, e, P::get(re, 1), P::get(rh, 0));
        x = 1;
    }
    // inner pixels: D and F carried along the row
    Uint32 d = P::get(re, x - 1), e = P::get(re, x);
    for (; x < w - 1; x++) {
        Uint32 f = P::get(re, x + 1);
        scale2xPixel<P>(o0, o1, x, P::get(rb, x), d, e, f, P::get(rh, x));
        d = e;
        e = f;
    }
    if (x == w - 1) scale2xPixel<P>(o0, o1, x, P::get(rb, x), d, e, e, P::get(rh, x));
}

#if TROBZ_HAVE_SSE2
inline __m128i select16(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Eight pixels at a time; returns the first column it did not handle.
int scale2xSse2Row(const Uint8* rb, const Uint8* re, const Uint8* rh, Uint8* o0, Uint8* o1, int w) {
    const __m128i lane0 = _mm_setr_epi16(-1, 0, 0, 0, 0, 0, 0, 0);
    const __m128i lane7 = _mm_setr_epi16(0, 0, 0, 0, 0, 0, 0, -1);
    const Uint16* E = (const Uint16*)re;
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        __m128i e = _mm_loadu_si128((const __m128i*)(E + x));
        __m128i b = _mm_loadu_si128((const __m128i*)((const Uint16*)rb + x));
        __m128i h = _mm_loadu_si128((const __m128i*)((const Uint16*)rh + x));
        __m128i d = x > 0 ? _mm_loadu_si128((const __m128i*)(E + x - 1))
                          : _mm_or_si128(_mm_slli_si128(e, 2), _mm_and_si128(e, lane0));
        __m128i f = x + 8 < w ? _mm_loadu_si128((const __m128i*)(E + x + 1))
                              : _mm_or_si128(_mm_srli_si128(e, 2), _mm_and_si128(e, lane7));
        __m128i same = _mm_or_si128(_mm_cmpeq_epi16(b, h), _mm_cmpeq_epi16(d, f));
        __m128i tl = select16(_mm_andnot_si128(same, _mm_cmpeq_epi16(d, b)), d, e);
        __m128i tr = select16(_mm_andnot_si128(same, _mm_cmpeq_epi16(b, f)), f, e);
        __m128i bl = select16(_mm_andnot_si128(same, _mm_cmpeq_epi16(d, h)), d, e);
        __m128i br = select16(_mm_andnot_si128(same, _mm_cmpeq_epi16(h, f)), f, e);
        _mm_storeu_si128((__m128i*)(o0 + 4 * x), _mm_unpacklo_epi16(tl, tr));
        _mm_storeu_si128((__m128i*)(o0 + 4 * x + 16), _mm_unpackhi_epi16(tl, tr));
        _mm_storeu_si128((__m128i*)(o1 + 4 * x), _mm_unpacklo_epi16(bl, br));
        _mm_storeu_si128((__m128i*)(o1 + 4 * x + 16), _mm_unpackhi_epi16(bl, br));
    }
    return x;
}
#endif

template <class P>
void scale2xRows(SDL_Surface* src, SDL_Surface* dst, bool simd) {
    const int w = src->w, h = src->h;
    for (int y = 0; y < h; y++) {
        const Uint8* rb = rowOf(src, y > 0 ? y - 1 : y);
        const Uint8* re = rowOf(src, y);
        const Uint8* rh = rowOf(src, y < h - 1 ? y + 1 : y);
        Uint8* o0 = rowOf(dst, 2 * y);
        Uint8* o1 = rowOf(dst, 2 * y + 1);
        int from = 0;
#if TROBZ_HAVE_SSE2
        if (simd) from = scale2xSse2Row(rb, re, rh, o0, o1, w);
#else
        (void)simd;
#endif
        if (from < w) scale2xSpan<P>(rb, re, rh, o0, o1, from, w);
    }
}

// antiAlias2

template <class P>
void aaFill(SDL_Surface* src, Uint32* buf, Uint32 m) {
    for (int y = 0; y < src->h; y++) {
        const Uint8* in = rowOf(src, y);
        Uint32* b = buf + (size_t)y * src->w * 2;
        for (int x = 0; x < src->w; x++) {
            Uint32 p = P::get(in, x);
            b[2 * x] = p;
            b[2 * x + 1] = p & m;
        }
    }
}

template <class P>
void aaOutput(const Uint32* buf, int w, int h, SDL_Surface* dst) {
    const int top = (dst->h - 2 * h) / 2;
    const size_t words = (size_t)w * 2;
    for (int y = 0; y + 1 < h; y++) {
        const Uint32* a = buf + y * words;
        const Uint32* d = a + words;
        Uint8* o0 = rowOf(dst, top + 2 * y);
        Uint8* o1 = rowOf(dst, top + 2 * y + 1);
        for (int x = 0; x + 1 < w; x++) {
            Uint32 am = a[2 * x + 1], rm = a[2 * x + 3], dm = d[2 * x + 1];
            P::put(o0, 2 * x, a[2 * x]);
            P::put(o0, 2 * x + 1, (am + rm) >> 1);
            P::put(o1, 2 * x, (am + dm) >> 1);
            P::put(o1, 2 * x + 1, (dm + rm) >> 1);
        }
        // last column, unaveraged; the column right of it repeats it
        P::put(o0, 2 * w - 2, a[2 * w - 2]);
        P::put(o1, 2 * w - 2, d[2 * w - 2]);
        P::put(o0, 2 * w - 1, a[2 * w - 2]);
        P::put(o1, 2 * w - 1, d[2 * w - 2]);
    }
    // last row: averaged across only; the row above it repeats it
    const Uint32* a = buf + (size_t)(h - 1) * words;
    Uint8* last = rowOf(dst, top + 2 * h - 1);
    for (int x = 0; x + 1 < w; x++) {
        P::put(last, 2 * x, a[2 * x]);
        P::put(last, 2 * x + 1, (a[2 * x + 1] + a[2 * x + 3]) >> 1);
    }
    P::put(last, 2 * w - 2, a[2 * w - 2]);
    P::put(last, 2 * w - 1, a[2 * w - 2]);
    std::memcpy(rowOf(dst, top + 2 * h - 2), last, (size_t)w * 2 * P::BYTES);
}

} // namespace

Uint32 halvingMask(const SDL_PixelFormat* f) {
    Uint32 low = (1u << f->Rshift) | (1u << f->Gshift) | (1u << f->Bshift);
    return (f->BytesPerPixel == 2 ? 0xFFFFu : 0xFFFFFFFFu) & ~low;
}

void zoom2Surface(SDL_Surface* src, SDL_Surface* dst) {
    if (!scalable(src, dst)) return;
    LockPair lock(src, dst);
    if (!lock.ok) return;
    if (src->format->BytesPerPixel == 2)
        zoomRows16(src, dst);
    else
        zoomRows24(src, dst);
}

void scale2xSurface(SDL_Surface* src, SDL_Surface* dst) {
    if (!scalable(src, dst)) return;
    LockPair lock(src, dst);
    if (!lock.ok) return;
    if (src->format->BytesPerPixel == 2)
        scale2xRows<Px16>(src, dst, scalerUseSimd != 0);
    else
        scale2xRows<Px24>(src, dst, false);
}

void antiAlias2Surface(SDL_Surface* src, SDL_Surface* dst, Uint32* buf) {
    if (!scalable(src, dst) || !buf) return;
    const bool twoBytes = src->format->BytesPerPixel == 2;
    const Uint32 m = halvingMask(src->format);
    if (SDL_LockSurface(src) < 0) return;
    if (twoBytes)
        aaFill<Px16>(src, buf, m);
    else
        aaFill<Px24>(src, buf, m);
    SDL_UnlockSurface(src);
    if (SDL_LockSurface(dst) < 0) return;
    if (twoBytes)
        aaOutput<Px16>(buf, src->w, src->h, dst);
    else
        aaOutput<Px24>(buf, src->w, src->h, dst);
    SDL_UnlockSurface(dst);
}

void zoom2() {
    zoom2Surface(screen, fscreen);
}

void Scale2X() {
    scale2xSurface(screen, fscreen);
}

void antiAlias2() {
    // Without its buffer (or for a picture larger than the buffer) the picture is still
    // shown, plainly doubled.
    if (!aabuf || (size_t)screen->w * screen->h * 8 > (size_t)AABUF_BYTES) {
        zoom2();
        return;
    }
    antiAlias2Surface(screen, fscreen, (Uint32*)aabuf);
}
