// Quad filling for the software renderer: edge setup per quad, then spans per row whose inner loops
// are instantiated per blend mode and sampling kind, so each loop is branch-free integer code.
#include "platform/render_soft/raster.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/platform.h"

namespace soft {

namespace {

enum Sampling { kSampleSolid, kSampleNearest, kSampleBilinear, kSampleBlit };

// x / 255 rounded, exact for 0 <= x <= 255 * 255.
inline int Div255(int x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Two 8-bit lanes (bits 0-7 and 16-23) each divided by 255 with rounding; each lane holds at
// most 255 * 255, so neither spills into the other.
inline uint32_t Div255Pair(uint32_t x) {
    x += 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

template <int Blend>
inline void Put(uint32_t& dst, int r, int g, int b, int a) {
    if constexpr (Blend == kBlendMasked) {
        if (a < 128) return;
        dst = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    } else if constexpr (Blend == kBlendSolid) {
        dst = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    } else {
        // Red and blue travel together in one word, green alone.
        const uint32_t d = dst;
        const uint32_t srcRB = uint32_t(r) << 16 | uint32_t(b), srcG = uint32_t(g);
        const uint32_t dstRB = d & 0x00FF00FFu, dstG = d >> 8 & 0xFFu;
        uint32_t rb, gg;
        if constexpr (Blend == kBlendAlpha) {
            const uint32_t ua = uint32_t(a), ia = 255u - ua;
            rb = Div255Pair(srcRB * ua + dstRB * ia);
            gg = uint32_t(Div255(int(srcG * ua + dstG * ia)));
        } else if constexpr (Blend == kBlendLight) {
            // Per-lane sums reach at most 510; saturate each lane by its ninth bit.
            const uint32_t ua = uint32_t(a);
            const uint32_t sum = dstRB + Div255Pair(srcRB * ua);
            const uint32_t over = sum & 0x01000100u;
            rb = (sum | (over - (over >> 8))) & 0x00FF00FFu;
            gg = std::min(255u, dstG + uint32_t(Div255(int(srcG * ua))));
        } else {  // shade: a multiply, alpha plays no part
            rb = uint32_t(Div255(r * int(d >> 16 & 0xFFu))) << 16 | uint32_t(Div255(b * int(d & 0xFFu)));
            gg = uint32_t(Div255(int(srcG * dstG)));
        }
        dst = 0xFF000000u | rb | gg << 8;
    }
}

#if defined(__SSE2__)
// One quad's tint and alpha in 16-bit lanes b, g, r, a (two pixels): colour lanes take
// (c * tint256) >> 8 as ((c * 256) * tint256) >> 16, the alpha lane Div255(c * alpha) as
// ((c * alpha + 128) * 257) >> 16; one shape for both.
struct LaneTint {
    __m128i first, bias, second;
};

inline LaneTint MakeLaneTint(int tintR256, int tintG256, int tintB256, int alpha255) {
    const short a255 = short(alpha255);
    return LaneTint{_mm_set_epi16(a255, 256, 256, 256, a255, 256, 256, 256),
                    _mm_set_epi16(128, 0, 0, 0, 128, 0, 0, 0),
                    _mm_set_epi16(257, short(tintR256), short(tintG256), short(tintB256), 257, short(tintR256),
                                  short(tintG256), short(tintB256))};
}

// What the nearest span's lanes need of one quad, set up once rather than on every row.
struct NearestLanes {
    LaneTint tint;
    __m128i texLow, texHigh;  // the texel rectangle's corners as 16-bit (column, row) pairs
    __m128i rowStep;          // (1, width) pairs: a multiply-add turns a pair into an index
    __m128i uSteps, vSteps;   // 0, 1, 2, 3 steps along the row
    __m128i u4, v4;           // four steps
};
#endif

// Everything one quad's spans need, worked out once per quad. The lanes are left unset (not
// zeroed with the rest) unless the nearest span will read them: clearing them costs every quad.
struct Setup {
    int tintR256 = 0, tintG256 = 0, tintB256 = 0;  // tint scaled so 255 multiplies by exactly 1
    int alpha255 = 0;                              // paint alpha, 0..255
    bool plainTexels = false;                      // white tint at full alpha: Texel changes nothing
    int solidR = 0, solidG = 0, solidB = 0, solidA = 0;
    const TextureView* texture = nullptr;
    // Texture coordinates at the centre of pixel (0, 0) and their steps per pixel.
    float u00 = 0, v00 = 0, dudx = 0, dudy = 0, dvdx = 0, dvdy = 0;
    int texMinX = 0, texMaxX = 0, texMinY = 0, texMaxY = 0;  // texel rectangle the quad may read
    int blitDx = 0, blitDy = 0;                              // texel = pixel + offset on the blit path
    // The texel nearest coordinates count from: 0, or the rectangle's corner on sheets larger than
    // 16.16 fixed point reaches, whose coordinates are then taken relative to it.
    int fixedOriginX = 0, fixedOriginY = 0;
    bool hugeTexture = false;
    int rowWidth = 0;                  // pixels in a row of the target
    int32_t duFixed = 0, dvFixed = 0;  // steps along a row in 16.16 fixed point
#if defined(__SSE2__)
    NearestLanes lanes;
#endif
};

// Texel coordinates 16.16 fixed point holds with room for a span's steps.
constexpr float kFixedReach = 30000.0f;

// Texture coordinates as 16.16 fixed point; anything a span can meet fits with room to spare.
// Rounds half away from zero as lround does, without the library call: in double the float and
// the half add exactly, so the floor is the correctly rounded value.
inline int32_t ToFixed(float texels) {
    const double x = double(std::clamp(texels, -kFixedReach, kFixedReach) * 65536.0f);
    if (x >= 0) return int32_t(x + 0.5);
    return x < 0 ? -int32_t(0.5 - x) : 0;  // a NaN (from a degenerate mapping) reads as 0
}

inline void Texel(const Setup& s, uint32_t c, int& r, int& g, int& b, int& a) {
    r = (int(c >> 16 & 0xFF) * s.tintR256) >> 8;
    g = (int(c >> 8 & 0xFF) * s.tintG256) >> 8;
    b = (int(c & 0xFF) * s.tintB256) >> 8;
    a = Div255(int(c >> 24) * s.alpha255);
}

inline uint32_t Lerp(uint32_t a, uint32_t b, int w) {  // w 0..256 toward b, per channel
    const uint32_t rbA = a & 0x00FF00FFu, agA = a >> 8 & 0x00FF00FFu;
    const uint32_t rbB = b & 0x00FF00FFu, agB = b >> 8 & 0x00FF00FFu;
    const uint32_t rb = ((rbA * uint32_t(256 - w) + rbB * uint32_t(w)) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((agA * uint32_t(256 - w) + agB * uint32_t(w)) >> 8) & 0x00FF00FFu;
    return rb | ag << 8;
}

// Spans run in two stages over chunks of pixels: fetch the colours (raw texels, or the paint's colour
// already tinted) into a small buffer, then tint and blend the whole chunk. The blend stage does
// four pixels at a time in 16-bit lanes with the very integer arithmetic of Texel and Put, so the
// picture is bit for bit that of the one-pixel-at-a-time code, which still serves the odd tail.
constexpr int kChunk = 64;

template <int Blend, bool Tinted>
inline void ShadeOne(const Setup& s, uint32_t& dst, uint32_t c) {
    int r, g, b, a;
    if constexpr (Tinted) {
        r = int(c >> 16 & 0xFF);
        g = int(c >> 8 & 0xFF);
        b = int(c & 0xFF);
        a = int(c >> 24);
    } else {
        Texel(s, c, r, g, b, a);
    }
    Put<Blend>(dst, r, g, b, a);
}

// Nearest texels for `n` pixels from 16.16 coordinates (uf, vf) stepping by (du, dv).
inline void FetchNearestScalar(const Setup& s, int32_t uf, int32_t vf, int32_t du, int32_t dv, int n,
                               uint32_t* out) {
    const TextureView& t = *s.texture;
    for (int i = 0; i < n; ++i) {
        const int tx = std::clamp((uf >> 16) + s.fixedOriginX, s.texMinX, s.texMaxX);
        const int ty = std::clamp((vf >> 16) + s.fixedOriginY, s.texMinY, s.texMaxY);
        out[i] = t.pixels[size_t(ty) * size_t(t.width) + size_t(tx)];
        uf = int32_t(uint32_t(uf) + uint32_t(du));
        vf = int32_t(uint32_t(vf) + uint32_t(dv));
    }
}

#if defined(__SSE2__)

// x / 255 rounded in each 16-bit lane, exact for 0 <= x <= 255 * 255 (as Div255): for y = x + 128
// in that range, (y * 257) >> 16 equals (y + (y >> 8)) >> 8, as an exhaustive check confirms.
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Each pixel's alpha lane copied into its four lanes.
inline __m128i SpreadAlpha(__m128i x) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// Two pixels (b, g, r, a lanes) of source and destination blended; the result's alpha lane is
// a don't-care, forced to opaque by the caller.
template <int Blend>
inline __m128i BlendPair(__m128i src, __m128i dst) {
    const __m128i a = SpreadAlpha(src);
    if constexpr (Blend == kBlendAlpha) {
        const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
        return Div255x8(_mm_add_epi16(_mm_mullo_epi16(src, a), _mm_mullo_epi16(dst, ia)));
    } else if constexpr (Blend == kBlendLight) {
        return Div255x8(_mm_mullo_epi16(src, a));  // added to the destination with saturation
    } else {                                       // shade
        return Div255x8(_mm_mullo_epi16(src, dst));
    }
}

// Four colours c (raw texels, or already tinted) tinted and blended onto four destination pixels d.
template <int Blend, bool Tinted>
inline __m128i ShadeFour(const LaneTint& k, __m128i c, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = _mm_unpacklo_epi8(c, zero), hi = _mm_unpackhi_epi8(c, zero);
    if constexpr (!Tinted) {
        lo = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(lo, k.first), k.bias), k.second);
        hi = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(hi, k.first), k.bias), k.second);
    }
    const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    __m128i result = _mm_packus_epi16(BlendPair<Blend>(lo, dLo), BlendPair<Blend>(hi, dHi));
    if constexpr (Blend == kBlendLight) result = _mm_adds_epu8(result, d);
    return _mm_or_si128(result, _mm_set1_epi32(int(0xFF000000u)));
}

template <int Blend, bool Tinted>
void Shade(const Setup& s, uint32_t* dst, const uint32_t* src, int n) {
    if constexpr (!Tinted) {
        if (s.plainTexels) return Shade<Blend, true>(s, dst, src, n);
    }
    if constexpr (Blend == kBlendAlpha || Blend == kBlendLight || Blend == kBlendShade) {
        const LaneTint k = MakeLaneTint(s.tintR256, s.tintG256, s.tintB256, s.alpha255);
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            __m128i* out = reinterpret_cast<__m128i*>(dst + i);
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            _mm_storeu_si128(out, ShadeFour<Blend, Tinted>(k, c, _mm_loadu_si128(out)));
        }
        for (; i < n; ++i) ShadeOne<Blend, Tinted>(s, dst[i], src[i]);
    } else {
        for (int i = 0; i < n; ++i) ShadeOne<Blend, Tinted>(s, dst[i], src[i]);
    }
}

