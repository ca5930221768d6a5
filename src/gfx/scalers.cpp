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

// Fast access for little-endian hosts: a 24-bit pixel read as a 32-bit word (one byte more
// than the pixel, so only where that byte still lies inside the row), two 24-bit pixels
// written as one 64-bit word (two bytes more, which the next store covers again).
constexpr bool LITTLE_ENDIAN_HOST = SDL_BYTEORDER == SDL_LIL_ENDIAN;

inline Uint32 load24wide(const Uint8* p) {
    Uint32 v;
    std::memcpy(&v, p, 4);
    return v & 0xFFFFFF;
}
inline void store24pairWide(Uint8* p, Uint32 v0, Uint32 v1) {
    Uint64 v = (Uint64)v0 | ((Uint64)v1 << 24);
    std::memcpy(p, &v, 8);
}
inline void store16pair(Uint8* p, Uint32 v0, Uint32 v1) {
    Uint32 v = (v0 & 0xFFFF) | (v1 << 16);
    std::memcpy(p, &v, 4);
}

// zoom2

void zoomRows16(SDL_Surface* src, SDL_Surface* dst) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* __restrict in = rowOf(src, y);
        Uint8* __restrict out = rowOf(dst, 2 * y);
        int x = 0;
#if TROBZ_HAVE_SSE2
        for (; scalerUseSimd && x + 8 <= w; x += 8) {
            __m128i v = _mm_loadu_si128((const __m128i*)(in + 2 * x));
            _mm_storeu_si128((__m128i*)(out + 4 * x), _mm_unpacklo_epi16(v, v));
            _mm_storeu_si128((__m128i*)(out + 4 * x + 16), _mm_unpackhi_epi16(v, v));
        }
#endif
        for (; x < w; x++) {
            Uint32 p = Px16::get(in, x);
            store16pair(out + 4 * x, p, p);
        }
        std::memcpy(rowOf(dst, 2 * y + 1), out, (size_t)w * 4);
    }
}

void zoomRows24(SDL_Surface* src, SDL_Surface* dst) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* __restrict in = rowOf(src, y);
        Uint8* __restrict out = rowOf(dst, 2 * y);
        int x = 0;
        // each pixel as one wide store of its two copies (spilling into the next pixel's place)
        for (; LITTLE_ENDIAN_HOST && x < w - 1; x++) {
            Uint64 p = load24wide(in + 3 * x);
            p |= p << 24;
            std::memcpy(out + 6 * x, &p, 8);
        }
        for (; x < w; x++) {
            Uint32 p = Px24::get(in, x);
            Px24::put(out, 2 * x, p);
            Px24::put(out, 2 * x + 1, p);
        }
        std::memcpy(rowOf(dst, 2 * y + 1), out, (size_t)w * 6);
    }
}

// Scale2X

// The four target pixels of source pixel E: top-left, top-right, bottom-left, bottom-right.
struct Quad {
    Uint32 tl, tr, bl, br;
};

inline Quad scale2xQuad(Uint32 b, Uint32 d, Uint32 e, Uint32 f, Uint32 h) {
    if (b != h && d != f) return {d == b ? d : e, b == f ? f : e, d == h ? d : e, h == f ? f : e};
    return {e, e, e, e};
}

template <class P>
inline void scale2xPixel(Uint8* o0, Uint8* o1, int x, Uint32 b, Uint32 d, Uint32 e, Uint32 f,
                         Uint32 h) {
    Quad q = scale2xQuad(b, d, e, f, h);
    P::put(o0, 2 * x, q.tl);
    P::put(o0, 2 * x + 1, q.tr);
    P::put(o1, 2 * x, q.bl);
    P::put(o1, 2 * x + 1, q.br);
}

// Columns from ... to-1 of a row w pixels wide, one pixel at a time (rows outside the
// picture were replaced by the row itself).
template <class P>
void scale2xSpan(const Uint8* rb, const Uint8* re, const Uint8* rh, Uint8* o0, Uint8* o1, int from,
                 int to, int w) {
    for (int x = from; x < to; x++) {
        Uint32 e = P::get(re, x);
        Uint32 d = x > 0 ? P::get(re, x - 1) : e;
        Uint32 f = x < w - 1 ? P::get(re, x + 1) : e;
        scale2xPixel<P>(o0, o1, x, P::get(rb, x), d, e, f, P::get(rh, x));
    }
}

