// The software renderer and the draw state on top of it: blend arithmetic, coverage rules,
// sampling, and where rectangles, lines and image frames land under rotation, scale, handle and
// virtual resolution.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "draw_fixture.h"
#include "platform/draw_internal.h"
#include "platform/render_soft/raster.h"
#include "platform/renderer.h"

namespace {

using plat::QuadPaint;
using plat::QuadVertex;

// A renderer of its own, with no window, for tests of the quad interface itself.
struct RendererFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(renderer->Open(nullptr, kSize, kSize)); }

    uint32_t Pixel(int x, int y) {
        uint32_t c = 0;
        renderer->ReadPixels(x, y, 1, 1, &c);
        return c;
    }

    void Fill(float x0, float y0, float x1, float y1, const QuadPaint& paint) {
        const QuadVertex corners[4] = {{x0, y0, 0, 0}, {x1, y0, 0, 0}, {x1, y1, 0, 0}, {x0, y1, 0, 0}};
        renderer->DrawSolidQuad(corners, paint);
    }

    static constexpr int kSize = 32;
    std::unique_ptr<plat::Renderer> renderer = plat::MakeSoftwareRenderer();
};

struct BlendCase {
    int blend;
    float alpha;
    int r, g, b;  // expected over destination (100, 150, 200) with source (200, 100, 50)
};

TEST_F(RendererFixture, BlendModesCombineKnownColours) {
    const BlendCase cases[] = {
        {kBlendMasked, 0.5f, 200, 100, 50},   // at the threshold: kept, unblended
        {kBlendMasked, 0.45f, 100, 150, 200}, // below it: discarded
        {kBlendSolid, 0.25f, 200, 100, 50},   // alpha plays no part
        {kBlendAlpha, 0.5f, 150, 125, 125},
        {kBlendAlpha, 0.0f, 100, 150, 200},
        {kBlendLight, 0.5f, 200, 200, 225},
        {kBlendLight, 1.0f, 255, 250, 250},   // saturates instead of wrapping
        {kBlendShade, 0.3f, 78, 59, 39},      // 100*200/255, 150*100/255, 200*50/255
    };
    for (const BlendCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "blend " << c.blend << " alpha " << c.alpha);
        renderer->Clear();
        QuadPaint base;
        base.r = 100, base.g = 150, base.b = 200, base.blend = kBlendSolid;
        Fill(0, 0, kSize, kSize, base);
        QuadPaint paint;
        paint.r = 200, paint.g = 100, paint.b = 50, paint.alpha = c.alpha, paint.blend = c.blend;
        Fill(4, 4, 8, 8, paint);
        const uint32_t got = Pixel(5, 5);
        EXPECT_NEAR(Red(got), c.r, 1);
        EXPECT_NEAR(Green(got), c.g, 1);
        EXPECT_NEAR(Blue(got), c.b, 1);
        EXPECT_EQ(got >> 24, 0xFFu);
        EXPECT_EQ(Pixel(9, 9), Argb(255, 100, 150, 200));  // outside the quad: untouched
    }
}

TEST_F(RendererFixture, TextureTexelsAreTintedAndCarryTheirAlpha) {
    // Texel: white at half alpha; tint (255, 128, 0) at paint alpha 1 over black.
    const uint32_t texel = Argb(128, 255, 255, 255);
    const int texture = renderer->CreateTexture(&texel, 1, 1, false);
    ASSERT_NE(texture, 0);
    renderer->Clear();
    QuadPaint paint;
    paint.r = 255, paint.g = 128, paint.b = 0;
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {4, 0, 1, 0}, {4, 4, 1, 1}, {0, 4, 0, 1}};
    renderer->DrawTexturedQuad(texture, corners, paint);
    const uint32_t got = Pixel(1, 1);
    EXPECT_NEAR(Red(got), 128, 1);
    EXPECT_NEAR(Green(got), 64, 1);
    EXPECT_EQ(Blue(got), 0);
}

// Quads cut from one lattice, turned by an odd angle, added with light blending: every pixel
// inside must be hit exactly once, with no gaps along the shared edges and no double hits.
TEST_F(RendererFixture, QuadsSharingEdgesCoverEachPixelOnce) {
    constexpr int kCells = 4;
    constexpr float kCell = 5.3f;
    const float c = std::cos(0.37f), s = std::sin(0.37f);
    auto point = [&](int i, int j, float& x, float& y) {
        const float lx = float(i) * kCell, ly = float(j) * kCell;
        x = 16 + (lx - 10.6f) * c - (ly - 10.6f) * s;
        y = 16 + (lx - 10.6f) * s + (ly - 10.6f) * c;
    };
    renderer->Clear();
    QuadPaint paint;
    paint.r = paint.g = paint.b = 60;
    paint.blend = kBlendLight;
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            QuadVertex q[4] = {};
            point(i, j, q[0].x, q[0].y);
            point(i + 1, j, q[1].x, q[1].y);
            point(i + 1, j + 1, q[2].x, q[2].y);
            point(i, j + 1, q[3].x, q[3].y);
            if ((i + j) % 2) std::swap(q[1], q[3]);  // the other winding must follow the same rule
            renderer->DrawSolidQuad(q, paint);
        }
    }
    int hitOnce = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int v = Red(Pixel(x, y));
            ASSERT_TRUE(v == 0 || v == 60) << "pixel " << x << "," << y << " = " << v;
            hitOnce += v == 60;
        }
    }
    // The lattice covers (4 * 5.3)^2 = 449.4 square pixels.
    EXPECT_NEAR(hitOnce, 449, 12);
    // Its middle, far from the outer border, has no holes.
    for (int y = 12; y < 20; ++y)
        for (int x = 12; x < 20; ++x) EXPECT_EQ(Red(Pixel(x, y)), 60) << x << "," << y;
}