inline __m128i ClampLanes(__m128i x, __m128i lo, __m128i hi) {  // lo <= hi
    const __m128i above = _mm_cmpgt_epi32(x, hi);
    x = _mm_or_si128(_mm_and_si128(above, hi), _mm_andnot_si128(above, x));
    const __m128i below = _mm_cmpgt_epi32(lo, x);
    return _mm_or_si128(_mm_and_si128(below, lo), _mm_andnot_si128(below, x));
}

// As FetchNearestScalar, four pixels at a time; the texel index comes from one multiply-add of
// 16-bit (column, row) pairs, so huge textures take the scalar road.
void FetchNearest(const Setup& s, int32_t uf, int32_t vf, int32_t du, int32_t dv, int n, uint32_t* out) {
    const TextureView& t = *s.texture;
    if (s.hugeTexture) return FetchNearestScalar(s, uf, vf, du, dv, n, out);
    auto steps = [](int32_t d) {  // 0, d, 2d, 3d
        const uint32_t ud = uint32_t(d);
        return _mm_set_epi32(int32_t(ud * 3u), int32_t(ud * 2u), d, 0);
    };
    __m128i u = _mm_add_epi32(_mm_set1_epi32(uf), steps(du));
    __m128i v = _mm_add_epi32(_mm_set1_epi32(vf), steps(dv));
    const __m128i du4 = _mm_set1_epi32(int32_t(uint32_t(du) * 4u)), dv4 = _mm_set1_epi32(int32_t(uint32_t(dv) * 4u));
    const __m128i minX = _mm_set1_epi32(s.texMinX), maxX = _mm_set1_epi32(s.texMaxX);
    const __m128i minY = _mm_set1_epi32(s.texMinY), maxY = _mm_set1_epi32(s.texMaxY);
    const __m128i rowStep = _mm_set1_epi32(int32_t(uint32_t(t.width) << 16 | 1u));  // (1, width) pairs
    alignas(16) int32_t index[4];
    for (int i = 0; i < n; i += 4) {
        // Lanes past n are clamped like any other, so they read inside the texel rectangle.
        const __m128i tx = ClampLanes(_mm_srai_epi32(u, 16), minX, maxX);
        const __m128i ty = ClampLanes(_mm_srai_epi32(v, 16), minY, maxY);
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_madd_epi16(_mm_or_si128(tx, _mm_slli_epi32(ty, 16)), rowStep));
        // One 16-byte store: four narrow ones would stall the blend's wide load of them.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_set_epi32(int32_t(t.pixels[index[3]]), int32_t(t.pixels[index[2]]),
                                       int32_t(t.pixels[index[1]]), int32_t(t.pixels[index[0]])));
        u = _mm_add_epi32(u, du4);
        v = _mm_add_epi32(v, dv4);
    }
}

