#include "Graphics/Blitter.h"

#include "Graphics/Image.h"

#include "Base/Profile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace Kestrin::Graphics
{

namespace
{

struct Tint
{
    int r, g, b;
};

inline int R(uint32_t p)
{
    return int((p >> 16) & 0xFF);
}
inline int G(uint32_t p)
{
    return int((p >> 8) & 0xFF);
}
inline int B(uint32_t p)
{
    return int(p & 0xFF);
}
inline uint32_t A(uint32_t p)
{
    return p >> 24;
}
inline uint32_t Opaque(int r, int g, int b)
{
    return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Each channel d + (s - d) * num / den, signed and truncated toward zero; alpha 255.
template <int Den> inline uint32_t Mix(uint32_t d, uint32_t s, int num)
{
    return Opaque(R(d) + (R(s) - R(d)) * num / Den, G(d) + (G(s) - G(d)) * num / Den,
                  B(d) + (B(s) - B(d)) * num / Den);
}

inline uint32_t Tinted(uint32_t s, const Tint& t)
{
    return Opaque(R(s) * t.r / 255, G(s) * t.g / 255, B(s) * t.b / 255);
}

// One row with constant alpha 255.
template <int Mode> void OpaqueRow(uint32_t* d, const uint32_t* s, int n, const Tint& t)
{
    if constexpr (Mode == Blit_Copy)
    {
        std::memmove(d, s, size_t(n) * 4);
        return;
    }
    for (int i = 0; i < n; ++i)
    {
        const uint32_t sp = s[i];
        const uint32_t a = A(sp);
        if constexpr (Mode == Blit_AlphaTest)
        {
            if (a != 0)
                d[i] = sp;
        }
        else if constexpr (Mode == Blit_Alpha)
        {
            if (a <= 15)
                continue;
            d[i] = a >= 240 ? sp : Mix<255>(d[i], sp, int(a));
        }
        else if constexpr (Mode == Blit_Tinted)
            d[i] = Tinted(sp, t);
        else if constexpr (Mode == Blit_TintedTest)
        {
            if (a != 0)
                d[i] = Tinted(sp, t);
        }
        else if constexpr (Mode == Blit_TintedAlpha)
        {
            if (a == 0)
                continue;
            const uint32_t c = Tinted(sp, t);
            d[i] = a == 255 ? c : Mix<255>(d[i], c, int(a));
        }
    }
}

// One row with constant alpha 0 < g < 255.
template <int Mode> void FadedRow(uint32_t* d, const uint32_t* s, int n, const Tint& t, int g)
{
    for (int i = 0; i < n; ++i)
    {
        const uint32_t sp = s[i];
        const uint32_t a = A(sp);
        if constexpr (Mode == Blit_Block || Mode == Blit_Copy)
            d[i] = Mix<255>(d[i], sp, g);
        else if constexpr (Mode == Blit_AlphaTest)
        {
            if (a != 0)
                d[i] = Mix<255>(d[i], sp, g);
        }
        else if constexpr (Mode == Blit_Alpha)
        {
            if (a != 0)
                d[i] = Mix<65025>(d[i], sp, int(a) * g);
        }
        else if constexpr (Mode == Blit_Tinted)
            d[i] = Mix<255>(d[i], Tinted(sp, t), g);
        else if constexpr (Mode == Blit_TintedTest)
        {
            if (a != 0)
                d[i] = Mix<255>(d[i], Tinted(sp, t), g);
        }
        else if constexpr (Mode == Blit_TintedAlpha)
        {
            if (a != 0)
                d[i] = Mix<65025>(d[i], Tinted(sp, t), int(a) * g);
        }
    }
}

struct Area
{
    uint32_t* dst;
    const uint32_t* src;
    int dstStride;
    int srcStride;
    int width;
    int height;
};

// The vector rows below compute the plain rows' formulas bit for bit: each channel
// d + (c - d) * a / 255 with the quotient truncated toward zero, taken as sign * (|c - d| * a / 255);
// x / 255 for 0 <= x <= 65535 is exactly (x * 0x8081) >> 23. Each returns how many pixels it did;
// the plain row finishes the rest.
using VectorRow = int (*)(uint32_t* d, const uint32_t* s, int n, const Tint& t);

#if defined(__SSE2__)
namespace Sse2
{
struct Lanes
{
    __m128i lo, hi;
};

inline Lanes Widen(__m128i v)
{
    const __m128i zero = _mm_setzero_si128();
    return {_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)};
}

// Each pixel's alpha in all four of its 16-bit lanes.
inline __m128i AlphaLanes(__m128i wide)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(wide, 0xFF), 0xFF);
}

inline __m128i Div255(__m128i x)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(short(0x8081))), 7);
}

