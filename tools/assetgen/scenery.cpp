// The game's own pictures besides the sprites: the title logo, the title screen's landscape
// layers and the twirl of the burst effects.
#include <cmath>
#include <string>

#include "sheets.h"
#include "stroke_font.h"

namespace gen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kLayer = 64;  // menu strip cell size; the title screen draws it 24 times larger

// Top of a hill range at column x: a few slow sines, so the silhouette is smooth when enlarged.
float Ridge(float x, float base, float a1, float f1, float p1, float a2, float f2, float p2) {
    return base + a1 * std::sin(x * f1 + p1) + a2 * std::sin(x * f2 + p2);
}

struct Hills {
    float base, a1, f1, p1, a2, f2, p2;
    uint32_t top, bottom, rim;
};

void DrawLayer(Canvas& c, int frame, const Hills& h) {
    const float ox = float(frame * kLayer);
    const auto ridge = [&](float x) {
        return Ridge(x, h.base, h.a1, h.f1, h.p1, h.a2, h.f2, h.p2);
    };
    const Inside land = [&](float x, float y) { return y >= ridge(x - ox); };
    const Inside rim = [&](float x, float y) {
        return y >= ridge(x - ox) && y < ridge(x - ox) + 1.2f;
    };
    const float crest = h.base - std::fabs(h.a1) - std::fabs(h.a2);
    Fill(c, ox, 0, ox + kLayer, kLayer, land,
         VerticalGradient(crest, Hex(h.top), kLayer, Hex(h.bottom)));
    Fill(c, ox, 0, ox + kLayer, kLayer, rim, Hex(h.rim, 0.8f));
    // Wide displays show past the cell's sides; fading the outer columns hides the cut.
    constexpr int kFadeColumns = 3;
    for (int y = 0; y < kLayer; ++y) {
        for (int i = 0; i < kFadeColumns; ++i) {
            const float keep = float(i + 1) / float(kFadeColumns + 1);
            for (int x : {int(ox) + i, int(ox) + kLayer - 1 - i}) {
                Rgba& p = c.px[size_t(y) * size_t(c.width) + size_t(x)];
                p = {p.r * keep, p.g * keep, p.b * keep, p.a * keep};
            }
        }
    }
}

void DrawCloud(Canvas& c, int frame) {
    const float ox = float(frame * kLayer);
    const Inside puff = Union({Ellipse(ox + 32, 36, 22, 9), Disc(ox + 24, 30, 10),
                               Disc(ox + 37, 26, 12), Disc(ox + 47, 32, 8)});
    Fill(c, ox, 0, ox + kLayer, kLayer, puff,
         VerticalGradient(16, Hex(0xFFFFFF, 0.95f), 45, Hex(0xC9C3F2, 0.9f)));
}

void Plate(Canvas& c, float cx, float cy, float rx, float ry) {
    const float x0 = cx - rx - 4, y0 = cy - ry - 4, x1 = cx + rx + 4, y1 = cy + ry + 4;
    Fill(c, x0, y0, x1, y1, Ellipse(cx, cy, rx + 3, ry + 3), Hex(0x1E0F3A));
    Fill(c, x0, y0, x1, y1, Ellipse(cx, cy, rx, ry),
         RadialGradient(cx - rx / 3, cy - ry / 3, rx * 1.4f, Hex(0xFFFFFF), Hex(0xCBD3E6)));
    Fill(c, x0, y0, x1, y1,
         Minus(Ellipse(cx, cy, rx * 0.86f, ry * 0.86f), Ellipse(cx, cy, rx * 0.72f, ry * 0.72f)),
         Hex(0x7FA8E8));
    Fill(c, x0, y0, x1, y1, Ellipse(cx, cy, rx * 0.6f, ry * 0.6f), Hex(0xF4F6FB));
}

}  // namespace

Canvas DrawMenuStrip() {
    Canvas c = MakeCanvas(kLayer * 4, kLayer);
    DrawLayer(c, 0,
              {34, 3.6f, 0.16f, 0.4f, 1.5f, 0.37f, 1.9f, 0x6E63C4, 0x3F3690, 0xA79CF0});  // far
    DrawLayer(c, 1,
              {46, 4.0f, 0.12f, 2.2f, 1.5f, 0.29f, 0.3f, 0x30246E, 0x1A1444, 0x7A6CD8});  // near
    DrawLayer(c, 2,
              {42, 4.0f, 0.19f, 4.0f, 1.5f, 0.41f, 2.7f, 0x4B3FA0, 0x2B2166, 0x8A7EE0});  // middle
    DrawCloud(c, 3);
    return c;
}

