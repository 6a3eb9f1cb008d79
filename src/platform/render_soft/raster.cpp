// Quad filling for the software renderer: edge setup per quad, then spans per row whose inner loops
// are instantiated per blend mode and sampling kind, so each loop is branch-free integer code.
#include "platform/render_soft/raster.h"

#include <algorithm>
#include <cmath>

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

// Everything one quad's spans need, worked out once per quad.
struct Setup {
    int tintR256, tintG256, tintB256;  // tint scaled so 255 multiplies by exactly 1
    int alpha255;                      // paint alpha, 0..255
    int solidR, solidG, solidB, solidA;
    const TextureView* texture;
    // Texture coordinates at the centre of pixel (0, 0) and their steps per pixel.
    float u00, v00, dudx, dudy, dvdx, dvdy;
    int texMinX, texMaxX, texMinY, texMaxY;  // texel rectangle the quad may read
    int blitDx, blitDy;                      // texel = pixel + offset on the blit path
};

// Texture coordinates as 16.16 fixed point; anything a span can meet fits with room to spare.
inline int32_t ToFixed(float texels) {
    return int32_t(std::lround(std::clamp(texels, -30000.0f, 30000.0f) * 65536.0f));
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

template <int Blend, int Sample>
void Span(const Setup& s, uint32_t* row, int y, int x0, int x1) {
    if constexpr (Sample == kSampleSolid) {
        for (int x = x0; x < x1; ++x) Put<Blend>(row[x], s.solidR, s.solidG, s.solidB, s.solidA);
        return;
    } else {
        const TextureView& t = *s.texture;
        if constexpr (Sample == kSampleBlit) {
            const uint32_t* src = t.pixels + size_t(y + s.blitDy) * size_t(t.width) + s.blitDx;
            for (int x = x0; x < x1; ++x) {
                int r, g, b, a;
                Texel(s, src[x], r, g, b, a);
                Put<Blend>(row[x], r, g, b, a);
            }
            return;
        } else if constexpr (Sample == kSampleNearest) {
            // 16.16 fixed point along the row: over a screen-wide span the step's rounding moves a
            // sample by less than a fiftieth of a texel.
            const float uStart = s.u00 + s.dudy * float(y) + s.dudx * float(x0);
            const float vStart = s.v00 + s.dvdy * float(y) + s.dvdx * float(x0);
            int32_t uf = ToFixed(uStart), vf = ToFixed(vStart);
            const int32_t du = ToFixed(s.dudx), dv = ToFixed(s.dvdx);
            for (int x = x0; x < x1; ++x, uf += du, vf += dv) {
                const int tx = std::clamp(uf >> 16, s.texMinX, s.texMaxX);
                const int ty = std::clamp(vf >> 16, s.texMinY, s.texMaxY);
                int r, g, b, a;
                Texel(s, t.pixels[size_t(ty) * size_t(t.width) + size_t(tx)], r, g, b, a);
                Put<Blend>(row[x], r, g, b, a);
            }
            return;
        } else {
            const float yc = float(y);
            const float uRow = s.u00 + s.dudy * yc, vRow = s.v00 + s.dvdy * yc;
            const float minX = float(s.texMinX), maxX = float(s.texMaxX);
            const float minY = float(s.texMinY), maxY = float(s.texMaxY);
            for (int x = x0; x < x1; ++x) {
                const float u = uRow + s.dudx * float(x), v = vRow + s.dvdx * float(x);
                const float fu = std::clamp(u - 0.5f, minX, maxX);
                const float fv = std::clamp(v - 0.5f, minY, maxY);
                const int tx = int(fu), ty = int(fv);
                const int wx = int((fu - float(tx)) * 256.0f), wy = int((fv - float(ty)) * 256.0f);
                const int tx1 = std::min(tx + 1, s.texMaxX), ty1 = std::min(ty + 1, s.texMaxY);
                const uint32_t* r0 = t.pixels + size_t(ty) * size_t(t.width);
                const uint32_t* r1 = t.pixels + size_t(ty1) * size_t(t.width);
                const uint32_t c = Lerp(Lerp(r0[tx], r0[tx1], wx), Lerp(r1[tx], r1[tx1], wx), wy);
                int r, g, b, a;
                Texel(s, c, r, g, b, a);
                Put<Blend>(row[x], r, g, b, a);
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

}  // namespace

void FillQuad(const Surface& target, const plat::QuadVertex corners[4], const plat::QuadPaint& paint,
              const TextureView* texture, int bandBegin, int bandEnd) {
    if (!target.pixels || target.width <= 0 || target.height <= 0) return;
    for (int i = 0; i < 4; ++i) {
        const plat::QuadVertex& c = corners[i];
        if (!(std::fabs(c.x) < kCoordLimit && std::fabs(c.y) < kCoordLimit)) return;
    }
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
    float minY = corners[0].y, maxY = corners[0].y;
    for (int i = 0; i < 4; ++i) {
        const plat::QuadVertex& p = corners[i];
        const plat::QuadVertex& q = corners[(i + 1) % 4];
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        if (p.y == q.y) continue;
        const bool down = q.y > p.y;
        const plat::QuadVertex& top = down ? p : q;
        const plat::QuadVertex& bottom = down ? q : p;
        edges[edgeCount++] = Edge{top.x, top.y, bottom.y, (bottom.x - top.x) / (bottom.y - top.y),
                                  down == clockwise};
    }

    Setup s{};
    const int alpha255 = int(std::lround(std::clamp(paint.alpha, 0.0f, 1.0f) * 255.0f));
    s.alpha255 = alpha255;
    s.tintR256 = paint.r + (paint.r >> 7);
    s.tintG256 = paint.g + (paint.g >> 7);
    s.tintB256 = paint.b + (paint.b >> 7);
    s.solidR = paint.r;
    s.solidG = paint.g;
    s.solidB = paint.b;
    s.solidA = alpha255;
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
        sample = paint.filtered ? kSampleBilinear : kSampleNearest;
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

    // Rows whose centre lies in [minY, maxY).
    const int rowBegin =
        std::max(bandBegin, int(std::clamp(std::ceil(minY - 0.5f), 0.0f, float(target.height))));
    const int rowEnd = std::min(bandEnd, int(std::clamp(std::ceil(maxY - 0.5f), 0.0f, float(target.height))));
    const SpanFn span = PickSpan(paint.blend, sample);
    const float width = float(target.width);
    for (int y = rowBegin; y < rowEnd; ++y) {
        const float yc = float(y) + 0.5f;
        float left = -kCoordLimit, right = kCoordLimit;
        for (int i = 0; i < edgeCount; ++i) {
            const Edge& e = edges[i];
            if (yc < e.topY || yc > e.bottomY) continue;
            const float x = e.topX + (yc - e.topY) * e.dxdy;
            if (e.right) {
                right = std::min(right, x);
            } else {
                left = std::max(left, x);
            }
        }
        // Pixels whose centre x + 0.5 lies in [left, right).
        int x0 = int(std::clamp(std::ceil(left - 0.5f), 0.0f, width));
        int x1 = int(std::clamp(std::ceil(right - 0.5f), 0.0f, width));
        if (x0 >= x1) continue;
        if (sample == kSampleBlit) {
            // The texel rectangle bounds the copy too: a quad a hair wider than its texels must
            // not read past them.
            x0 = std::max(x0, s.texMinX - s.blitDx);
            x1 = std::min(x1, s.texMaxX + 1 - s.blitDx);
            const int ty = y + s.blitDy;
            if (ty < s.texMinY || ty > s.texMaxY || x0 >= x1) continue;
        }
        span(s, target.pixels + size_t(y) * size_t(target.pitch), y, x0, x1);
    }
}

}  // namespace soft