inline __m128i MixLanes(__m128i d, __m128i c, __m128i a)
{
    const __m128i diff = _mm_sub_epi16(c, d);
    const __m128i negative = _mm_cmplt_epi16(diff, _mm_setzero_si128());
    const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(diff, negative), negative);
    const __m128i q = Div255(_mm_mullo_epi16(magnitude, a));
    return _mm_add_epi16(d, _mm_sub_epi16(_mm_xor_si128(q, negative), negative));
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Mode 3 with alpha from the source (0..15 keep, 240..255 copy, else mix) or mode 6 (tinted, 0
// keeps, else mix toward the tinted colour, which for alpha 255 is that colour). Sprites are mostly
// runs of clear or solid pixels, so groups that are all one or the other skip the arithmetic.
template <bool Tinted> int AlphaRow(uint32_t* d, const uint32_t* s, int n, const Tint& t)
{
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    const __m128i tint =
        _mm_set_epi16(0, short(t.r), short(t.g), short(t.b), 0, short(t.r), short(t.g), short(t.b));
    const __m128i lowThreshold = _mm_set1_epi32(Tinted ? 1 : 16);
    const __m128i highThreshold = _mm_set1_epi32(Tinted ? 254 : 239);
    int i = 0;
    for (; i + 4 <= n; i += 4)
    {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i alpha = _mm_srli_epi32(sv, 24);
        const __m128i keep = _mm_cmplt_epi32(alpha, lowThreshold);
        if (_mm_movemask_epi8(keep) == 0xFFFF)
            continue;
        const __m128i copy = _mm_cmpgt_epi32(alpha, highThreshold);
        const bool allCopy = _mm_movemask_epi8(copy) == 0xFFFF;
        if (!Tinted && allCopy)
        {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        const Lanes sw = Widen(sv);
        Lanes cw = sw;
        if constexpr (Tinted)
        {
            cw = {Div255(_mm_mullo_epi16(sw.lo, tint)), Div255(_mm_mullo_epi16(sw.hi, tint))};
            if (allCopy)
            {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                                 _mm_or_si128(_mm_packus_epi16(cw.lo, cw.hi), opaque));
                continue;
            }
        }
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const Lanes dw = Widen(dv);
        __m128i out = _mm_or_si128(_mm_packus_epi16(MixLanes(dw.lo, cw.lo, AlphaLanes(sw.lo)),
                                                    MixLanes(dw.hi, cw.hi, AlphaLanes(sw.hi))),
                                   opaque);
        if constexpr (!Tinted)
            out = Select(copy, sv, out);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Select(keep, dv, out));
    }
    return i;
}
} // namespace Sse2
#endif

// A stretched blit's tint: each channel's factor plus one, and whether any is below 256.
struct StretchTint
{
    uint32_t a, r, g, b;
    bool any;
};

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KESTRIN_BLIT_AVX2 1
// Eight pixels at a time. Built for AVX2 whatever the compiler's target, and only run when the
// CPU reports it.
namespace Avx2
{
#define KESTRIN_AVX2 __attribute__((target("avx2"), always_inline)) inline

struct Lanes
{
    __m256i lo, hi;
};

KESTRIN_AVX2 Lanes Widen(__m256i v)
{
    const __m256i zero = _mm256_setzero_si256();
    return {_mm256_unpacklo_epi8(v, zero), _mm256_unpackhi_epi8(v, zero)};
}

KESTRIN_AVX2 __m256i AlphaLanes(__m256i wide)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(wide, 0xFF), 0xFF);
}

