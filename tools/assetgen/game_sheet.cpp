// The game sheet: the head looking eight ways (frames 0-7), the plate (10), the intruder (11)
// and the pickup (13). Intruder and pickup are drawn in whites and pale greys because the game
// tints them; the head and the plate are drawn untinted and keep their own colours. Every head
// frame has the same round silhouette, since frame 1 doubles as the head's collision shape.
#include <cmath>

#include "sheets.h"

namespace gen {
namespace {

constexpr int kCell = 32;
constexpr int kColumns = 10;
constexpr float kPi = 3.14159265f;
const Rgba kRim = Hex(0x24123A);

Vec Origin(int frame) { return {float(frame % kColumns * kCell), float(frame / kColumns * kCell)}; }

// Where the head looks in frames 0-7, y down: frame 0 at the player, the rest around the clock.
constexpr Vec kGaze[8] = {{0, 0.35f}, {-0.7f, 0.7f}, {-1, 0}, {-0.7f, -0.7f},
                          {0, -1},    {0.7f, -0.7f}, {1, 0},  {0.7f, 0.7f}};

void DrawHead(Canvas& c, int frame) {
    const Vec o = Origin(frame);
    const float cx = o.x + 16, cy = o.y + 16.5f;
    const Vec g = kGaze[frame];
    const auto box = [&](const Inside& s, const Paint& p) {
        Fill(c, o.x, o.y, o.x + kCell, o.y + kCell, s, p);
    };

    box(Disc(cx, cy, 15), Flat(kRim));
    box(Disc(cx, cy, 13.6f), RadialGradient(cx - 4, cy - 6, 22, Hex(0xFFE9A0), Hex(0xF08A2C)));
    // The face turns a little towards the gaze; the eyes' pupils follow it fully.
    const float fx = cx + g.x * 2.2f, fy = cy + g.y * 1.8f;
    box(Ellipse(fx - 5.6f, fy + 4.2f, 2.4f, 1.5f), Flat(Hex(0xFF6F7A, 0.55f)));
    box(Ellipse(fx + 5.6f, fy + 4.2f, 2.4f, 1.5f), Flat(Hex(0xFF6F7A, 0.55f)));
    for (float side : {-1.0f, 1.0f}) {
        const float ex = fx + side * 4.6f, ey = fy - 2.2f;
        box(Ellipse(ex, ey, 3.6f, 4.4f), Flat(kRim));
        box(Ellipse(ex, ey, 2.7f, 3.5f), Flat(Hex(0xFFFFFF)));
        const float px = ex + g.x * 1.3f, py = ey + g.y * 1.7f;
        box(Disc(px, py, 1.8f), Flat(Hex(0x2B1B4A)));
        box(Disc(px - 0.6f, py - 0.7f, 0.6f), Flat(Hex(0xFFFFFF)));
    }
    if (frame == 4) {
        box(Ellipse(fx, fy + 6, 1.8f, 1.6f), Flat(kRim));  // looking up in wonder
    } else {
        box(Polyline(ArcPoints(fx, fy + 3.6f, 3.2f, 2.4f, 115, 245, 10), 0.75f), Flat(kRim));
    }
    box(Ellipse(cx - 5, cy - 9.5f, 4, 1.6f), Flat(Hex(0xFFFFFF, 0.45f)));  // sheen
}

void DrawPlate(Canvas& c) {
    const Vec o = Origin(10);
    const float cx = o.x + 16, cy = o.y + 16;
    const auto box = [&](const Inside& s, const Paint& p) {
        Fill(c, o.x, o.y, o.x + kCell, o.y + kCell, s, p);
    };
    box(Disc(cx, cy, 15), Flat(Hex(0x3A3060)));
    box(Disc(cx, cy, 14), RadialGradient(cx - 5, cy - 5, 20, Hex(0xFFFFFF), Hex(0xD9DEEA)));
    box(Ring(cx, cy, 10.2f, 12.2f), Flat(Hex(0x7FA8E8)));  // the glazed band of the rim
    for (int k = 0; k < 12; ++k) {
        const float a = float(k) * kPi / 6;
        box(Disc(cx + 11.2f * std::sin(a), cy - 11.2f * std::cos(a), 0.75f), Flat(Hex(0xFFFFFF)));
    }
    box(Ring(cx, cy, 8.2f, 9.0f), Flat(Hex(0xB9C3D8)));  // where the well dips
    box(Disc(cx, cy, 8.2f), RadialGradient(cx + 2, cy + 2, 10, Hex(0xFFFFFF), Hex(0xE8ECF4)));
    box(Polyline(ArcPoints(cx, cy, 12.9f, 12.9f, 290, 340, 8), 0.7f), Flat(Hex(0xFFFFFF, 0.9f)));
}

void DrawIntruder(Canvas& c) {
    const Vec o = Origin(11);
    const float cx = o.x + 16, cy = o.y + 16;
    const auto box = [&](const Inside& s, const Paint& p) {
        Fill(c, o.x, o.y, o.x + kCell, o.y + kCell, s, p);
    };
    const Inside body = Union({Polygon(StarPoints(cx, cy, 13.8f, 8.6f, 9, 0)), Disc(cx, cy, 10)});
    box(Union({body, Outline(body, 1.1f)}), Flat(kRim));
    box(body, RadialGradient(cx - 3, cy - 4, 18, Hex(0xFFFFFF), Hex(0xCFCFCF)));
    for (float side : {-1.0f, 1.0f}) {
        const float ex = cx + side * 4.2f, ey = cy + 0.2f;
        box(Ellipse(ex, ey, 3.3f, 3.0f), Flat(kRim));
        box(Ellipse(ex, ey, 2.4f, 2.1f), Flat(Hex(0xFFFFFF)));
        box(Disc(ex - side * 0.7f, ey + 0.5f, 1.1f), Flat(kRim));
        // Brows slanting down towards the middle make it scowl.
        box(Capsule({ex - side * 2.6f, ey - 3.2f}, {ex + side * 2.6f, ey - 5.2f}, 0.9f),
            Flat(kRim));
    }
    box(Polyline({{cx - 4, cy + 6.4f},
                  {cx - 2, cy + 5},
                  {cx, cy + 6.4f},
                  {cx + 2, cy + 5},
                  {cx + 4, cy + 6.4f}},
                 0.8f),
        Flat(kRim));
}

void DrawPickup(Canvas& c) {
    const Vec o = Origin(13);
    const float cx = o.x + 16, cy = o.y + 16;
    const auto box = [&](const Inside& s, const Paint& p) {
        Fill(c, o.x, o.y, o.x + kCell, o.y + kCell, s, p);
    };
    // A cut gem: an octagon whose facets are shaded in pale greys around a bright table.
    const std::vector<Vec> outer = RegularPolygon(cx, cy, 10.5f, 8, 22.5f);
    const std::vector<Vec> table = RegularPolygon(cx, cy, 5.2f, 8, 22.5f);
    box(Polygon(RegularPolygon(cx, cy, 11.8f, 8, 22.5f)), Flat(kRim));
    const float shades[8] = {0.98f, 0.93f, 0.8f, 0.68f, 0.62f, 0.7f, 0.84f, 0.95f};
    for (int k = 0; k < 8; ++k) {
        const Vec a = outer[size_t(k)], b = outer[size_t((k + 1) % 8)];
        const Vec d = table[size_t((k + 1) % 8)], e = table[size_t(k)];
        const float s = shades[k];
        box(Polygon({a, b, d, e}), Flat(Rgba{s, s, s, 1}));
    }
    box(Polygon(table), Flat(Hex(0xFFFFFF)));
    box(Polygon(StarPoints(cx - 4.5f, cy - 4.5f, 3.6f, 0.9f, 4, 0)), Flat(Hex(0xFFFFFF)));
}

}  // namespace

Canvas DrawGameSheet() {
    Canvas c = MakeCanvas(kCell * kColumns, kCell * kColumns);
    for (int f = 0; f < 8; ++f) DrawHead(c, f);
    DrawPlate(c);
    DrawIntruder(c);
    DrawPickup(c);
    return c;
}

}  // namespace gen