TEST_F(RendererFixture, PixelCentresDecideCoverage) {
    QuadPaint paint;
    paint.blend = kBlendSolid;
    renderer->Clear();
    Fill(2.5f, 2.5f, 5.5f, 3.5f, paint);  // centres 2.5, 3.5, 4.5 on x; 2.5 on y
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(Red(Pixel(x, 2)), (x >= 2 && x <= 4) ? 255 : 0) << x;
        EXPECT_EQ(Red(Pixel(x, 3)), 0) << x;
    }
    renderer->Clear();
    Fill(10.6f, 10.6f, 11.4f, 11.4f, paint);  // covers no pixel centre: draws nothing
    EXPECT_EQ(Red(Pixel(10, 10)), 0);
    EXPECT_EQ(Red(Pixel(11, 11)), 0);
}

TEST_F(RendererFixture, FarAwayAndDegenerateQuadsAreHarmless) {
    QuadPaint paint;
    renderer->Clear();
    Fill(-1e9f, -1e9f, 1e9f, 1e9f, paint);
    Fill(5, 5, 5, 20, paint);  // no area
    const float nan = std::nanf("");
    Fill(nan, 0, 10, 10, paint);
    Fill(-50, -50, -10, -10, paint);  // wholly off screen
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) ASSERT_EQ(Pixel(x, y), 0xFF000000u);
    // A stale texture draws nothing either.
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {4, 0, 1, 0}, {4, 4, 1, 1}, {0, 4, 0, 1}};
    renderer->DrawTexturedQuad(99, corners, paint);
    EXPECT_EQ(Pixel(1, 1), 0xFF000000u);
}

TEST_F(RendererFixture, NearestKeepsTexelsBilinearBlendsThem) {
    const uint32_t texels[2] = {Argb(255, 0, 0, 0), Argb(255, 255, 255, 255)};
    const int texture = renderer->CreateTexture(texels, 2, 1, false);
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {16, 0, 2, 0}, {16, 1, 2, 1}, {0, 1, 0, 1}};
    QuadPaint paint;
    paint.blend = kBlendSolid;
    renderer->Clear();
    renderer->DrawTexturedQuad(texture, corners, paint);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(Red(Pixel(x, 0)), x < 8 ? 0 : 255) << x;

    paint.filtered = true;
    renderer->DrawTexturedQuad(texture, corners, paint);
    int previous = -1, between = 0;
    for (int x = 0; x < 16; ++x) {
        const int v = Red(Pixel(x, 0));
        EXPECT_GE(v, previous) << x;  // a ramp from black to white
        previous = v;
        between += v > 10 && v < 245;
    }
    EXPECT_EQ(Red(Pixel(0, 0)), 0);   // clamped at the edges, not wrapped
    EXPECT_EQ(Red(Pixel(15, 0)), 255);
    EXPECT_GE(between, 4);
}

// ---------------------------------------------------------------------------------------------
// The rasteriser against a plain pixel-by-pixel reference
// ---------------------------------------------------------------------------------------------