KESTRIN_AVX2 __m256i Div255(__m256i x)
{
    return _mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(short(0x8081))), 7);
}

KESTRIN_AVX2 __m256i MixLanes(__m256i d, __m256i c, __m256i a)
{
    const __m256i diff = _mm256_sub_epi16(c, d);
    const __m256i negative = _mm256_cmpgt_epi16(_mm256_setzero_si256(), diff);
    const __m256i magnitude = _mm256_abs_epi16(diff);
    const __m256i q = Div255(_mm256_mullo_epi16(magnitude, a));
    return _mm256_add_epi16(d, _mm256_sub_epi16(_mm256_xor_si256(q, negative), negative));
}

template <bool Tinted>
__attribute__((target("avx2"))) int AlphaRow(uint32_t* d, const uint32_t* s, int n, const Tint& t)
{
    const __m256i opaque = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i tint =
        _mm256_set_epi16(0, short(t.r), short(t.g), short(t.b), 0, short(t.r), short(t.g), short(t.b), 0,
                         short(t.r), short(t.g), short(t.b), 0, short(t.r), short(t.g), short(t.b));
    const __m256i lowThreshold = _mm256_set1_epi32(Tinted ? 1 : 16);
    const __m256i highThreshold = _mm256_set1_epi32(Tinted ? 254 : 239);
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i alpha = _mm256_srli_epi32(sv, 24);
        const __m256i keep = _mm256_cmpgt_epi32(lowThreshold, alpha);
        if (_mm256_movemask_epi8(keep) == -1)
            continue;
        const __m256i copy = _mm256_cmpgt_epi32(alpha, highThreshold);
        const bool allCopy = _mm256_movemask_epi8(copy) == -1;
        if (!Tinted && allCopy)
        {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
            continue;
        }
        const Lanes sw = Widen(sv);
        Lanes cw = sw;
        if constexpr (Tinted)
        {
            cw = {Div255(_mm256_mullo_epi16(sw.lo, tint)), Div255(_mm256_mullo_epi16(sw.hi, tint))};
            if (allCopy)
            {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                                    _mm256_or_si256(_mm256_packus_epi16(cw.lo, cw.hi), opaque));
                continue;
            }
        }
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const Lanes dw = Widen(dv);
        __m256i out = _mm256_or_si256(_mm256_packus_epi16(MixLanes(dw.lo, cw.lo, AlphaLanes(sw.lo)),
                                                          MixLanes(dw.hi, cw.hi, AlphaLanes(sw.hi))),
                                      opaque);
        if constexpr (!Tinted)
            out = _mm256_blendv_epi8(out, sv, copy);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(out, dv, keep));
    }
    // The last few go four at a time where SSE2 is built in.
#if defined(__SSE2__)
    i += Sse2::AlphaRow<Tinted>(d + i, s + i, n - i, t);
#endif
    return i;
}
// One channel of the faded blend in 32-bit lanes: d + (c - d) * w / 65025 truncated toward zero,
// w = alpha * fade. The product stays below 2^24, so it converts exactly, and the truncated float
// quotient equals the integer one for every product that can occur (the tests draw them all).
KESTRIN_AVX2 __m256i MixFaded(__m256i d, __m256i c, __m256i w)
{
    const __m256i diff = _mm256_sub_epi32(c, d);
    const __m256i x = _mm256_mullo_epi32(_mm256_abs_epi32(diff), w);
    const __m256i q =
        _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(x), _mm256_set1_ps(1.0f / 65025.0f)));
    return _mm256_add_epi32(d, _mm256_sign_epi32(q, diff));
}

KESTRIN_AVX2 __m256i Channel(__m256i v, int shift)
{
    return _mm256_and_si256(_mm256_srli_epi32(v, shift), _mm256_set1_epi32(0xFF));
}