Canvas DrawTwirl() {
    // Five arms curling outwards, bright at the middle and fading to nothing at the edge; the
    // burst effects tint it and add it to the screen.
    constexpr int kSize = 256;
    constexpr int kArms = 5;
    constexpr int kSub = 3;
    Canvas c = MakeCanvas(kSize, kSize);
    const float centre = kSize / 2.0f, radius = kSize / 2.0f - 2;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            float sum = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const float dx = float(x) + (float(sx) + 0.5f) / kSub - centre;
                    const float dy = float(y) + (float(sy) + 0.5f) / kSub - centre;
                    const float r = std::sqrt(dx * dx + dy * dy) / radius;
                    if (r >= 1) continue;
                    const float swirl = std::atan2(dy, dx) * kArms + r * 9.0f;
                    const float arm = std::pow(0.5f + 0.5f * std::cos(swirl), 3.0f);
                    const float fade = std::pow(1 - r, 1.6f);
                    sum +=
                        std::min(1.0f, (arm * 0.85f + 0.15f) * fade + 0.9f * std::exp(-r * r * 40));
                }
            }
            const float v = sum / (kSub * kSub);
            c.px[size_t(y) * kSize + size_t(x)] = {v, v, v, v};
        }
    }
    return c;
}

Canvas DrawTitleLogo() {
    Canvas c = MakeCanvas(512, 128);
    const float cap1 = 50, cap2 = 40, gap = 0.2f, radius = 5.2f;
    const std::string line1 = "CROCKERY", line2 = "DRIFT";
    const float w1 = TextWidth(line1, cap1, gap), w2 = TextWidth(line2, cap2, gap);
    const float x1 = (512 - w1) / 2 - 16, y1 = 10;
    const float x2 = x1 + w1 - w2 + 40, y2 = 74;
    // The first O of the top line is a plate: it is left out of the strokes and drawn after.
    const std::string lead = "CR";
    const float oX = x1 + TextWidth(lead, cap1, gap) + gap * cap1;
    Strokes strokes = TextStrokes(lead, x1, y1, cap1, gap);
    const Strokes rest = TextStrokes(line1.substr(3), oX + 0.9f * cap1 + gap * cap1, y1, cap1, gap);
    strokes.insert(strokes.end(), rest.begin(), rest.end());
    const Strokes second = TextStrokes(line2, x2, y2, cap2, gap);
    strokes.insert(strokes.end(), second.begin(), second.end());

    // Speed lines trail the second line: the plate drifts.
    Strokes trail;
    for (int k = 0; k < 3; ++k) {
        const float y = y2 + 8 + 12 * float(k), len = 70 - 18 * float(k);
        trail.push_back({{x2 - 16 - len, y}, {x2 - 16, y}});
    }
    const Paint letters = VerticalGradient(y1, Hex(0xFFF59A), y2 + cap2, Hex(0xFF8A3D));
    const Inside outline =
        Union({StrokesShape(strokes, radius + 3), StrokesShape(trail, 3.5f + 2.5f)});
    Fill(
        c, 0, 0, 512, 128, [&](float x, float y) { return outline(x - 3, y - 4); },
        Hex(0x120830, 0.5f));
    Fill(c, 0, 0, 512, 128, StrokesShape(strokes, radius + 3), Hex(0x1E0F3A));
    Fill(c, 0, 0, 512, 128, StrokesShape(trail, 3.5f + 2.5f), Hex(0x1E0F3A));
    Fill(c, 0, 0, 512, 128, StrokesShape(trail, 3.5f), Hex(0x9FD0FF));
    Fill(c, 0, 0, 512, 128, StrokesShape(strokes, radius), letters);
    Plate(c, oX + 0.45f * cap1, y1 + cap1 / 2, 0.43f * cap1, 0.43f * cap1);
    return c;
}

}  // namespace gen
