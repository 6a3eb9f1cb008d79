// The maker's emblem ("Orrinvale": a sun rising over a river valley) and the partner
// community's ("Hearthside": a house with a fire in its hearth), each with its name beneath in
// our stroke capitals, on a transparent ground.
#include <cmath>
#include <string>
#include <vector>

#include "sheets.h"
#include "stroke_font.h"

namespace gen {
namespace {

constexpr int kSize = 256;
const Rgba kInk = Hex(0x1E0F3A);

void Caption(Canvas& c, const std::string& name, float cap, float y, const Paint& paint) {
    constexpr float kGap = 0.18f;
    const float w = TextWidth(name, cap, kGap);
    const Strokes s = TextStrokes(name, (kSize - w) / 2, y, cap, kGap);
    Fill(c, 0, y - 12, kSize, y + cap + 12, StrokesShape(s, 3.2f + 3), kInk);
    Fill(c, 0, y - 12, kSize, y + cap + 12, StrokesShape(s, 3.2f), paint);
}

}  // namespace

Canvas DrawMakerLogo() {
    Canvas c = MakeCanvas(kSize, kSize);
    const float cx = 128, cy = 100, r = 86;
    const auto all = [&](const Inside& s, const Paint& p) { Fill(c, 0, 0, kSize, kSize, s, p); };
    const Inside face = Disc(cx, cy, r - 9);
    all(Disc(cx, cy, r + 3), Flat(kInk));
    all(Ring(cx, cy, r - 9, r), VerticalGradient(cy - r, Hex(0xFFE7A3), cy + r, Hex(0xE0A040)));
    all(face, VerticalGradient(cy - r, Hex(0x3FC4E0), cy + 10, Hex(0xFFC48A)));
    all(Intersect(face, Disc(cx, cy + 8, 30)),
        RadialGradient(cx, cy + 8, 30, Hex(0xFFF6C0), Hex(0xFFB347)));
    // Two hills meet in a valley; a river winds out of it towards the viewer.
    const Inside left = Polygon({{cx - 90, cy + 95},
                                 {cx - 90, cy - 5},
                                 {cx - 40, cy - 22},
                                 {cx + 4, cy + 20},
                                 {cx + 30, cy + 95}});
    const Inside right = Polygon({{cx + 90, cy + 95},
                                  {cx + 90, cy + 2},
                                  {cx + 52, cy - 14},
                                  {cx - 6, cy + 24},
                                  {cx - 30, cy + 95}});
    all(Intersect(face, left), VerticalGradient(cy - 20, Hex(0x6B4FC8), cy + 80, Hex(0x3A2A86)));
    all(Intersect(face, right), VerticalGradient(cy - 14, Hex(0x5A44B4), cy + 80, Hex(0x2C2070)));
    // The river widens as it comes nearer: discs along an S-curve, growing downwards.
    std::vector<Inside> bends;
    for (int i = 0; i <= 40; ++i) {
        const float t = float(i) / 40;
        const float y = cy + 21 + 66 * t;
        bends.push_back(Disc(cx - 3 + 11 * std::sin(t * 5.2f), y, 1.5f + 11 * t * t));
    }
    const Inside river = Union(bends);
    all(Intersect(face, river), VerticalGradient(cy + 20, Hex(0xBDF3FF), cy + 80, Hex(0x4FB8E8)));
    all(Outline(face, 1.2f), Flat(kInk));
    Caption(c, "ORRINVALE", 30, 206, VerticalGradient(206, Hex(0xFFF3B0), 236, Hex(0xF0A848)));
    return c;
}

Canvas DrawPartnerLogo() {
    Canvas c = MakeCanvas(kSize, kSize);
    const float cx = 128;
    const auto all = [&](const Inside& s, const Paint& p) { Fill(c, 0, 0, kSize, kSize, s, p); };
    const std::vector<Vec> house = {{cx, 16},       {cx + 92, 94}, {cx + 76, 94}, {cx + 76, 186},
                                    {cx - 76, 186}, {cx - 76, 94}, {cx - 92, 94}};
    const Inside chimney = RoundRect(cx + 40, 30, 22, 50, 3);
    all(Union({Outline(Polygon(house), 3.5f), Outline(chimney, 3.5f), Polygon(house), chimney}),
        Flat(kInk));
    all(chimney, VerticalGradient(30, Hex(0xD9694A), 80, Hex(0x9C3B2E)));
    all(Polygon(house), VerticalGradient(16, Hex(0xF08A5D), 186, Hex(0xB84A3A)));
    // Puffs of smoke drift from the chimney.
    all(Disc(cx + 53, 20, 7), Flat(Hex(0xF4EEFF, 0.8f)));
    all(Disc(cx + 64, 11, 5.5f), Flat(Hex(0xF4EEFF, 0.6f)));
    all(Disc(cx + 76, 6, 4), Flat(Hex(0xF4EEFF, 0.4f)));
    // The hearth: an arched opening glowing with a fire.
    const Inside hearth = Union({RoundRect(cx - 44, 110, 88, 76, 4), Ellipse(cx, 112, 44, 26)});
    all(Union({Outline(hearth, 3), hearth}), Flat(kInk));
    all(Minus(hearth, Outline(hearth, 3.5f)),
        RadialGradient(cx, 176, 70, Hex(0x7A2A1E), Hex(0x2A0E18)));
    const Inside flame =
        Union({Polygon({{cx, 104}, {cx + 26, 150}, {cx - 26, 150}}), Disc(cx, 158, 26)});
    const Inside inner =
        Union({Polygon({{cx + 2, 130}, {cx + 15, 160}, {cx - 13, 160}}), Disc(cx + 1, 166, 14)});
    all(Intersect(flame, RoundRect(cx - 40, 90, 80, 92, 2)),
        VerticalGradient(104, Hex(0xFFD24A), 182, Hex(0xFF6A2A)));
    all(Intersect(inner, RoundRect(cx - 40, 90, 80, 92, 2)),
        VerticalGradient(130, Hex(0xFFFBE0), 180, Hex(0xFFD35A)));
    all(RoundRect(cx - 40, 176, 80, 8, 3), Flat(Hex(0x5A3424)));  // the log
    Caption(c, "HEARTHSIDE", 28, 208, VerticalGradient(208, Hex(0xFFE9C2), 236, Hex(0xF29A62)));
    return c;
}

}  // namespace gen