// Modes 3 and 6 under a constant alpha 0 < g < 255: alpha 0 keeps, else the faded mix.
template <bool Tinted>
__attribute__((target("avx2"))) int FadedAlphaRow(uint32_t* d, const uint32_t* s, int n, const Tint& t, int g)
{
    const __m256i fade = _mm256_set1_epi32(g);
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i alpha = _mm256_srli_epi32(sv, 24);
        const __m256i keep = _mm256_cmpeq_epi32(alpha, zero);
        if (_mm256_movemask_epi8(keep) == -1)
            continue;
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i w = _mm256_mullo_epi32(alpha, fade);
        __m256i out = _mm256_set1_epi32(int(0xFF000000u));
        const int shifts[3] = {16, 8, 0};
        const int tints[3] = {t.r, t.g, t.b};
        for (int k = 0; k < 3; ++k)
        {
            __m256i c = Channel(sv, shifts[k]);
            if constexpr (Tinted)
                // c * tint / 255, exact as (x * 0x8081) >> 23 for x <= 65025.
                c = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(c, _mm256_set1_epi32(tints[k])),
                                                         _mm256_set1_epi32(0x8081)),
                                      23);
            const __m256i mixed = MixFaded(Channel(dv, shifts[k]), c, w);
            out = _mm256_or_si256(out, _mm256_slli_epi32(mixed, shifts[k]));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(out, dv, keep));
    }
    return i;
}

// One row of a stretched blit, from its source pixels already picked out column by column: each
// channel tinted as (c * (t + 1)) >> 8 and, blending, mixed as (d * (255 - a) + c * (a + 1)) >> 8,
// a clear pixel keeping the target; bit for bit the plain stretched pixel. tint holds t + 1 per
// channel. Every sum stays below 2^16, so 16-bit lanes hold it.
__attribute__((target("avx2"))) int StretchedRow(uint32_t* d, const uint32_t* s, int n,
                                                 const StretchTint& tint, bool blend)
{
    const __m256i factors = _mm256_set_epi16(short(tint.a), short(tint.r), short(tint.g), short(tint.b),
                                             short(tint.a), short(tint.r), short(tint.g), short(tint.b),
                                             short(tint.a), short(tint.r), short(tint.g), short(tint.b),
                                             short(tint.a), short(tint.r), short(tint.g), short(tint.b));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i solid = _mm256_set1_epi32(255);
    const __m256i all = _mm256_set1_epi16(255);
    const __m256i one = _mm256_set1_epi16(1);
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        Lanes pw = Widen(p);
        if (tint.any)
        {
            pw = {_mm256_srli_epi16(_mm256_mullo_epi16(pw.lo, factors), 8),
                  _mm256_srli_epi16(_mm256_mullo_epi16(pw.hi, factors), 8)};
            p = _mm256_packus_epi16(pw.lo, pw.hi);
        }
        if (!blend)
        {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), p);
            continue;
        }
        const __m256i alpha = _mm256_srli_epi32(p, 24);
        const __m256i clear = _mm256_cmpeq_epi32(alpha, zero);
        if (_mm256_movemask_epi8(clear) == -1)
            continue;
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, solid)) == -1)
        {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), p);
            continue;
        }
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const Lanes dw = Widen(dv);
        const __m256i aLo = AlphaLanes(pw.lo), aHi = AlphaLanes(pw.hi);
        const __m256i lo =
            _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dw.lo, _mm256_sub_epi16(all, aLo)),
                                               _mm256_mullo_epi16(pw.lo, _mm256_add_epi16(aLo, one))),
                              8);
        const __m256i hi =
            _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dw.hi, _mm256_sub_epi16(all, aHi)),
                                               _mm256_mullo_epi16(pw.hi, _mm256_add_epi16(aHi, one))),
                              8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), dv, clear));
    }
    return i;
}
#undef KESTRIN_AVX2
} // namespace Avx2
#endif

using FadedVectorRow = int (*)(uint32_t* d, const uint32_t* s, int n, const Tint& t, int g);
using StretchedVectorRow = int (*)(uint32_t* d, const uint32_t* s, int n, const StretchTint& tint,
                                   bool blend);