// The rasteriser's rules written out one pixel at a time with no shortcuts: coverage by pixel
// centre with the top-left rule, the affine texel mapping from corners 0, 1 and 3, nearest samples
// on 16.16 coordinates stepped along the row, bilinear weights in 1/256, and the blends in 8-bit
// integer arithmetic. The vector paths must reproduce it bit for bit.
namespace reference {

int Div255(int x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

int32_t ToFixed(float texels) {
    const double x = double(std::clamp(texels, -30000.0f, 30000.0f) * 65536.0f);
    if (x >= 0) return int32_t(x + 0.5);
    return x < 0 ? -int32_t(0.5 - x) : 0;
}

int Channel(uint32_t c, int shift) { return int(c >> shift & 0xFF); }

uint32_t Lerp(uint32_t a, uint32_t b, int w) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= uint32_t((Channel(a, shift) * (256 - w) + Channel(b, shift) * w) >> 8) << shift;
    return out;
}

void Blend(uint32_t& dst, int blend, int r, int g, int b, int a) {
    const int src[3] = {r, g, b};
    const int d[3] = {Channel(dst, 16), Channel(dst, 8), Channel(dst, 0)};
    int out[3];
    for (int i = 0; i < 3; ++i) {
        switch (blend) {
            case kBlendMasked:
                if (a < 128) return;
                out[i] = src[i];
                break;
            case kBlendSolid: out[i] = src[i]; break;
            case kBlendLight: out[i] = std::min(255, d[i] + Div255(src[i] * a)); break;
            case kBlendShade: out[i] = Div255(src[i] * d[i]); break;
            default: out[i] = Div255(src[i] * a + d[i] * (255 - a)); break;
        }
    }
    dst = Argb(255, out[0], out[1], out[2]);
}

void FillQuad(const soft::Surface& target, const QuadVertex q[4], const QuadPaint& paint,
              const soft::TextureView* tex) {
    constexpr float kLimit = 1.0e7f;
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(q[i].x) < kLimit && std::fabs(q[i].y) < kLimit)) return;
    float area2 = 0;
    for (int i = 0; i < 4; ++i) area2 += q[i].x * q[(i + 1) % 4].y - q[(i + 1) % 4].x * q[i].y;
    if (area2 == 0) return;
    const int alpha = int(std::lround(std::clamp(paint.alpha, 0.0f, 1.0f) * 255.0f));
    const int tint[3] = {paint.r + (paint.r >> 7), paint.g + (paint.g >> 7), paint.b + (paint.b >> 7)};

    float dudx = 0, dudy = 0, dvdx = 0, dvdy = 0, u00 = 0, v00 = 0;
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool blit = false;
    int blitDx = 0, blitDy = 0;
    if (tex) {
        const float e1x = q[1].x - q[0].x, e1y = q[1].y - q[0].y, e2x = q[3].x - q[0].x, e2y = q[3].y - q[0].y;
        const float det = e1x * e2y - e1y * e2x;
        if (det == 0) return;
        const float t1u = q[1].u - q[0].u, t1v = q[1].v - q[0].v, t2u = q[3].u - q[0].u, t2v = q[3].v - q[0].v;
        dudx = (e2y * t1u - e1y * t2u) / det;
        dudy = (e1x * t2u - e2x * t1u) / det;
        dvdx = (e2y * t1v - e1y * t2v) / det;
        dvdy = (e1x * t2v - e2x * t1v) / det;
        u00 = q[0].u + dudx * (0.5f - q[0].x) + dudy * (0.5f - q[0].y);
        v00 = q[0].v + dvdx * (0.5f - q[0].x) + dvdy * (0.5f - q[0].y);
        float uLo = q[0].u, uHi = q[0].u, vLo = q[0].v, vHi = q[0].v;
        for (int i = 1; i < 4; ++i) {
            uLo = std::min(uLo, q[i].u), uHi = std::max(uHi, q[i].u);
            vLo = std::min(vLo, q[i].v), vHi = std::max(vHi, q[i].v);
        }
        minX = std::clamp(int(std::floor(uLo)), 0, tex->width - 1);
        maxX = std::clamp(int(std::ceil(uHi)) - 1, minX, tex->width - 1);
        minY = std::clamp(int(std::floor(vLo)), 0, tex->height - 1);
        maxY = std::clamp(int(std::ceil(vHi)) - 1, minY, tex->height - 1);
        if (dudx == 1 && dvdy == 1 && dudy == 0 && dvdx == 0 && u00 - 0.5f == std::floor(u00 - 0.5f) &&
            v00 - 0.5f == std::floor(v00 - 0.5f)) {
            blit = true;
            blitDx = int(u00 - 0.5f);
            blitDy = int(v00 - 0.5f);
        }
    }
    auto texel = [&](int x, int y) { return tex->pixels[size_t(y) * size_t(tex->width) + size_t(x)]; };

    const bool clockwise = area2 > 0;
    float top = q[0].y, bottom = q[0].y;
    for (int i = 1; i < 4; ++i) top = std::min(top, q[i].y), bottom = std::max(bottom, q[i].y);
    const int rowBegin = int(std::clamp(std::ceil(top - 0.5f), 0.0f, float(target.height)));
    const int rowEnd = int(std::clamp(std::ceil(bottom - 0.5f), 0.0f, float(target.height)));
    for (int y = rowBegin; y < rowEnd; ++y) {
        const float yc = float(y) + 0.5f;
        float left = -kLimit, right = kLimit;
        for (int i = 0; i < 4; ++i) {
            const QuadVertex& p = q[i];
            const QuadVertex& n = q[(i + 1) % 4];
            if (p.y == n.y) continue;
            const bool down = n.y > p.y;
            const QuadVertex& a = down ? p : n;
            const QuadVertex& b = down ? n : p;
            if (yc < a.y || yc > b.y) continue;
            const float x = a.x + (yc - a.y) * ((b.x - a.x) / (b.y - a.y));
            if (down == clockwise) {
                right = std::min(right, x);
            } else {
                left = std::max(left, x);
            }
        }
        int x0 = int(std::clamp(std::ceil(left - 0.5f), 0.0f, float(target.width)));
        int x1 = int(std::clamp(std::ceil(right - 0.5f), 0.0f, float(target.width)));
        if (blit) {
            x0 = std::max(x0, minX - blitDx);
            x1 = std::min(x1, maxX + 1 - blitDx);
            if (y + blitDy < minY || y + blitDy > maxY) continue;
        }
        const float uRow = u00 + dudy * float(y), vRow = v00 + dvdy * float(y);
        int32_t uf = 0, vf = 0;
        if (x0 < x1) {
            uf = ToFixed(uRow + dudx * float(x0));
            vf = ToFixed(vRow + dvdx * float(x0));
        }
        const int32_t du = ToFixed(dudx), dv = ToFixed(dvdx);
        for (int x = x0; x < x1; ++x) {
            uint32_t& dst = target.pixels[size_t(y) * size_t(target.pitch) + size_t(x)];
            if (!tex) {
                Blend(dst, paint.blend, paint.r, paint.g, paint.b, alpha);
                continue;
            }
            uint32_t c;
            if (blit) {
                c = texel(x + blitDx, y + blitDy);
            } else if (!paint.filtered) {
                c = texel(std::clamp(uf >> 16, minX, maxX), std::clamp(vf >> 16, minY, maxY));
                uf = int32_t(uint32_t(uf) + uint32_t(du));
                vf = int32_t(uint32_t(vf) + uint32_t(dv));
            } else {
                float fu = uRow + dudx * float(x) - 0.5f, fv = vRow + dvdx * float(x) - 0.5f;
                fu = fu < float(maxX) ? fu : float(maxX);  // a NaN lands on a bound
                fu = fu > float(minX) ? fu : float(minX);
                fv = fv < float(maxY) ? fv : float(maxY);
                fv = fv > float(minY) ? fv : float(minY);
                const int tx = int(fu), ty = int(fv);
                const int wx = int((fu - float(tx)) * 256.0f), wy = int((fv - float(ty)) * 256.0f);
                const int tx1 = std::min(tx + 1, maxX), ty1 = std::min(ty + 1, maxY);
                c = Lerp(Lerp(texel(tx, ty), texel(tx1, ty), wx), Lerp(texel(tx, ty1), texel(tx1, ty1), wx), wy);
            }
            Blend(dst, paint.blend, (Channel(c, 16) * tint[0]) >> 8, (Channel(c, 8) * tint[1]) >> 8,
                  (Channel(c, 0) * tint[2]) >> 8, Div255(Channel(c, 24) * alpha));
        }
    }
}

}  // namespace reference