// Nearest texels fetched, tinted and blended four pixels at a time with nothing stored in between:
// for small turned sprites the fetch and the blend are the whole cost of a row. The last partial
// group is done in lanes too when the row has room for four pixels there, leaving the lanes past
// the span as they were; only this thread writes this row, so rewriting them is harmless.
template <int Blend, bool Plain>
void NearestSpanFused(const Setup& s, uint32_t* row, int x0, int x1, int32_t uf, int32_t vf) {
    const uint32_t* pixels = s.texture->pixels;
    const NearestLanes& k = s.lanes;
    __m128i u = _mm_add_epi32(_mm_set1_epi32(uf), k.uSteps);
    __m128i v = _mm_add_epi32(_mm_set1_epi32(vf), k.vSteps);
    const __m128i rowHalf = _mm_set1_epi32(int32_t(0xFFFF0000u));
    alignas(16) int32_t index[4];
    auto fetch = [&] {
        // The whole parts of u and v side by side as 16-bit (column, row) pairs: each is its 16.16
        // value shifted down, which always fits 16 bits, so the 16-bit clamps are the scalar ones.
        // Lanes past the span are clamped like any other, so they read inside the texel rectangle.
        __m128i pair = _mm_or_si128(_mm_srli_epi32(u, 16), _mm_and_si128(v, rowHalf));
        pair = _mm_min_epi16(_mm_max_epi16(pair, k.texLow), k.texHigh);
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_madd_epi16(pair, k.rowStep));
        u = _mm_add_epi32(u, k.u4);
        v = _mm_add_epi32(v, k.v4);
        return _mm_set_epi32(int32_t(pixels[index[3]]), int32_t(pixels[index[2]]), int32_t(pixels[index[1]]),
                             int32_t(pixels[index[0]]));
    };
    const LaneTint& tint = k.tint;
    int x = x0;
    for (; x + 4 <= x1; x += 4) {
        __m128i* out = reinterpret_cast<__m128i*>(row + x);
        const __m128i c = fetch();
        _mm_storeu_si128(out, ShadeFour<Blend, Plain>(tint, c, _mm_loadu_si128(out)));
    }
    if (x == x1) return;
    const __m128i c = fetch();
    if (x + 4 <= s.rowWidth) {
        __m128i* out = reinterpret_cast<__m128i*>(row + x);
        const __m128i d = _mm_loadu_si128(out);
        const __m128i keep = _mm_cmpgt_epi32(_mm_set1_epi32(x1 - x), _mm_set_epi32(3, 2, 1, 0));
        const __m128i result = ShadeFour<Blend, Plain>(tint, c, d);
        _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(keep, result), _mm_andnot_si128(keep, d)));
        return;
    }
    alignas(16) uint32_t texels[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(texels), c);
    for (int i = 0; x + i < x1; ++i) ShadeOne<Blend, Plain>(s, row[x + i], texels[i]);
}