struct VectorRows
{
    VectorRow alpha = nullptr;
    VectorRow tinted = nullptr;
    FadedVectorRow fadedAlpha = nullptr;
    FadedVectorRow fadedTinted = nullptr;
    StretchedVectorRow stretched = nullptr;
};

VectorRows RowsFor(Internal::BlitPath path)
{
    switch (path)
    {
    case Internal::BlitPath::Plain:
        break;
    case Internal::BlitPath::Sse2:
#if defined(__SSE2__)
        return {&Sse2::AlphaRow<false>, &Sse2::AlphaRow<true>};
#else
        break;
#endif
    case Internal::BlitPath::Avx2:
#if defined(KESTRIN_BLIT_AVX2)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2"))
            return {&Avx2::AlphaRow<false>, &Avx2::AlphaRow<true>, &Avx2::FadedAlphaRow<false>,
                    &Avx2::FadedAlphaRow<true>, &Avx2::StretchedRow};
#endif
        break;
    }
    return {};
}

bool Available(Internal::BlitPath path)
{
    return path == Internal::BlitPath::Plain || RowsFor(path).alpha != nullptr;
}

Internal::BlitPath BestPath()
{
    for (Internal::BlitPath path : {Internal::BlitPath::Avx2, Internal::BlitPath::Sse2})
        if (Available(path))
            return path;
    return Internal::BlitPath::Plain;
}

// Chosen once at start-up; tests switch it to compare the paths.
std::atomic<Internal::BlitPath> g_path{BestPath()};
std::atomic<VectorRow> g_alphaRow{RowsFor(g_path.load()).alpha};
std::atomic<VectorRow> g_tintedRow{RowsFor(g_path.load()).tinted};
std::atomic<FadedVectorRow> g_fadedAlphaRow{RowsFor(g_path.load()).fadedAlpha};
std::atomic<FadedVectorRow> g_fadedTintedRow{RowsFor(g_path.load()).fadedTinted};
std::atomic<StretchedVectorRow> g_stretchedRow{RowsFor(g_path.load()).stretched};

// Rows that overlap their source (an image drawn into itself) take the plain path.
bool Separate(const Area& area)
{
    const uintptr_t dst = reinterpret_cast<uintptr_t>(area.dst);
    const uintptr_t src = reinterpret_cast<uintptr_t>(area.src);
    return dst + size_t(area.height) * size_t(area.dstStride) * 4 <= src ||
           src + size_t(area.height) * size_t(area.srcStride) * 4 <= dst;
}

template <int Mode> void OpaqueRows(const Area& area, const Tint& t)
{
    if constexpr (Mode == Blit_Alpha || Mode == Blit_TintedAlpha)
    {
        const VectorRow row = (Mode == Blit_Alpha ? g_alphaRow : g_tintedRow).load(std::memory_order_relaxed);
        if (row && Separate(area))
        {
            for (int y = 0; y < area.height; ++y)
            {
                uint32_t* d = area.dst + size_t(y) * size_t(area.dstStride);
                const uint32_t* s = area.src + size_t(y) * size_t(area.srcStride);
                const int done = row(d, s, area.width, t);
                OpaqueRow<Mode>(d + done, s + done, area.width - done, t);
            }
            return;
        }
    }
    for (int y = 0; y < area.height; ++y)
        OpaqueRow<Mode>(area.dst + size_t(y) * size_t(area.dstStride),
                        area.src + size_t(y) * size_t(area.srcStride), area.width, t);
}

template <int Mode> void FadedRows(const Area& area, const Tint& t, int g)
{
    if constexpr (Mode == Blit_Alpha || Mode == Blit_TintedAlpha)
    {
        const FadedVectorRow row =
            (Mode == Blit_Alpha ? g_fadedAlphaRow : g_fadedTintedRow).load(std::memory_order_relaxed);
        if (row && Separate(area))
        {
            for (int y = 0; y < area.height; ++y)
            {
                uint32_t* d = area.dst + size_t(y) * size_t(area.dstStride);
                const uint32_t* s = area.src + size_t(y) * size_t(area.srcStride);
                const int done = row(d, s, area.width, t, g);
                FadedRow<Mode>(d + done, s + done, area.width - done, t, g);
            }
            return;
        }
    }
    for (int y = 0; y < area.height; ++y)
        FadedRow<Mode>(area.dst + size_t(y) * size_t(area.dstStride),
                       area.src + size_t(y) * size_t(area.srcStride), area.width, t, g);
}