// Two copies of one back buffer, one filled by the rasteriser and one by the reference.
struct RasterPair {
    static constexpr int kWidth = 72, kHeight = 56;
    std::vector<uint32_t> fast, slow;

    RasterPair() {
        std::mt19937 bits(7);
        fast.resize(size_t(kWidth) * kHeight);
        for (uint32_t& p : fast) p = bits() | 0xFF000000u;
        slow = fast;
    }
    static soft::Surface Of(std::vector<uint32_t>& pixels) {
        return soft::Surface{pixels.data(), kWidth, kHeight, kWidth};
    }
    // The rasteriser fills in two bands split at `split`, as the renderer's two threads do.
    void Fill(const QuadVertex q[4], const QuadPaint& paint, const soft::TextureView* tex, int split) {
        soft::FillQuad(Of(fast), q, paint, tex, 0, split);
        soft::FillQuad(Of(fast), q, paint, tex, split, kHeight);
        reference::FillQuad(Of(slow), q, paint, tex);
    }
    int FirstDifference() const {
        if (std::memcmp(fast.data(), slow.data(), fast.size() * sizeof(uint32_t)) == 0) return -1;
        for (size_t i = 0; i < fast.size(); ++i)
            if (fast[i] != slow[i]) return int(i);
        return -1;
    }
};