// Bilinear colours for `n` pixels of row y from column x on, exactly as the scalar formula: the
// coordinates in float, four at a time, then the texels fetched and interpolated in 16-bit lanes.
void FetchBilinear(const Setup& s, int y, int x, int n, uint32_t* out) {
    const TextureView& t = *s.texture;
    const float yc = float(y);
    const __m128 uRow = _mm_set1_ps(s.u00 + s.dudy * yc), vRow = _mm_set1_ps(s.v00 + s.dvdy * yc);
    const __m128 dudx = _mm_set1_ps(s.dudx), dvdx = _mm_set1_ps(s.dvdx);
    const __m128 half = _mm_set1_ps(0.5f), scale = _mm_set1_ps(256.0f);
    const __m128 minX = _mm_set1_ps(float(s.texMinX)), maxX = _mm_set1_ps(float(s.texMaxX));
    const __m128 minY = _mm_set1_ps(float(s.texMinY)), maxY = _mm_set1_ps(float(s.texMaxY));
    const __m128i zero = _mm_setzero_si128(), w256 = _mm_set1_epi16(256);
    // Pair loads read one texel right and one row down of a square's corner, so the rectangle must
    // leave room for stepping back from its last column and row.
    const bool pairs = s.texMaxX >= 1 && s.texMaxY >= 1;
    const __m128i maxXi = _mm_set1_epi32(s.texMaxX), maxYi = _mm_set1_epi32(s.texMaxY);
    const __m128i full = _mm_set1_epi32(256);
    alignas(16) int32_t tx[4], ty[4];
    for (int i = 0; i < n; i += 4) {
        // Lanes past n are clamped like any other, so they read inside the texel rectangle.
        const __m128 xs = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(x + i), _mm_set_epi32(3, 2, 1, 0)));
        // min before max with the bound second: a NaN coordinate lands on a bound, never off the texture.
        const __m128 fu = _mm_max_ps(_mm_min_ps(_mm_sub_ps(_mm_add_ps(uRow, _mm_mul_ps(dudx, xs)), half), maxX), minX);
        const __m128 fv = _mm_max_ps(_mm_min_ps(_mm_sub_ps(_mm_add_ps(vRow, _mm_mul_ps(dvdx, xs)), half), maxY), minY);
        __m128i ix = _mm_cvttps_epi32(fu), iy = _mm_cvttps_epi32(fv);
        __m128i wx = _mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(fu, _mm_cvtepi32_ps(ix)), scale));
        __m128i wy = _mm_cvttps_epi32(_mm_mul_ps(_mm_sub_ps(fv, _mm_cvtepi32_ps(iy)), scale));
        __m128i a, b, c, d;  // the four corners of each pixel's texel square
        if (pairs) {
            // A sample on the last column (row) has weight 0 toward its clamped neighbour; taking
            // the square one to the left (up) with weight 256 instead gives the very same value
            // and lets each row of the square come from one 8-byte load.
            const __m128i lastX = _mm_cmpeq_epi32(ix, maxXi), lastY = _mm_cmpeq_epi32(iy, maxYi);
            ix = _mm_add_epi32(ix, lastX);
            iy = _mm_add_epi32(iy, lastY);
            wx = _mm_or_si128(wx, _mm_and_si128(lastX, full));
            wy = _mm_or_si128(wy, _mm_and_si128(lastY, full));
            _mm_store_si128(reinterpret_cast<__m128i*>(tx), ix);
            _mm_store_si128(reinterpret_cast<__m128i*>(ty), iy);
            auto top = [&](int k) { return t.pixels + size_t(ty[k]) * size_t(t.width) + size_t(tx[k]); };
            auto load2 = [](const uint32_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
            if (tx[0] == tx[3] && ty[0] == ty[3]) {
                // Coordinates move monotonically along a row, so the four pixels share one square:
                // the common case when a texture is magnified.
                const __m128i ab = load2(top(0)), cd = load2(top(0) + t.width);
                a = _mm_shuffle_epi32(ab, _MM_SHUFFLE(0, 0, 0, 0));
                b = _mm_shuffle_epi32(ab, _MM_SHUFFLE(1, 1, 1, 1));
                c = _mm_shuffle_epi32(cd, _MM_SHUFFLE(0, 0, 0, 0));
                d = _mm_shuffle_epi32(cd, _MM_SHUFFLE(1, 1, 1, 1));
            } else {
                const uint32_t* q0 = top(0);
                const uint32_t* q1 = top(1);
                const uint32_t* q2 = top(2);
                const uint32_t* q3 = top(3);
                const __m128i ab01 = _mm_unpacklo_epi32(load2(q0), load2(q1));  // a0 a1 b0 b1
                const __m128i ab23 = _mm_unpacklo_epi32(load2(q2), load2(q3));
                const __m128i cd01 = _mm_unpacklo_epi32(load2(q0 + t.width), load2(q1 + t.width));
                const __m128i cd23 = _mm_unpacklo_epi32(load2(q2 + t.width), load2(q3 + t.width));
                a = _mm_unpacklo_epi64(ab01, ab23);
                b = _mm_unpackhi_epi64(ab01, ab23);
                c = _mm_unpacklo_epi64(cd01, cd23);
                d = _mm_unpackhi_epi64(cd01, cd23);
            }
        } else {
            _mm_store_si128(reinterpret_cast<__m128i*>(tx), ix);
            _mm_store_si128(reinterpret_cast<__m128i*>(ty), iy);
            uint32_t c00[4], c01[4], c10[4], c11[4];
            for (int k = 0; k < 4; ++k) {
                const int x1 = std::min(tx[k] + 1, s.texMaxX), y1 = std::min(ty[k] + 1, s.texMaxY);
                const uint32_t* r0 = t.pixels + size_t(ty[k]) * size_t(t.width);
                const uint32_t* r1 = t.pixels + size_t(y1) * size_t(t.width);
                c00[k] = r0[tx[k]];
                c01[k] = r0[x1];
                c10[k] = r1[tx[k]];
                c11[k] = r1[x1];
            }
            auto gather = [](const uint32_t* q) {
                return _mm_set_epi32(int32_t(q[3]), int32_t(q[2]), int32_t(q[1]), int32_t(q[0]));
            };
            a = gather(c00);
            b = gather(c01);
            c = gather(c10);
            d = gather(c11);
        }
        // Weights per pixel spread over its four lanes: pixels 0-1 in `Lo`, 2-3 in `Hi`.
        const __m128i wx16 = _mm_packs_epi32(wx, wx), wy16 = _mm_packs_epi32(wy, wy);
        const __m128i wxPairs = _mm_unpacklo_epi16(wx16, wx16), wyPairs = _mm_unpacklo_epi16(wy16, wy16);
        const __m128i wxLo = _mm_unpacklo_epi32(wxPairs, wxPairs), wxHi = _mm_unpackhi_epi32(wxPairs, wxPairs);
        const __m128i wyLo = _mm_unpacklo_epi32(wyPairs, wyPairs), wyHi = _mm_unpackhi_epi32(wyPairs, wyPairs);
        auto lerp = [&](__m128i from, __m128i to, __m128i w) {  // as Lerp: lanes never exceed 255 * 256
            return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(from, _mm_sub_epi16(w256, w)), _mm_mullo_epi16(to, w)), 8);
        };
        const __m128i lo = lerp(lerp(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), wxLo),
                                lerp(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi8(d, zero), wxLo), wyLo);
        const __m128i hi = lerp(lerp(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), wxHi),
                                lerp(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi8(d, zero), wxHi), wyHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
}