void RunBlit(BlitMode mode, const Area& area, const Tint& t, int g)
{
    if (g == 255)
    {
        switch (mode)
        {
        case Blit_Block:
            std::memmove(area.dst, area.src, size_t(area.width) * size_t(area.height) * 4);
            break;
        case Blit_Copy:
            OpaqueRows<Blit_Copy>(area, t);
            break;
        case Blit_AlphaTest:
            OpaqueRows<Blit_AlphaTest>(area, t);
            break;
        case Blit_Alpha:
            OpaqueRows<Blit_Alpha>(area, t);
            break;
        case Blit_Tinted:
            OpaqueRows<Blit_Tinted>(area, t);
            break;
        case Blit_TintedTest:
            OpaqueRows<Blit_TintedTest>(area, t);
            break;
        case Blit_TintedAlpha:
            OpaqueRows<Blit_TintedAlpha>(area, t);
            break;
        }
        return;
    }
    switch (mode)
    {
    case Blit_Block:
    case Blit_Copy:
        FadedRows<Blit_Copy>(area, t, g);
        break;
    case Blit_AlphaTest:
        FadedRows<Blit_AlphaTest>(area, t, g);
        break;
    case Blit_Alpha:
        FadedRows<Blit_Alpha>(area, t, g);
        break;
    case Blit_Tinted:
        FadedRows<Blit_Tinted>(area, t, g);
        break;
    case Blit_TintedTest:
        FadedRows<Blit_TintedTest>(area, t, g);
        break;
    case Blit_TintedAlpha:
        FadedRows<Blit_TintedAlpha>(area, t, g);
        break;
    }
}

// One pixel of a stretched blit, the reference for the vector row: tinted, then copied or mixed.
uint32_t StretchedPixel(uint32_t d, uint32_t p, const StretchTint& tint, bool blend)
{
    if (tint.any)
        p = (((tint.a * (p >> 24)) >> 8) << 24) | (((tint.r * ((p >> 16) & 0xFF)) >> 8) << 16) |
            (((tint.g * ((p >> 8) & 0xFF)) >> 8) << 8) | ((tint.b * (p & 0xFF)) >> 8);
    if (!blend)
        return p;
    const uint32_t a = p >> 24;
    if (a == 0)
        return d;
    if (a == 255)
        return p;
    const uint32_t inv = 255 - a, w = a + 1;
    return ((((d >> 24) * inv + a * w) >> 8) << 24) |
           (((((d >> 16) & 0xFF) * inv + ((p >> 16) & 0xFF) * w) >> 8) << 16) |
           (((((d >> 8) & 0xFF) * inv + ((p >> 8) & 0xFF) * w) >> 8) << 8) |
           (((d & 0xFF) * inv + (p & 0xFF) * w) >> 8);
}

} // namespace

namespace Internal
{
bool SetBlitPath(BlitPath path)
{
    if (!Available(path))
        return false;
    const VectorRows rows = RowsFor(path);
    g_alphaRow.store(rows.alpha);
    g_tintedRow.store(rows.tinted);
    g_fadedAlphaRow.store(rows.fadedAlpha);
    g_fadedTintedRow.store(rows.fadedTinted);
    g_stretchedRow.store(rows.stretched);
    g_path.store(path);
    return true;
}

BlitPath CurrentBlitPath()
{
    return g_path.load();
}

BlitPath BestBlitPath()
{
    return BestPath();
}

bool BlitPathAvailable(BlitPath path)
{
    return Available(path);
}

const char* BlitPathName(BlitPath path)
{
    switch (path)
    {
    case BlitPath::Plain:
        return "plain";
    case BlitPath::Sse2:
        return "sse2";
    case BlitPath::Avx2:
        return "avx2";
    }
    return "?";
}

void SetFastBlitRows(bool enabled)
{
    SetBlitPath(enabled ? BestPath() : BlitPath::Plain);
}
} // namespace Internal