// Quads of every kind the renderer meets, at random: turned, scaled up and down, mirrored, on
// whole-pixel offsets (the straight copy), off the edges, solid and textured, every blend, every
// tint and alpha including the untinted opaque case; over textures small enough to clamp often.
TEST(RasterAgainstReference, RandomQuadsMatchBitForBit) {
    std::mt19937 bits(20261211);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(bits); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(bits); };
    struct Sheet {
        int width, height;
        std::vector<uint32_t> pixels;
    };
    std::vector<Sheet> sheets;
    for (auto [w, h] : {std::pair{16, 16}, {5, 3}, {1, 7}, {33, 2}, {64, 40}}) {
        Sheet sheet{w, h, std::vector<uint32_t>(size_t(w) * size_t(h))};
        for (uint32_t& p : sheet.pixels) {
            p = bits();
            if (pick(0, 3) == 0) p &= 0x00FFFFFFu;  // clear texels as in masked sprites
            if (pick(0, 3) == 0) p |= 0xFF000000u;
        }
        sheets.push_back(std::move(sheet));
    }
    RasterPair pair;
    constexpr int kQuads = 200000;
    for (int n = 0; n < kQuads; ++n) {
        const Sheet* sheet = pick(0, 7) == 0 ? nullptr : &sheets[size_t(pick(0, int(sheets.size()) - 1))];
        QuadPaint paint;
        paint.blend = pick(kBlendMasked, kBlendShade);
        paint.filtered = pick(0, 1) == 1;
        const int colourKind = pick(0, 3);  // plain white opaque, black invisible, or anything
        paint.r = uint8_t(colourKind == 0 ? 255 : colourKind == 1 ? 0 : pick(0, 255));
        paint.g = uint8_t(colourKind == 0 ? 255 : colourKind == 1 ? 0 : pick(0, 255));
        paint.b = uint8_t(colourKind == 0 ? 255 : colourKind == 1 ? 0 : pick(0, 255));
        paint.alpha = colourKind == 0 ? 1.0f : colourKind == 1 ? 0.0f : uniform(-0.1f, 1.1f);
        // A frame of the sheet: a texel rectangle, sometimes the whole sheet.
        float u0 = 0, v0 = 0, tw = 1, th = 1;
        if (sheet) {
            const int fx = pick(0, sheet->width - 1), fy = pick(0, sheet->height - 1);
            u0 = float(fx), v0 = float(fy);
            tw = float(pick(1, sheet->width - fx)), th = float(pick(1, sheet->height - fy));
        }
        const float cx = uniform(-10, RasterPair::kWidth + 10), cy = uniform(-10, RasterPair::kHeight + 10);
        QuadVertex q[4];
        if (sheet && pick(0, 5) == 0) {
            // Unturned, unscaled, on whole pixels: the straight copy.
            const float x = std::floor(cx), y = std::floor(cy);
            q[0] = {x, y, u0, v0};
            q[1] = {x + tw, y, u0 + tw, v0};
            q[2] = {x + tw, y + th, u0 + tw, v0 + th};
            q[3] = {x, y + th, u0, v0 + th};
        } else {
            const float angle = pick(0, 3) == 0 ? 0.0f : uniform(0, 6.2832f);
            const float sx = uniform(0.3f, 4.0f) * (pick(0, 9) == 0 ? -1.0f : 1.0f), sy = uniform(0.3f, 4.0f);
            const float c = std::cos(angle), s = std::sin(angle);
            const float lx[4] = {0, tw, tw, 0}, ly[4] = {0, 0, th, th};
            for (int i = 0; i < 4; ++i) {
                const float px = (lx[i] - tw / 2) * sx, py = (ly[i] - th / 2) * sy;
                q[i] = {cx + px * c - py * s, cy + px * s + py * c, u0 + lx[i], v0 + ly[i]};
            }
        }
        const soft::TextureView view{sheet ? sheet->pixels.data() : nullptr, sheet ? sheet->width : 0,
                                     sheet ? sheet->height : 0};
        pair.Fill(q, paint, sheet ? &view : nullptr, pick(0, RasterPair::kHeight));
        const int at = pair.FirstDifference();
        ASSERT_EQ(at, -1) << "quad " << n << " pixel " << at % RasterPair::kWidth << ","
                          << at / RasterPair::kWidth << ": blend " << paint.blend << " filtered "
                          << paint.filtered << " texture " << (sheet ? sheet->width : 0) << "x"
                          << (sheet ? sheet->height : 0) << " tint " << int(paint.r) << "," << int(paint.g)
                          << "," << int(paint.b) << " alpha " << paint.alpha << std::hex << " got "
                          << pair.fast[size_t(at)] << " want " << pair.slow[size_t(at)];
    }
}