// The inner columns 1 ... w-2 at 16 bits, left neighbour and pixel carried along.
int scale2xInner16(const Uint8* __restrict rb, const Uint8* __restrict re,
                   const Uint8* __restrict rh, Uint8* __restrict o0, Uint8* __restrict o1, int from,
                   int w) {
    if (from < 1) from = 1;
    if (from >= w - 1) return from;
    Uint32 d = Px16::get(re, from - 1), e = Px16::get(re, from);
    int x = from;
    for (; x < w - 1; x++) {
        Uint32 f = Px16::get(re, x + 1), b = Px16::get(rb, x), h = Px16::get(rh, x);
        Uint32 top, bottom;
        if (b == h || d == f) {
            // the common case on drawn pictures: a plain 2x2 block
            top = bottom = e | (e << 16);
        } else {
            top = (d == b ? d : e) | ((b == f ? f : e) << 16);
            bottom = (d == h ? d : e) | ((h == f ? f : e) << 16);
        }
        std::memcpy(o0 + 4 * x, &top, 4);
        std::memcpy(o1 + 4 * x, &bottom, 4);
        d = e;
        e = f;
    }
    return x;
}

// The inner columns 1 ... w-3 at 24 bits with wide loads and stores; returns the first
// column left to do.
int scale2xInner24(const Uint8* __restrict rb, const Uint8* __restrict re,
                   const Uint8* __restrict rh, Uint8* __restrict o0, Uint8* __restrict o1, int w) {
    if (!LITTLE_ENDIAN_HOST || w < 4) return 0;
    Uint32 d = load24wide(re), e = load24wide(re + 3);
    int x = 1;
    for (; x < w - 2; x++) {
        Uint32 f = load24wide(re + 3 * (x + 1));
        Quad q = scale2xQuad(load24wide(rb + 3 * x), d, e, f, load24wide(rh + 3 * x));
        store24pairWide(o0 + 6 * x, q.tl, q.tr);
        store24pairWide(o1 + 6 * x, q.bl, q.br);
        d = e;
        e = f;
    }
    return x;
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

void scale2xRows16(SDL_Surface* src, SDL_Surface* dst, bool simd) {
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
        if (from == 0) scale2xSpan<Px16>(rb, re, rh, o0, o1, 0, 1 < w ? 1 : w, w);
        from = scale2xInner16(rb, re, rh, o0, o1, from, w);
        scale2xSpan<Px16>(rb, re, rh, o0, o1, from, w, w);
    }
}

void scale2xRows24(SDL_Surface* src, SDL_Surface* dst) {
    const int w = src->w, h = src->h;
    for (int y = 0; y < h; y++) {
        const Uint8* rb = rowOf(src, y > 0 ? y - 1 : y);
        const Uint8* re = rowOf(src, y);
        const Uint8* rh = rowOf(src, y < h - 1 ? y + 1 : y);
        Uint8* o0 = rowOf(dst, 2 * y);
        Uint8* o1 = rowOf(dst, 2 * y + 1);
        // the wide stores spill into the next pixel's place: the edges are done last
        int from = scale2xInner24(rb, re, rh, o0, o1, w);
        if (from > 0) scale2xSpan<Px24>(rb, re, rh, o0, o1, 0, 1, w);
        scale2xSpan<Px24>(rb, re, rh, o0, o1, from, w, w);
    }
}

// antiAlias2

void aaFill16(SDL_Surface* src, Uint32* __restrict buf, Uint32 m) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* __restrict in = rowOf(src, y);
        Uint32* __restrict b = buf + (size_t)y * w * 2;
        int x = 0;
#if TROBZ_HAVE_SSE2
        const __m128i zero = _mm_setzero_si128(), mv = _mm_set1_epi32((int)m);
        for (; scalerUseSimd && x + 8 <= w; x += 8) {
            __m128i v = _mm_loadu_si128((const __m128i*)(in + 2 * x));
            __m128i lo = _mm_unpacklo_epi16(v, zero), hi = _mm_unpackhi_epi16(v, zero);
            __m128i lom = _mm_and_si128(lo, mv), him = _mm_and_si128(hi, mv);
            _mm_storeu_si128((__m128i*)(b + 2 * x), _mm_unpacklo_epi32(lo, lom));
            _mm_storeu_si128((__m128i*)(b + 2 * x + 4), _mm_unpackhi_epi32(lo, lom));
            _mm_storeu_si128((__m128i*)(b + 2 * x + 8), _mm_unpacklo_epi32(hi, him));
            _mm_storeu_si128((__m128i*)(b + 2 * x + 12), _mm_unpackhi_epi32(hi, him));
        }
#endif
        for (; x < w; x++) {
            Uint32 p = Px16::get(in, x);
            b[2 * x] = p;
            b[2 * x + 1] = p & m;
        }
    }
}