#else

void FetchNearest(const Setup& s, int32_t uf, int32_t vf, int32_t du, int32_t dv, int n, uint32_t* out) {
    FetchNearestScalar(s, uf, vf, du, dv, n, out);
}

template <int Blend, bool Tinted>
void Shade(const Setup& s, uint32_t* dst, const uint32_t* src, int n) {
    for (int i = 0; i < n; ++i) ShadeOne<Blend, Tinted>(s, dst[i], src[i]);
}

void FetchBilinear(const Setup& s, int y, int x, int n, uint32_t* out) {
    const TextureView& t = *s.texture;
    const float yc = float(y);
    const float uRow = s.u00 + s.dudy * yc, vRow = s.v00 + s.dvdy * yc;
    const float minX = float(s.texMinX), maxX = float(s.texMaxX);
    const float minY = float(s.texMinY), maxY = float(s.texMaxY);
    for (int i = 0; i < n; ++i) {
        const float xc = float(x + i);
        const float u = uRow + s.dudx * xc, v = vRow + s.dvdx * xc;
        // Compared so that a NaN coordinate lands on a bound, as in the SSE2 version.
        float fu = u - 0.5f, fv = v - 0.5f;
        fu = fu < maxX ? fu : maxX;
        fu = fu > minX ? fu : minX;
        fv = fv < maxY ? fv : maxY;
        fv = fv > minY ? fv : minY;
        const int tx = int(fu), ty = int(fv);
        const int wx = int((fu - float(tx)) * 256.0f), wy = int((fv - float(ty)) * 256.0f);
        const int tx1 = std::min(tx + 1, s.texMaxX), ty1 = std::min(ty + 1, s.texMaxY);
        const uint32_t* r0 = t.pixels + size_t(ty) * size_t(t.width);
        const uint32_t* r1 = t.pixels + size_t(ty1) * size_t(t.width);
        out[i] = Lerp(Lerp(r0[tx], r0[tx1], wx), Lerp(r1[tx], r1[tx1], wx), wy);
    }
}

#endif