// Sheets wider or taller than 16-bit texel indices or 16.16 coordinates reach must still have their
// far texels read, not the ones at the fixed-point limit or wrapped around it.
TEST(RasterAgainstReference, HugeSheetsReadTheirFarTexels) {
    struct Case {
        const char* what;
        int width, height;
        float u0, v0;  // the frame's top-left texel; frames are 4 x 2 texels
    } cases[] = {
        {"wide sheet, far right", 32772, 2, 32768, 0},
        {"wide sheet, near the 16-bit edge", 32772, 2, 32766, 0},
        {"sheet just inside 16-bit indices", 31004, 2, 31000, 0},
        {"tall sheet, far bottom", 4, 40000, 0, 39990},
        {"tall sheet, top", 4, 40000, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Each texel names its own column and row, so a misplaced read shows.
        std::vector<uint32_t> sheet(size_t(c.width) * size_t(c.height));
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                sheet[size_t(y) * size_t(c.width) + size_t(x)] =
                    Argb(255 - (x & 0x7F), x & 0xFF, ((x >> 8) + (y >> 8)) & 0xFF, y & 0xFF);
        const soft::TextureView view{sheet.data(), c.width, c.height};
        QuadPaint paint;
        paint.blend = kBlendSolid;
        // Scaled 3 on x and 2 on y, unturned: every pixel's texel is known without the reference.
        const QuadVertex q[4] = {{10, 10, c.u0, c.v0}, {22, 10, c.u0 + 4, c.v0},
                                 {22, 14, c.u0 + 4, c.v0 + 2}, {10, 14, c.u0, c.v0 + 2}};
        RasterPair pair;
        pair.Fill(q, paint, &view, 12);
        for (int y = 10; y < 14; ++y) {
            for (int x = 10; x < 22; ++x) {
                const int tx = int(c.u0) + (x - 10) / 3, ty = int(c.v0) + (y - 10) / 2;
                ASSERT_EQ(pair.fast[size_t(y) * RasterPair::kWidth + size_t(x)],
                          sheet[size_t(ty) * size_t(c.width) + size_t(tx)] | 0xFF000000u)
                    << x << "," << y;
            }
        }
        // Turned: every pixel drawn holds one of the frame's texels.
        const float turn = 0.6f, cs = std::cos(turn), sn = std::sin(turn);
        QuadVertex turned[4];
        for (int i = 0; i < 4; ++i) {
            const float lx = q[i].x - 16, ly = q[i].y - 12;
            turned[i] = {30 + lx * cs - ly * sn, 25 + lx * sn + ly * cs, q[i].u, q[i].v};
        }
        std::vector<uint32_t> black(size_t(RasterPair::kWidth) * RasterPair::kHeight, 0xFF000000u);
        soft::FillQuad(RasterPair::Of(black), turned, paint, &view);
        int drawn = 0;
        for (uint32_t p : black) {
            if (p == 0xFF000000u) continue;
            ++drawn;
            bool inFrame = false;
            for (int ty = int(c.v0); ty < int(c.v0) + 2; ++ty)
                for (int tx = int(c.u0); tx < int(c.u0) + 4; ++tx)
                    inFrame |= p == (sheet[size_t(ty) * size_t(c.width) + size_t(tx)] | 0xFF000000u);
            EXPECT_TRUE(inFrame) << std::hex << p;
        }
        EXPECT_GT(drawn, 30);
    }
}

// A filtered frame one texel wide (or tall) has nothing to blend across on that axis: its pixels
// carry that texel's colour alone, never a neighbour's, even when it sits on the sheet's last
// column or row, and match the reference exactly.
TEST(RasterAgainstReference, FilteredFrameOneTexelAcrossTakesNothingFromNeighbours) {
    // A 4 x 3 sheet: neighbours all red; the frames used below hold no red.
    constexpr int kW = 4, kH = 3;
    uint32_t sheet[kW * kH];
    for (uint32_t& p : sheet) p = Argb(255, 255, 0, 0);
    const uint32_t column[kH] = {Argb(255, 0, 40, 200), Argb(255, 0, 120, 100), Argb(255, 0, 240, 0)};
    struct Case {
        const char* what;
        int x, y, w, h;  // the frame in texels
    } cases[] = {
        {"single texel inside", 1, 1, 1, 1},
        {"single texel, last column and row", 3, 2, 1, 1},
        {"column, first column", 0, 0, 1, 3},
        {"column, last column", 3, 0, 1, 3},
        {"row, last row", 1, 2, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t texels[kW * kH];
        std::copy(sheet, sheet + kW * kH, texels);
        for (int y = c.y; y < c.y + c.h; ++y)
            for (int x = c.x; x < c.x + c.w; ++x) texels[y * kW + x] = column[c.h > 1 ? y : x - c.x];
        const soft::TextureView view{texels, kW, kH};
        QuadPaint paint;
        paint.blend = kBlendSolid;
        paint.filtered = true;
        // Magnified 8 times, slightly turned, so samples fall between texel centres everywhere.
        const float fw = float(c.w) * 8, fh = float(c.h) * 8;
        const float turn = 0.2f, cs = std::cos(turn), sn = std::sin(turn);
        const float lx[4] = {0, fw, fw, 0}, ly[4] = {0, 0, fh, fh};
        QuadVertex q[4];
        for (int i = 0; i < 4; ++i) {
            q[i] = {20 + lx[i] * cs - ly[i] * sn, 8 + lx[i] * sn + ly[i] * cs, float(c.x) + lx[i] / 8,
                    float(c.y) + ly[i] / 8};
        }
        RasterPair pair;
        std::fill(pair.fast.begin(), pair.fast.end(), 0xFF000000u);
        pair.slow = pair.fast;
        pair.Fill(q, paint, &view, 20);
        EXPECT_EQ(pair.FirstDifference(), -1);
        int drawn = 0;
        for (uint32_t p : pair.fast) {
            EXPECT_EQ(Red(p), 0);
            drawn += p != 0xFF000000u;
        }
        EXPECT_GT(drawn, int(fw * fh) / 2);
        if (c.w == 1 && c.h == 1) {
            for (uint32_t p : pair.fast) EXPECT_TRUE(p == 0xFF000000u || p == column[0]);
        }
    }
}

// Presenting into a real SDL window (the display-less "dummy" driver, whose window surface is
// memory): same-size windows get the picture as is, larger ones get it scaled and letterboxed.
TEST(SoftPresent, WindowShowsTheBackBufferFittedIntoIt) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const bool videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    // The driver choice is made; leave the environment as the other tests expect it.
    if (previous) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    if (!videoUp) GTEST_SKIP() << SDL_GetError();

    struct Case {
        int windowW, windowH;
        struct Probe {
            int x, y;
            uint8_t r, g;
        } probes[4];
    } cases[] = {
        // Back buffer 50 x 40: left half red, right half green.
        {50, 40, {{0, 0, 255, 0}, {24, 39, 255, 0}, {25, 0, 0, 255}, {49, 20, 0, 255}}},
        // 100 x 60: scaled 1.5 into a 75 x 60 box from x = 12; bars left and right.
        {100, 60, {{5, 30, 0, 0}, {20, 30, 255, 0}, {80, 30, 0, 255}, {95, 30, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowW << "x" << c.windowH);
        SDL_Window* window = SDL_CreateWindow("present", 0, 0, c.windowW, c.windowH, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        auto renderer = plat::MakeSoftwareRenderer();
        ASSERT_TRUE(renderer->Open(window, 50, 40)) << renderer->Error();
        QuadPaint paint;
        paint.blend = kBlendSolid;
        paint.r = 255, paint.g = 0, paint.b = 0;
        const QuadVertex left[4] = {{0, 0, 0, 0}, {25, 0, 0, 0}, {25, 40, 0, 0}, {0, 40, 0, 0}};
        renderer->DrawSolidQuad(left, paint);
        paint.r = 0, paint.g = 255;
        const QuadVertex right[4] = {{25, 0, 0, 0}, {50, 0, 0, 0}, {50, 40, 0, 0}, {25, 40, 0, 0}};
        renderer->DrawSolidQuad(right, paint);
        renderer->Present(false);
        SDL_Surface* screen = SDL_GetWindowSurface(window);
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->format->BytesPerPixel, 4);
        for (const auto& probe : c.probes) {
            const uint32_t raw = static_cast<const uint32_t*>(
                screen->pixels)[probe.y * (screen->pitch / 4) + probe.x];
            uint8_t r, g, b;
            SDL_GetRGB(raw, screen->format, &r, &g, &b);
            EXPECT_EQ(r, probe.r) << probe.x << "," << probe.y;
            EXPECT_EQ(g, probe.g) << probe.x << "," << probe.y;
        }
        renderer->Close();
        SDL_DestroyWindow(window);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// ---------------------------------------------------------------------------------------------
// Through the public drawing calls
// ---------------------------------------------------------------------------------------------

using DrawState = DrawFixture;

TEST_F(DrawState, SettersClampAndIgnoreWhatTheyMust) {
    SetDrawAlpha(1.5f);
    EXPECT_EQ(GetDrawAlpha(), 1.0f);
    SetDrawAlpha(-0.5f);
    EXPECT_EQ(GetDrawAlpha(), 0.0f);
    SetDrawAlpha(std::nanf(""));
    EXPECT_EQ(GetDrawAlpha(), 0.0f);
    SetDrawBlend(kBlendShade);
    for (int ignored : {0, 6, -1}) {
        SetDrawBlend(ignored);
        EXPECT_EQ(GetDrawBlend(), kBlendShade);
    }
    SetDrawColor(300, -5, 128);
    int r, g, b;
    GetDrawColor(r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 128);
    SetDrawRotation(-45);
    EXPECT_EQ(GetDrawRotation(), -45.0f);
    SetDrawScale(2, 1.5f);
    float sx, sy;
    GetDrawScale(sx, sy);
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, 1.5f);
}

TEST_F(DrawState, RectanglesAndLinesTurnAndScaleAboutTheirFirstPoint) {
    struct Case {
        const char* what;
        float rotation, scale;
        bool line;
        int left, top, right, bottom;  // lit box, inclusive
    } cases[] = {
        {"rect", 0, 1, false, 10, 20, 14, 21},
        {"rect turned 90", 90, 1, false, 8, 20, 9, 24},    // width runs down, height runs left
        {"rect turned 180", 180, 1, false, 5, 18, 9, 19},
        {"rect scaled", 0, 2, false, 10, 20, 19, 23},
        {"line", 0, 1, true, 10, 20, 15, 20},              // both ends lit
        {"line turned 90", 90, 1, true, 10, 20, 10, 25},
        {"line scaled", 0, 2, true, 10, 20, 20, 20},       // reaches twice as far, as thin
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearScreen();
        SetDrawRotation(c.rotation);
        SetDrawScale(c.scale, c.scale);
        if (c.line) {
            DrawLineSegment(10, 20, 15, 20);
        } else {
            DrawFilledRect(10, 20, 5, 2);
        }
        int l, t, r, b;
        ASSERT_TRUE(LitBox(l, t, r, b));
        EXPECT_EQ(l, c.left);
        EXPECT_EQ(t, c.top);
        EXPECT_EQ(r, c.right);
        EXPECT_EQ(b, c.bottom);
        EXPECT_EQ(LitPixels(), (r - l + 1) * (b - t + 1));  // a solid block, no holes
    }
}

TEST_F(DrawState, VirtualResolutionScalesEachAxis) {
    SetVirtualResolution(kWidth * 2, kHeight / 2);  // x halved, y doubled on the display
    DrawFilledRect(20, 5, 20, 5);
    int l, t, r, b;
    ASSERT_TRUE(LitBox(l, t, r, b));
    EXPECT_EQ(l, 10);
    EXPECT_EQ(r, 19);
    EXPECT_EQ(t, 10);
    EXPECT_EQ(b, 19);
    float dx, dy, vx, vy;
    plat::VirtualToDisplay(20, 5, dx, dy);
    EXPECT_FLOAT_EQ(dx, 10);
    EXPECT_FLOAT_EQ(dy, 10);
    plat::DisplayToVirtual(dx, dy, vx, vy);
    EXPECT_FLOAT_EQ(vx, 20);
    EXPECT_FLOAT_EQ(vy, 5);
    SetVirtualResolution(0, 100);  // refused: the mapping stays
    plat::VirtualToDisplay(20, 5, dx, dy);
    EXPECT_FLOAT_EQ(dx, 10);
}

TEST_F(DrawState, ImageFramesLandByHandleRotationAndScale) {
    // A 2 x 2 image, each texel its own colour: red, green / blue, white.
    const Pixels texels = [] {
        Pixels p = Filled(2, 2, 0);
        p.argb = {Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255),
                  Argb(255, 255, 255, 255)};
        return p;
    }();
    const std::string file = WritePng("quad.png", texels);
    const int topLeft = LoadImageFile(file, 0);
    SetAutoCentreHandle(true);
    const int centred = LoadImageFile(file, 0);
    ASSERT_NE(topLeft, 0);
    ASSERT_NE(centred, 0);
    struct Case {
        const char* what;
        int image;
        float rotation, scale;
        int x, y;        // a display pixel
        uint32_t colour;
    } cases[] = {
        {"top-left handle", topLeft, 0, 1, 10, 10, texels.argb[0]},
        {"top-left handle, far texel", topLeft, 0, 1, 11, 11, texels.argb[3]},
        {"centre handle", centred, 0, 1, 9, 9, texels.argb[0]},
        {"centre handle, far texel", centred, 0, 1, 10, 10, texels.argb[3]},
        {"turned 90: top row runs down", topLeft, 90, 1, 9, 11, texels.argb[1]},
        {"turned 90: left column runs left", topLeft, 90, 1, 8, 10, texels.argb[2]},
        {"scaled 3", topLeft, 0, 3, 15, 15, texels.argb[3]},
        {"scaled 3, first texel's far pixel", topLeft, 0, 3, 12, 12, texels.argb[0]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearScreen();
        SetDrawRotation(c.rotation);
        SetDrawScale(c.scale, c.scale);
        DrawImageFrame(c.image, 10, 10, 0);
        EXPECT_EQ(At(c.x, c.y), c.colour);
        EXPECT_EQ(LitPixels(), int(4 * c.scale * c.scale));
    }
    ClearScreen();
    DrawImageFrame(topLeft, 10, 10, 1);  // no such frame
    DrawImageFrame(0, 10, 10, 0);
    DrawImageFrame(12345, 10, 10, 0);
    EXPECT_EQ(LitPixels(), 0);
}

TEST_F(DrawState, PresentKeepsTheHeadlessFrameAndRunsTheHook) {
    int hooked = 0;
    headless::SetPresentHook([&](int) { hooked = At(3, 3) != 0xFF000000u ? 1 : -1; });
    DrawFilledRect(0, 0, 8, 8);
    Present(0);
    EXPECT_EQ(hooked, 1);  // the hook saw the finished frame
    EXPECT_EQ(At(3, 3), 0xFFFFFFFFu);
    Present(-1);
    EXPECT_EQ(headless::PresentCount(), 2);
    ClearScreen();
    EXPECT_EQ(At(3, 3), 0xFF000000u);
    headless::SetPresentHook(nullptr);
}

TEST_F(DrawState, DisplayOwnsItsImagesAndReportsItsBackEnd) {
    const int image = CreateBlankImage(4, 4, 2, 0);
    ASSERT_NE(image, 0);
    EXPECT_EQ(ImageFrameCount(image), 2);
    EXPECT_EQ(ActiveBackendName(), "Software");
    EXPECT_EQ(DisplayPixelWidth(), kWidth);
    CloseDisplay();
    EXPECT_FALSE(DisplayIsOpen());
    EXPECT_EQ(ActiveBackendName(), "");
    EXPECT_EQ(ImageWidth(image), 0);
    EXPECT_EQ(CreateBlankImage(4, 4, 1, 0), 0);  // no display, no images
    DrawFilledRect(0, 0, 10, 10);                 // and drawing is a no-op
    Present(0);

    for (auto select : {&SelectOpenGLBackend, &SelectDirect3D9Backend, &SelectDirect3D7Backend}) {
        select();
        ASSERT_TRUE(OpenDisplay(32, 24, 0, 60));
        EXPECT_FALSE(ActiveBackendName().empty());
        EXPECT_EQ(DisplayPixelHeight(), 24);
        CloseDisplay();
    }
    EXPECT_EQ(ImageWidth(image), 0);  // a stale id stays stale on the next display

    headless::SetOpenWindowFails(true);
    EXPECT_FALSE(OpenDisplay(32, 24, 0, 60));
    EXPECT_FALSE(LastPlatformError().empty());
    EXPECT_FALSE(DisplayIsOpen());
    headless::SetOpenWindowFails(false);
    EXPECT_FALSE(OpenDisplay(0, 24, 0, 60));
    EXPECT_FALSE(LastPlatformError().empty());
}

TEST_F(DrawState, DisplayModesComeFromTheHost) {
    headless::SetDisplayModes({{800, 600, 32, 60}, {640, 480, 16, 75}});
    EXPECT_EQ(CountDisplayModes(), 2);
    EXPECT_EQ(GetDisplayMode(1).refresh, 75);
    EXPECT_EQ(GetDisplayMode(2).width, 0);
    EXPECT_EQ(GetDisplayMode(-1).width, 0);
    EXPECT_TRUE(DisplayModeExists(800, 600, 32, 0));
    EXPECT_TRUE(DisplayModeExists(640, 480, 16, 75));
    EXPECT_FALSE(DisplayModeExists(640, 480, 16, 60));
    EXPECT_FALSE(DisplayModeExists(800, 600, 24, 0));
}

}  // namespace