void aaFill24(SDL_Surface* src, Uint32* __restrict buf, Uint32 m) {
    const int w = src->w;
    for (int y = 0; y < src->h; y++) {
        const Uint8* __restrict in = rowOf(src, y);
        Uint32* __restrict b = buf + (size_t)y * w * 2;
        int x = 0;
#if TROBZ_HAVE_SSE2
        // four pixels (12 of the 16 bytes loaded) moved into four 32-bit lanes
        const __m128i lane0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0);
        const __m128i lane1 = _mm_slli_si128(lane0, 4), lane2 = _mm_slli_si128(lane0, 8),
                      lane3 = _mm_slli_si128(lane0, 12), mv = _mm_set1_epi32((int)m);
        for (; scalerUseSimd && LITTLE_ENDIAN_HOST && x + 6 <= w; x += 4) {
            __m128i v = _mm_loadu_si128((const __m128i*)(in + 3 * x));
            __m128i p = _mm_or_si128(
                _mm_or_si128(_mm_and_si128(v, lane0), _mm_and_si128(_mm_slli_si128(v, 1), lane1)),
                _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), lane2),
                             _mm_and_si128(_mm_slli_si128(v, 3), lane3)));
            __m128i pm = _mm_and_si128(p, mv);
            _mm_storeu_si128((__m128i*)(b + 2 * x), _mm_unpacklo_epi32(p, pm));
            _mm_storeu_si128((__m128i*)(b + 2 * x + 4), _mm_unpackhi_epi32(p, pm));
        }
#endif
        for (; LITTLE_ENDIAN_HOST && x < w - 1; x++) {
            Uint32 p = load24wide(in + 3 * x);
            b[2 * x] = p;
            b[2 * x + 1] = p & m;
        }
        for (; x < w; x++) {
            Uint32 p = Px24::get(in, x);
            b[2 * x] = p;
            b[2 * x + 1] = p & m;
        }
    }
}

// Two target pixels side by side: at 16 bits one 32-bit store, at 24 bits one 64-bit store
// that spills two bytes into the next pair (written afterwards, left to right).
template <class P>
inline void putPairWide(Uint8* row, int x, Uint32 v0, Uint32 v1) {
    if (P::BYTES == 2) {
        store16pair(row + 4 * x, v0, v1);
    } else if (LITTLE_ENDIAN_HOST) {
        store24pairWide(row + 6 * x, v0, v1);
    } else {
        P::put(row, 2 * x, v0);
        P::put(row, 2 * x + 1, v1);
    }
}

template <class P>
inline void putPairExact(Uint8* row, int x, Uint32 v0, Uint32 v1) {
    P::put(row, 2 * x, v0);
    P::put(row, 2 * x + 1, v1);
}

#if TROBZ_HAVE_SSE2
// The pixels and the masked words of four buffer entries from p on.
inline void aaSplit(const Uint32* p, __m128i& pixels, __m128i& masked) {
    __m128i v0 = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i*)p), _MM_SHUFFLE(3, 1, 2, 0));
    __m128i v1 =
        _mm_shuffle_epi32(_mm_loadu_si128((const __m128i*)(p + 4)), _MM_SHUFFLE(3, 1, 2, 0));
    pixels = _mm_unpacklo_epi64(v0, v1);
    masked = _mm_unpackhi_epi64(v0, v1);
}

// Two 24-bit values per 64-bit lane, as the six bytes of a target pixel pair.
inline __m128i pairs24(__m128i l) {
    const __m128i low = _mm_set1_epi64x(0xFFFFFF), high = _mm_set1_epi64x(0xFFFFFF000000);
    return _mm_or_si128(_mm_and_si128(l, low), _mm_and_si128(_mm_srli_epi64(l, 8), high));
}

inline void store24x4(Uint8* o, __m128i first, __m128i second) {
    __m128i lo = pairs24(_mm_unpacklo_epi32(first, second));
    __m128i hi = pairs24(_mm_unpackhi_epi32(first, second));
    _mm_storel_epi64((__m128i*)o, lo);
    _mm_storel_epi64((__m128i*)(o + 6), _mm_srli_si128(lo, 8));
    _mm_storel_epi64((__m128i*)(o + 12), hi);
    _mm_storel_epi64((__m128i*)(o + 18), _mm_srli_si128(hi, 8));
}

inline __m128i average4(__m128i p, __m128i pm, __m128i q, __m128i qm, __m128i low) {
    return _mm_add_epi32(_mm_srli_epi32(_mm_add_epi32(pm, qm), 1),
                         _mm_and_si128(_mm_and_si128(p, q), low));
}