template <int Blend, int Sample>
void Span(const Setup& s, uint32_t* row, int y, int x0, int x1) {
    if constexpr (Sample == kSampleBlit) {
        const TextureView& t = *s.texture;
        const uint32_t* src = t.pixels + size_t(y + s.blitDy) * size_t(t.width) + s.blitDx;
        Shade<Blend, false>(s, row + x0, src + x0, x1 - x0);
        return;
    } else {
        alignas(16) uint32_t buffer[kChunk + 4];
        if constexpr (Sample == kSampleSolid) {
            const uint32_t c = uint32_t(s.solidA) << 24 | uint32_t(s.solidR) << 16 |
                               uint32_t(s.solidG) << 8 | uint32_t(s.solidB);
            std::fill(buffer, buffer + kChunk, c);
            for (int x = x0; x < x1; x += kChunk) Shade<Blend, true>(s, row + x, buffer, std::min(kChunk, x1 - x));
            return;
        } else if constexpr (Sample == kSampleNearest) {
            // 16.16 fixed point along the row: over a screen-wide span the step's rounding moves a
            // sample by less than a fiftieth of a texel.
            const float uStart = s.u00 + s.dudy * float(y) + s.dudx * float(x0);
            const float vStart = s.v00 + s.dvdy * float(y) + s.dvdx * float(x0);
            int32_t uf = ToFixed(uStart - float(s.fixedOriginX)), vf = ToFixed(vStart - float(s.fixedOriginY));
            const int32_t du = s.duFixed, dv = s.dvFixed;
#if defined(__SSE2__)
            if constexpr (Blend == kBlendAlpha || Blend == kBlendLight || Blend == kBlendShade) {
                if (!s.hugeTexture) {
                    if (s.plainTexels) return NearestSpanFused<Blend, true>(s, row, x0, x1, uf, vf);
                    return NearestSpanFused<Blend, false>(s, row, x0, x1, uf, vf);
                }
            }
#endif
            for (int x = x0; x < x1; x += kChunk) {
                const int n = std::min(kChunk, x1 - x);
                FetchNearest(s, uf, vf, du, dv, n, buffer);
                // Unsigned, so a wild coordinate wraps as the per-pixel sums would instead of overflowing.
                uf = int32_t(uint32_t(uf) + uint32_t(n) * uint32_t(du));
                vf = int32_t(uint32_t(vf) + uint32_t(n) * uint32_t(dv));
                Shade<Blend, false>(s, row + x, buffer, n);
            }
            return;
        } else {
            for (int x = x0; x < x1; x += kChunk) {
                const int n = std::min(kChunk, x1 - x);
                FetchBilinear(s, y, x, n, buffer);
                Shade<Blend, false>(s, row + x, buffer, n);
            }
        }
    }
}

using SpanFn = void (*)(const Setup&, uint32_t*, int, int, int);

template <int Blend>
SpanFn PickSpan(int sample) {
    switch (sample) {
        case kSampleNearest: return &Span<Blend, kSampleNearest>;
        case kSampleBilinear: return &Span<Blend, kSampleBilinear>;
        case kSampleBlit: return &Span<Blend, kSampleBlit>;
        default: return &Span<Blend, kSampleSolid>;
    }
}

SpanFn PickSpan(int blend, int sample) {
    switch (blend) {
        case kBlendMasked: return PickSpan<kBlendMasked>(sample);
        case kBlendSolid: return PickSpan<kBlendSolid>(sample);
        case kBlendLight: return PickSpan<kBlendLight>(sample);
        case kBlendShade: return PickSpan<kBlendShade>(sample);
        default: return PickSpan<kBlendAlpha>(sample);
    }
}

// A non-horizontal edge, stored top to bottom whatever the quad's winding, so two quads sharing
// it compute bit-identical crossings and split the pixels on it exactly.
struct Edge {
    float topX, topY, bottomY;
    float dxdy;
    bool right;  // bounds the quad on its right (pixels on it excluded) rather than its left
};

constexpr float kCoordLimit = 1.0e7f;  // farther corners are nonsense; refusing keeps ints safe

// Lowest texel index of a coordinate range and the highest, inside [0, size - 1].
void TexelRange(float lo, float hi, int size, int& first, int& last) {
    first = std::clamp(int(std::floor(lo)), 0, size - 1);
    last = std::clamp(int(std::ceil(hi)) - 1, first, size - 1);
}

// The bounds of four rows at a time, y to y + 3: the columns x0 <= x < x1 whose centres lie
// between each row's left and right edges.
#if defined(__SSE2__)

// The rows side by side in four lanes, so the edges' crossings are worked out four rows per lane
// operation. Each lane does the scalar formula's very float operations, in the same order of
// minimum and maximum, so the bounds are bit for bit those of one row at a time.
struct EdgeLanes {
    const Edge* edges;
    int count;
    EdgeLanes(const Edge* e, int n) : edges(e), count(n) {}