BlitMode ChooseBlitMode(const Image& image, const DrawState& state, bool wholeTarget)
{
    const bool tinted = ChannelByte(state.imageColor.r) < 255 || ChannelByte(state.imageColor.g) < 255 ||
                        ChannelByte(state.imageColor.b) < 255;
    const bool blending = image.hasAlpha && (state.flags & DrawFlag_Blend);
    if (tinted)
        return blending ? (image.hasOneBitAlpha ? Blit_TintedTest : Blit_TintedAlpha) : Blit_Tinted;
    if (blending)
        return image.hasOneBitAlpha ? Blit_AlphaTest : Blit_Alpha;
    return wholeTarget ? Blit_Block : Blit_Copy;
}

int BlitImage(const Image* image, int x, int y, const BlitTarget& target, const DrawState& state)
{
    static ProfileSample sample("Graphics::BlitImage");
    ProfileTimer timer(sample);
    if (!image || !image->Pixels() || !target.pixels)
        return Draw_Nothing;
    const int g = ChannelByte(state.imageColor.a);
    if (g == 0)
        return Draw_Nothing;
    const Tint tint{ChannelByte(state.imageColor.r), ChannelByte(state.imageColor.g),
                    ChannelByte(state.imageColor.b)};

    const int64_t imageW = image->GetWidth(), imageH = image->GetHeight();
    int64_t sx = 0, sy = 0, sw = imageW, sh = imageH;
    if (state.flags & DrawFlag_SourceRect)
    {
        sx = state.sourceRect.x;
        sy = state.sourceRect.y;
        sw = state.sourceRect.w;
        sh = state.sourceRect.h;
    }
    // The source rectangle is cut to the image first, moving the destination with its corner,
    // so no rectangle can make the rows read outside the pixels.
    int64_t dx = x, dy = y;
    if (sx < 0)
    {
        dx -= sx;
        sw += sx;
        sx = 0;
    }
    if (sy < 0)
    {
        dy -= sy;
        sh += sy;
        sy = 0;
    }
    sw = std::min(sw, imageW - sx);
    sh = std::min(sh, imageH - sy);
    if (sw < 1 || sh < 1)
        return Draw_Nothing;

    const Rect<int>& clip = state.clipRect;
    const int64_t left = std::max({dx, int64_t(0), int64_t(clip.x)});
    const int64_t top = std::max({dy, int64_t(0), int64_t(clip.y)});
    const int64_t right = std::min({dx + sw, int64_t(target.width), int64_t(clip.x) + clip.w});
    const int64_t bottom = std::min({dy + sh, int64_t(target.height), int64_t(clip.y) + clip.h});
    if (right - left < 1 || bottom - top < 1)
        return Draw_Nothing;
    sx += left - dx;
    sy += top - dy;

    Area area;
    area.width = int(right - left);
    area.height = int(bottom - top);
    area.dstStride = target.width;
    area.srcStride = int(imageW);
    area.dst = target.pixels + size_t(top) * size_t(target.width) + size_t(left);
    area.src = image->Pixels() + size_t(sy) * size_t(imageW) + size_t(sx);

    const bool wholeTarget = imageW == target.width && imageH == target.height && sx == 0 && sy == 0 &&
                             left == 0 && top == 0 && area.width == imageW && area.height == imageH;
    RunBlit(ChooseBlitMode(*image, state, wholeTarget), area, tint, g);
    return Draw_Done;
}