// Four source pixels at a time of one pair of target rows, while the right neighbour of the
// block exists; returns the first column left to do.
template <int BYTES>
int aaRowSse2(const Uint32* a, const Uint32* d, Uint8* o0, Uint8* o1, int w, Uint32 low) {
    const __m128i lv = _mm_set1_epi32((int)low);
    int x = 0;
    for (; x + 5 <= w; x += 4) {
        __m128i pa, ma, pr, mr, pd, md;
        aaSplit(a + 2 * x, pa, ma);
        aaSplit(a + 2 * x + 2, pr, mr);
        aaSplit(d + 2 * x, pd, md);
        __m128i right = average4(pa, ma, pr, mr, lv);
        __m128i down = average4(pa, ma, pd, md, lv);
        __m128i diag = average4(pd, md, pr, mr, lv);
        if (BYTES == 2) {
            _mm_storeu_si128((__m128i*)(o0 + 4 * x), _mm_or_si128(pa, _mm_slli_epi32(right, 16)));
            _mm_storeu_si128((__m128i*)(o1 + 4 * x), _mm_or_si128(down, _mm_slli_epi32(diag, 16)));
        } else {
            store24x4(o0 + 6 * x, pa, right);
            store24x4(o1 + 6 * x, down, diag);
        }
    }
    return x;
}
#endif

// The floor average of each channel of two pixels p and q, given also as pm and qm with the
// lowest bit of each channel cleared: the halves of those add up without a carry from one
// channel into the next, and a channel whose lowest bit is set in both gains the 1 they make.
inline Uint32 average(Uint32 p, Uint32 pm, Uint32 q, Uint32 qm, Uint32 low) {
    return ((pm + qm) >> 1) + (p & q & low);
}

// `low` holds the lowest bit of each channel.
template <class P>
void aaOutput(const Uint32* __restrict buf, int w, int h, SDL_Surface* dst, Uint32 low) {
    const int top = (dst->h - 2 * h) / 2;
    const size_t words = (size_t)w * 2;
    for (int y = 0; y + 1 < h; y++) {
        const Uint32* __restrict a = buf + y * words;
        const Uint32* __restrict d = a + words;
        Uint8* __restrict o0 = rowOf(dst, top + 2 * y);
        Uint8* __restrict o1 = rowOf(dst, top + 2 * y + 1);
        int x = 0;
#if TROBZ_HAVE_SSE2
        if (scalerUseSimd && LITTLE_ENDIAN_HOST) x = aaRowSse2<P::BYTES>(a, d, o0, o1, w, low);
#endif
        Uint32 pa = a[2 * x], am = a[2 * x + 1], pd = d[2 * x], dm = d[2 * x + 1];
        for (; x + 1 < w; x++) {
            Uint32 pr = a[2 * x + 2], rm = a[2 * x + 3], pdr = d[2 * x + 2], dmr = d[2 * x + 3];
            putPairWide<P>(o0, x, pa, average(pa, am, pr, rm, low));
            putPairWide<P>(o1, x, average(pa, am, pd, dm, low), average(pd, dm, pr, rm, low));
            pa = pr;
            am = rm;
            pd = pdr;
            dm = dmr;
        }
        // last column, unaveraged; the column right of it repeats it
        putPairExact<P>(o0, w - 1, a[2 * w - 2], a[2 * w - 2]);
        putPairExact<P>(o1, w - 1, d[2 * w - 2], d[2 * w - 2]);
    }
    // last row: averaged across only; the row above it repeats it
    const Uint32* a = buf + (size_t)(h - 1) * words;
    Uint8* last = rowOf(dst, top + 2 * h - 1);
    for (int x = 0; x + 1 < w; x++)
        putPairWide<P>(last, x, a[2 * x],
                       average(a[2 * x], a[2 * x + 1], a[2 * x + 2], a[2 * x + 3], low));
    putPairExact<P>(last, w - 1, a[2 * w - 2], a[2 * w - 2]);
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
        scale2xRows16(src, dst, scalerUseSimd != 0);
    else
        scale2xRows24(src, dst);
}

void antiAlias2Surface(SDL_Surface* src, SDL_Surface* dst, Uint32* buf) {
    if (!scalable(src, dst) || !buf) return;
    const bool twoBytes = src->format->BytesPerPixel == 2;
    const Uint32 m = halvingMask(src->format);
    if (SDL_LockSurface(src) < 0) return;
    if (twoBytes)
        aaFill16(src, buf, m);
    else
        aaFill24(src, buf, m);
    SDL_UnlockSurface(src);
    if (SDL_LockSurface(dst) < 0) return;
    const Uint32 low = ~m & (twoBytes ? 0xFFFFu : 0xFFFFFFu);
    if (twoBytes)
        aaOutput<Px16>(buf, src->w, src->h, dst, low);
    else
        aaOutput<Px24>(buf, src->w, src->h, dst, low);
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