    void Rows(int y, float width, int32_t* x0, int32_t* x1) const {
        const __m128 yc = _mm_add_ps(_mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(y), _mm_set_epi32(3, 2, 1, 0))),
                                     _mm_set1_ps(0.5f));
        __m128 left = _mm_set1_ps(-kCoordLimit), right = _mm_set1_ps(kCoordLimit);
        for (int i = 0; i < count; ++i) {
            const Edge& e = edges[i];
            const __m128 x =
                _mm_add_ps(_mm_set1_ps(e.topX), _mm_mul_ps(_mm_sub_ps(yc, _mm_set1_ps(e.topY)), _mm_set1_ps(e.dxdy)));
            // Rows the edge spans; a NaN crossing (an edge of near-zero height) counts for nothing,
            // as the scalar min and max ignore it.
            const __m128 live = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(yc, _mm_set1_ps(e.topY)),
                                                      _mm_cmple_ps(yc, _mm_set1_ps(e.bottomY))),
                                           _mm_cmpord_ps(x, x));
            if (e.right) {
                right = _mm_or_ps(_mm_and_ps(live, _mm_min_ps(x, right)), _mm_andnot_ps(live, right));
            } else {
                left = _mm_or_ps(_mm_and_ps(live, _mm_max_ps(x, left)), _mm_andnot_ps(live, left));
            }
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(x0), CeilInside(_mm_sub_ps(left, _mm_set1_ps(0.5f)), width));
        _mm_store_si128(reinterpret_cast<__m128i*>(x1), CeilInside(_mm_sub_ps(right, _mm_set1_ps(0.5f)), width));
    }

    // ceil(v) limited to [0, width]: clamped first (the same, as 0 and width are whole), then a
    // truncation raised by one where it fell short.
    static __m128i CeilInside(__m128 v, float width) {
        const __m128 clamped = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(width));
        const __m128i whole = _mm_cvttps_epi32(clamped);
        return _mm_sub_epi32(whole, _mm_castps_si128(_mm_cmplt_ps(_mm_cvtepi32_ps(whole), clamped)));
    }
};

#else

struct EdgeLanes {
    const Edge* edges;
    int count;
    EdgeLanes(const Edge* e, int n) : edges(e), count(n) {}

    void Rows(int y, float width, int32_t* x0, int32_t* x1) const {
        for (int k = 0; k < 4; ++k) {
            const float yc = float(y + k) + 0.5f;
            float left = -kCoordLimit, right = kCoordLimit;
            for (int i = 0; i < count; ++i) {
                const Edge& e = edges[i];
                if (yc < e.topY || yc > e.bottomY) continue;
                const float x = e.topX + (yc - e.topY) * e.dxdy;
                if (e.right) {
                    right = std::min(right, x);
                } else {
                    left = std::max(left, x);
                }
            }
            x0[k] = int(std::clamp(std::ceil(left - 0.5f), 0.0f, width));
            x1[k] = int(std::clamp(std::ceil(right - 0.5f), 0.0f, width));
        }
    }
};

#endif

}  // namespace