int BlitStretchedImage(const Image* image, const BlitTarget& target, const Rect<int>& destination,
                       const DrawState& state)
{
    static ProfileSample sample("Graphics::BlitStretchedImage");
    ProfileTimer timer(sample);
    if (!image || !target.pixels)
        return Draw_Nothing;
    int64_t sx0 = 0, sy0 = 0, sw = image->GetWidth(), sh = image->GetHeight();
    if (state.flags & DrawFlag_SourceRect)
    {
        sx0 = state.sourceRect.x;
        sy0 = state.sourceRect.y;
        sw = state.sourceRect.w;
        sh = state.sourceRect.h;
    }
    const bool mirrorX = state.flags & DrawFlag_MirrorX;
    const bool mirrorY = state.flags & DrawFlag_MirrorY;
    if (!mirrorX && !mirrorY && destination.w == sw && destination.h == sh)
        return BlitImage(image, destination.x, destination.y, target, state);

    const Rect<int> clip =
        IntersectRects(IntersectRects(destination, {0, 0, target.width, target.height}), state.clipRect);
    const uint32_t tint = PackColor(state.imageColor);
    if (tint == 0)
        return Draw_Nothing;
    // An empty destination or source scales nothing (and must not divide by zero).
    if (clip.IsEmpty() || destination.w <= 0 || destination.h <= 0 || sw <= 0 || sh <= 0)
        return Draw_Done;
    const bool blend = image->hasAlpha && (state.flags & DrawFlag_Blend);
    const StretchTint factors{(tint >> 24) + 1, ((tint >> 16) & 0xFF) + 1, ((tint >> 8) & 0xFF) + 1,
                              (tint & 0xFF) + 1, tint != 0xFFFFFFFFu};
    const StretchedVectorRow vectorRow = g_stretchedRow.load(std::memory_order_relaxed);

    const int64_t dx = destination.x, dy = destination.y, dw = destination.w, dh = destination.h;
    const int64_t imageW = image->GetWidth(), imageH = image->GetHeight();
    const uint32_t* pixels = image->Pixels();
    // Every row reads the same columns: (x - dx) * sw / dw for each x of the clip (x - dx >= 0 there),
    // mirrored, or -1 outside the image, found once by a carried quotient and remainder.
    thread_local std::vector<int32_t> columns;
    columns.resize(size_t(clip.w));
    {
        const int64_t stepWhole = sw / dw, stepPart = sw % dw;
        const int64_t firstNumerator = (int64_t(clip.x) - dx) * sw;
        int64_t column = firstNumerator / dw, part = firstNumerator % dw;
        for (int i = 0; i < clip.w; ++i)
        {
            int64_t sx = column + sx0;
            column += stepWhole;
            part += stepPart;
            if (part >= dw)
            {
                part -= dw;
                ++column;
            }
            if (mirrorX)
                sx = sx0 + sw - 1 - (sx - sx0);
            columns[size_t(i)] = sx >= 0 && sx < imageW ? int32_t(sx) : -1;
        }
    }
    // The row's source pixels are picked out a piece at a time, then blended as one run.
    constexpr int Piece = 256;
    uint32_t picked[Piece];
    for (int64_t y = clip.y; y < int64_t(clip.y) + clip.h; ++y)
    {
        int64_t sy = (y - dy) * sh / dh + sy0;
        if (mirrorY)
            sy = sy0 + sh - 1 - (sy - sy0);
        uint32_t* row = target.pixels + size_t(y) * size_t(target.width) + clip.x;
        const uint32_t* sourceRow =
            pixels && sy >= 0 && sy < imageH ? pixels + size_t(sy) * size_t(imageW) : nullptr;
        for (int x0 = 0; x0 < clip.w; x0 += Piece)
        {
            const int n = std::min(Piece, clip.w - x0);
            const int32_t* from = columns.data() + x0;
            for (int i = 0; i < n; ++i)
                picked[i] = sourceRow && from[i] >= 0 ? sourceRow[from[i]] : 0;
            uint32_t* d = row + x0;
            const int done = vectorRow ? vectorRow(d, picked, n, factors, blend) : 0;
            for (int i = done; i < n; ++i)
                d[i] = StretchedPixel(d[i], picked[i], factors, blend);
        }
    }
    return Draw_Done;
}

} // namespace Kestrin::Graphics
