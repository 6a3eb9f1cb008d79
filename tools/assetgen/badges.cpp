// Sixteen badges for the score table. They are shown at about 18 pixels, so each differs from
// the others in outline and colour first and in its emblem second.
#include <cmath>
#include <functional>
#include <vector>

#include "sheets.h"

namespace gen {
namespace {

constexpr int kCell = 64;
constexpr int kColumns = 4;
const Rgba kInk = Hex(0x1E0F3A);

using Shape = std::function<Inside(float cx, float cy)>;

struct Badge {
    Shape body;
    uint32_t light, dark;
    Shape emblem;
};

Inside Shield(float cx, float cy) {
    return Union({RoundRect(cx - 22, cy - 25, 44, 26, 5), Polygon({{cx - 22, cy - 2},
                                                                   {cx + 22, cy - 2},
                                                                   {cx + 16, cy + 14},
                                                                   {cx, cy + 27},
                                                                   {cx - 16, cy + 14}})});
}
Inside Rosette(float cx, float cy) {
    std::vector<Inside> petals = {Disc(cx, cy, 21)};
    for (int k = 0; k < 12; ++k) {
        const float a = float(k) * 3.14159265f / 6;
        petals.push_back(Disc(cx + 21 * std::sin(a), cy - 21 * std::cos(a), 6.5f));
    }
    return Union(petals);
}
Inside RibbonMedal(float cx, float cy) {
    return Union(
        {Polygon({{cx - 16, cy - 28}, {cx - 4, cy - 28}, {cx + 6, cy - 6}, {cx - 6, cy - 6}}),
         Polygon({{cx + 4, cy - 28}, {cx + 16, cy - 28}, {cx + 6, cy - 6}, {cx - 6, cy - 6}}),
         Disc(cx, cy + 8, 20)});
}
Inside HeartShape(float cx, float cy) {
    return [=](float x, float y) {
        const float u = (x - cx) / 26, v = -(y - cy - 2) / 26;
        const float q = u * u + v * v - 0.5f;
        return q * q * q - u * u * v * v * v <= 0;
    };
}

Inside StarEmblem(float cx, float cy) { return Polygon(StarPoints(cx, cy + 1, 13, 5.5f, 5, 0)); }
Inside PlateEmblem(float cx, float cy) { return Union({Ring(cx, cy, 8.5f, 12), Disc(cx, cy, 6)}); }
Inside BoltEmblem(float cx, float cy) {
    return Polygon({{cx + 3, cy - 15},
                    {cx - 9, cy + 2},
                    {cx - 1, cy + 2},
                    {cx - 4, cy + 15},
                    {cx + 9, cy - 3},
                    {cx + 1, cy - 3}});
}
Inside CheckEmblem(float cx, float cy) {
    return Polyline({{cx - 10, cy}, {cx - 3, cy + 8}, {cx + 11, cy - 9}}, 3.2f);
}
Inside CrownEmblem(float cx, float cy) {
    return Polygon({{cx - 13, cy + 9},
                    {cx - 14, cy - 9},
                    {cx - 6, cy - 1},
                    {cx, cy - 12},
                    {cx + 6, cy - 1},
                    {cx + 14, cy - 9},
                    {cx + 13, cy + 9}});
}
Inside DotsEmblem(int n, float cx, float cy) {
    std::vector<Inside> d;
    for (int i = 0; i < n; ++i) d.push_back(Disc(cx + (float(i) - float(n - 1) / 2) * 9, cy, 3.5f));
    return Union(d);
}
Inside GemEmblem(float cx, float cy) {
    return Polygon({{cx - 12, cy - 4},
                    {cx - 6, cy - 11},
                    {cx + 6, cy - 11},
                    {cx + 12, cy - 4},
                    {cx, cy + 12}});
}
Inside HeartEmblem(float cx, float cy) {
    return [=](float x, float y) {
        const float u = (x - cx) / 11, v = -(y - cy - 1) / 11;
        const float q = u * u + v * v - 0.5f;
        return q * q * q - u * u * v * v * v <= 0;
    };
}

std::vector<Badge> Designs() {
    const Shape circle = [](float x, float y) { return Disc(x, y, 26); };
    const Shape star = [](float x, float y) { return Polygon(StarPoints(x, y + 2, 30, 15, 5, 0)); };
    const Shape hexagon = [](float x, float y) { return Polygon(RegularPolygon(x, y, 28, 6, 30)); };
    const Shape diamond = [](float x, float y) { return Polygon(RegularPolygon(x, y, 29, 4, 0)); };
    const Shape octagon = [](float x, float y) {
        return Polygon(RegularPolygon(x, y, 27, 8, 22.5f));
    };
    const Shape square = [](float x, float y) { return RoundRect(x - 24, y - 24, 48, 48, 9); };
    const Shape triangle = [](float x, float y) {
        return Polygon(RegularPolygon(x, y + 5, 31, 3, 0));
    };
    const Shape star6 = [](float x, float y) { return Polygon(StarPoints(x, y, 29, 20, 8, 0)); };
    return {
        {circle, 0xFFE27A, 0xC98A1E, StarEmblem},
        {circle, 0xF2F4FA, 0x8E96AE, StarEmblem},
        {circle, 0xF0B07A, 0x9A5A2A, StarEmblem},
        {Shield, 0x8CC8FF, 0x2E5FC0, PlateEmblem},
        {Shield, 0xFF8C8C, 0xB02A3A, HeartEmblem},
        {star, 0xFFF08A, 0xE0901E, [](float x, float y) { return Disc(x, y + 2, 5); }},
        {hexagon, 0x9CF08A, 0x2E9A4A, BoltEmblem},
        {diamond, 0xD6A8FF, 0x6A3AC0, GemEmblem},
        {Rosette, 0xFF9AC8, 0xC03A7A, [](float x, float y) { return DotsEmblem(1, x, y); }},
        {octagon, 0x8AF0E6, 0x1E8A90, CheckEmblem},
        {square, 0xFFC07A, 0xD0602A, CrownEmblem},
        {triangle, 0xFFF5A0, 0xD0A21E, [](float x, float y) { return DotsEmblem(2, x, y + 6); }},
        {RibbonMedal, 0xA8C8FF, 0x3A58C8, [](float x, float y) { return PlateEmblem(x, y + 8); }},
        {HeartShape, 0xFF9AB4, 0xD0305A,
         [](float x, float y) { return Polygon(StarPoints(x, y - 1, 9, 4, 5, 0)); }},
        {Shield, 0xFFE27A, 0xC98A1E, CrownEmblem},
        {star6, 0xFFFFFF, 0x9AA8D0, [](float x, float y) { return DotsEmblem(3, x, y); }},
    };
}

void DrawBadge(Canvas& c, int index, const Badge& b) {
    const float ox = float(index % kColumns * kCell), oy = float(index / kColumns * kCell);
    const float cx = ox + 32, cy = oy + 32;
    const auto cell = [&](const Inside& s, const Paint& p) {
        Fill(c, ox, oy, ox + kCell, oy + kCell, s, p);
    };
    const Inside body = b.body(cx, cy);
    const Inside emblem = b.emblem(cx, cy);
    cell(Union({body, Outline(body, 2.2f)}), Flat(kInk));
    cell(body, RadialGradient(cx - 8, cy - 10, 40, Hex(b.light), Hex(b.dark)));
    cell(Intersect(body, Outline(body, 2.4f)), Flat(Hex(0xFFFFFF, 0.35f)));  // bevel
    cell(Union({emblem, Outline(emblem, 1.8f)}), Flat(Hex(b.dark)));
    cell(Intersect(emblem, body), Flat(Hex(0xFFFFFF)));
    cell(Intersect(body, Ellipse(cx - 7, cy - 14, 12, 5)), Flat(Hex(0xFFFFFF, 0.3f)));  // sheen
}

}  // namespace

Canvas DrawBadges() {
    Canvas c = MakeCanvas(kCell * kColumns, kCell * kColumns);
    const std::vector<Badge> designs = Designs();
    for (size_t i = 0; i < designs.size(); ++i) DrawBadge(c, int(i), designs[i]);
    return c;
}

}  // namespace gen