void FillQuad(const Surface& target, const plat::QuadVertex corners[4], const plat::QuadPaint& paint,
              const TextureView* texture, int bandBegin, int bandEnd) {
    if (!target.pixels || target.width <= 0 || target.height <= 0) return;
    for (int i = 0; i < 4; ++i) {
        const plat::QuadVertex& c = corners[i];
        if (!(std::fabs(c.x) < kCoordLimit && std::fabs(c.y) < kCoordLimit)) return;
    }
    // Rows whose centre lies in [minY, maxY). A quad wholly outside the band (half of them when
    // two threads share the queue) is done before any other setup.
    float minY = corners[0].y, maxY = corners[0].y;
    for (int i = 1; i < 4; ++i) {
        minY = std::min(minY, corners[i].y);
        maxY = std::max(maxY, corners[i].y);
    }
    const int rowBegin =
        std::max(bandBegin, int(std::clamp(std::ceil(minY - 0.5f), 0.0f, float(target.height))));
    const int rowEnd = std::min(bandEnd, int(std::clamp(std::ceil(maxY - 0.5f), 0.0f, float(target.height))));
    if (rowBegin >= rowEnd) return;

    float area2 = 0;
    for (int i = 0; i < 4; ++i) {
        const plat::QuadVertex& p = corners[i];
        const plat::QuadVertex& q = corners[(i + 1) % 4];
        area2 += p.x * q.y - q.x * p.y;
    }
    if (area2 == 0) return;
    const bool clockwise = area2 > 0;  // clockwise on a y-down screen

    Edge edges[4];
    int edgeCount = 0;
    for (int i = 0; i < 4; ++i) {
        const plat::QuadVertex& p = corners[i];
        const plat::QuadVertex& q = corners[(i + 1) % 4];
        if (p.y == q.y) continue;
        const bool down = q.y > p.y;
        const plat::QuadVertex& top = down ? p : q;
        const plat::QuadVertex& bottom = down ? q : p;
        edges[edgeCount++] = Edge{top.x, top.y, bottom.y, (bottom.x - top.x) / (bottom.y - top.y),
                                  down == clockwise};
    }

    Setup s;
    const int alpha255 = int(std::lround(std::clamp(paint.alpha, 0.0f, 1.0f) * 255.0f));
    s.alpha255 = alpha255;
    s.tintR256 = paint.r + (paint.r >> 7);
    s.tintG256 = paint.g + (paint.g >> 7);
    s.tintB256 = paint.b + (paint.b >> 7);
    s.plainTexels = s.tintR256 == 256 && s.tintG256 == 256 && s.tintB256 == 256 && alpha255 == 255;
    s.solidR = paint.r;
    s.solidG = paint.g;
    s.solidB = paint.b;
    s.solidA = alpha255;
    s.rowWidth = target.width;
    int sample = kSampleSolid;
    if (texture) {
        if (!texture->pixels || texture->width <= 0 || texture->height <= 0) return;
        s.texture = texture;
        const plat::QuadVertex& c0 = corners[0];
        const plat::QuadVertex& c1 = corners[1];
        const plat::QuadVertex& c3 = corners[3];
        const float e1x = c1.x - c0.x, e1y = c1.y - c0.y, e2x = c3.x - c0.x, e2y = c3.y - c0.y;
        const float det = e1x * e2y - e1y * e2x;
        if (det == 0) return;
        const float t1u = c1.u - c0.u, t1v = c1.v - c0.v, t2u = c3.u - c0.u, t2v = c3.v - c0.v;
        s.dudx = (e2y * t1u - e1y * t2u) / det;
        s.dudy = (e1x * t2u - e2x * t1u) / det;
        s.dvdx = (e2y * t1v - e1y * t2v) / det;
        s.dvdy = (e1x * t2v - e2x * t1v) / det;
        // Pixel (x, y) samples at its centre (x + 0.5, y + 0.5).
        s.u00 = c0.u + s.dudx * (0.5f - c0.x) + s.dudy * (0.5f - c0.y);
        s.v00 = c0.v + s.dvdx * (0.5f - c0.x) + s.dvdy * (0.5f - c0.y);
        float uLo = c0.u, uHi = c0.u, vLo = c0.v, vHi = c0.v;
        for (int i = 1; i < 4; ++i) {
            uLo = std::min(uLo, corners[i].u);
            uHi = std::max(uHi, corners[i].u);
            vLo = std::min(vLo, corners[i].v);
            vHi = std::max(vHi, corners[i].v);
        }
        TexelRange(uLo, uHi, texture->width, s.texMinX, s.texMaxX);
        TexelRange(vLo, vHi, texture->height, s.texMinY, s.texMaxY);
        s.hugeTexture = float(texture->width) > kFixedReach || float(texture->height) > kFixedReach;
        if (s.hugeTexture) {
            s.fixedOriginX = s.texMinX;
            s.fixedOriginY = s.texMinY;
        }
        sample = paint.filtered ? kSampleBilinear : kSampleNearest;
        s.duFixed = ToFixed(s.dudx);
        s.dvFixed = ToFixed(s.dvdx);
#if defined(__SSE2__)
        if (sample == kSampleNearest && !s.hugeTexture) {
            NearestLanes& k = s.lanes;
            k.tint = MakeLaneTint(s.tintR256, s.tintG256, s.tintB256, s.alpha255);
            k.texLow = _mm_set1_epi32(int32_t(uint32_t(s.texMinY) << 16 | uint32_t(s.texMinX)));
            k.texHigh = _mm_set1_epi32(int32_t(uint32_t(s.texMaxY) << 16 | uint32_t(s.texMaxX)));
            k.rowStep = _mm_set1_epi32(int32_t(uint32_t(texture->width) << 16 | 1u));
            const uint32_t du = uint32_t(s.duFixed), dv = uint32_t(s.dvFixed);
            k.uSteps = _mm_set_epi32(int32_t(du * 3u), int32_t(du * 2u), int32_t(du), 0);
            k.vSteps = _mm_set_epi32(int32_t(dv * 3u), int32_t(dv * 2u), int32_t(dv), 0);
            k.u4 = _mm_set1_epi32(int32_t(du * 4u));
            k.v4 = _mm_set1_epi32(int32_t(dv * 4u));
        }
#endif
        // One texel per pixel on whole-pixel offsets: a straight copy needs no coordinates.
        if (s.dudx == 1 && s.dvdy == 1 && s.dudy == 0 && s.dvdx == 0) {
            const float offX = s.u00 - 0.5f, offY = s.v00 - 0.5f;
            if (offX == std::floor(offX) && offY == std::floor(offY)) {
                sample = kSampleBlit;
                s.blitDx = int(offX);
                s.blitDy = int(offY);
            }
        }
    }

    const SpanFn span = PickSpan(paint.blend, sample);
    const EdgeLanes lanes(edges, edgeCount);
    const float width = float(target.width);
    alignas(16) int32_t starts[4], ends[4];
    for (int y = rowBegin; y < rowEnd; ++y) {
        const int k = (y - rowBegin) & 3;
        if (k == 0) lanes.Rows(y, width, starts, ends);
        int x0 = starts[k], x1 = ends[k];  // pixels whose centre x + 0.5 lies in [left, right)
        if (x0 >= x1) continue;
        if (sample == kSampleBlit) {
            // The texel rectangle bounds the copy too: a quad a hair wider than its texels must
            // not read past them.
            x0 = std::max(x0, s.texMinX - s.blitDx);
            x1 = std::min(x1, s.texMaxX + 1 - s.blitDx);
            const int ty = y + s.blitDy;
            if (ty < s.texMinY || ty > s.texMaxY || x0 >= x1) continue;
        }
#if defined(__SSE2__)
        // Small quads land anywhere in a back buffer larger than the cache: ask for the next rows'
        // pixels now, so the blend does not wait on memory row after row.
        for (int ahead = 1; ahead <= 2 && y + ahead < rowEnd; ++ahead) {
            const char* next = reinterpret_cast<const char*>(target.pixels + size_t(y + ahead) * size_t(target.pitch));
            _mm_prefetch(next + size_t(x0) * 4, _MM_HINT_T0);
            _mm_prefetch(next + size_t(x1 - 1) * 4, _MM_HINT_T0);
        }
#endif
        span(s, target.pixels + size_t(y) * size_t(target.pitch), y, x0, x1);
    }
}

}  // namespace soft
