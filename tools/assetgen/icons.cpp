// The shared icon strip: white glyphs with a dark rim, so the menus' tints colour them and they
// stay readable on any backdrop. Frames with a fixed job: 0 the engine test's ball, 7 the score
// graph marker, 11-14 display options, 18-20 three-way options, 21-23 the slider, 24-29 audio
// back ends, 63 the pointer (its tip is the top-left pixel).
#include <cmath>
#include <functional>
#include <vector>

#include "sheets.h"

namespace gen {
namespace {

constexpr int kCell = 16;
constexpr int kColumns = 8;
constexpr int kFrames = 64;
const Rgba kInk = Hex(0xFFFFFF);
const Rgba kRim = Hex(0x120C28, 0.85f);

// Glyphs are designed in cell coordinates 0-16; this moves them to the frame's cell.
struct Cell {
    float x = 0, y = 0;
    Vec P(float px, float py) const { return {x + px, y + py}; }
};

Cell CellOf(int frame) {
    return {float(frame % kColumns * kCell), float(frame / kColumns * kCell)};
}

void Glyph(Canvas& c, const Cell& at, const Inside& shape) {
    Fill(c, at.x, at.y, at.x + kCell, at.y + kCell, Outline(shape, 1.1f), kRim);
    Fill(c, at.x, at.y, at.x + kCell, at.y + kCell, shape, kInk);
}

std::vector<Vec> Offset(const Cell& at, std::vector<Vec> pts) {
    for (Vec& p : pts) p = at.P(p.x, p.y);
    return pts;
}

Inside Arrow(const Cell& at, float turn) {
    // Pointing up, then turned about the cell centre.
    std::vector<Vec> pts = {{8, 2},     {14, 8.5f},   {10.5f, 8.5f}, {10.5f, 14},
                            {5.5f, 14}, {5.5f, 8.5f}, {2, 8.5f}};
    const float a = turn * 3.14159265f / 180;
    for (Vec& p : pts) {
        const float dx = p.x - 8, dy = p.y - 8;
        p = at.P(8 + dx * std::cos(a) - dy * std::sin(a), 8 + dx * std::sin(a) + dy * std::cos(a));
    }
    return Polygon(pts);
}

Inside Speaker(const Cell& at) {
    return Union({RoundRect(at.x + 1.5f, at.y + 6, 3, 4.5f, 0.5f),
                  Polygon(Offset(at, {{3.5f, 6}, {7.5f, 2.5f}, {7.5f, 13.5f}, {3.5f, 10.5f}}))});
}

Inside Waves(const Cell& at, int count) {
    std::vector<Inside> w;
    for (int i = 0; i < count; ++i) {
        const float r = 3.0f + 2.6f * float(i);
        w.push_back(Polyline(ArcPoints(at.x + 7.5f, at.y + 8, r, r, 50, 130, 8), 0.75f));
    }
    return Union(w);
}

Inside Gear(const Cell& at) {
    std::vector<Inside> teeth;
    for (int k = 0; k < 8; ++k) {
        const float a = float(k) * 3.14159265f / 4;
        teeth.push_back(Capsule(at.P(8 + 5.2f * std::sin(a), 8 - 5.2f * std::cos(a)),
                                at.P(8 + 6.2f * std::sin(a), 8 - 6.2f * std::cos(a)), 1.3f));
    }
    teeth.push_back(Disc(at.x + 8, at.y + 8, 5.2f));
    return Minus(Union(teeth), Disc(at.x + 8, at.y + 8, 2));
}

Inside Heart(const Cell& at) {
    return [=](float x, float y) {
        const float u = (x - at.x - 8) / 6.2f, v = -(y - at.y - 8.6f) / 6.2f;
        const float q = u * u + v * v - 0.45f;
        return q * q * q - u * u * v * v * v <= 0;
    };
}

Inside Selector(const Cell& at, int chosen) {
    // Three rising bars; the chosen one and those below it are filled, the rest hollow.
    std::vector<Inside> bars;
    for (int i = 0; i < 3; ++i) {
        const float h = 5.0f + 3.5f * float(i), x = at.x + 1.5f + 4.6f * float(i),
                    y = at.y + 14 - h;
        const Inside bar = RoundRect(x, y, 3.6f, h, 1);
        bars.push_back(i <= chosen ? bar : Minus(bar, RoundRect(x + 1, y + 1, 1.6f, h - 2, 0.3f)));
    }
    return Union(bars);
}

Inside Monitor(const Cell& at, float w, float h) {
    const float x = 8 - w / 2, y = 7.5f - h / 2;
    return Union({Minus(RoundRect(at.x + x, at.y + y, w, h, 1.2f),
                        RoundRect(at.x + x + 1.6f, at.y + y + 1.6f, w - 3.2f, h - 3.2f, 0.4f)),
                  RoundRect(at.x + 7, at.y + y + h - 0.5f, 2, 2.5f, 0.2f),
                  RoundRect(at.x + 4.5f, at.y + y + h + 1.5f, 7, 1.5f, 0.7f)});
}

Inside Star(const Cell& at, int tips, float inner) {
    return Polygon(StarPoints(at.x + 8, at.y + 8.4f, 6.8f, inner, tips, 0));
}

Inside Plate(const Cell& at) {
    return Union({Ring(at.x + 8, at.y + 8, 4.6f, 6.6f), Disc(at.x + 8, at.y + 8, 3.2f)});
}

using Design = std::function<Inside(const Cell&)>;

// One design per frame; frames without a job still get a tidy glyph.
std::vector<Design> Designs() {
    std::vector<Design> d(kFrames);
    d[0] = [](const Cell& c) { return Disc(c.x + 8, c.y + 8, 6.5f); };
    d[1] = [](const Cell& c) { return Arrow(c, 0); };
    d[2] = [](const Cell& c) { return Arrow(c, 90); };
    d[3] = [](const Cell& c) { return Arrow(c, 180); };
    d[4] = [](const Cell& c) { return Arrow(c, 270); };
    d[5] = [](const Cell& c) {
        return Polyline(Offset(c, {{3, 8.5f}, {6.5f, 12}, {13, 4}}), 1.4f);
    };
    d[6] = [](const Cell& c) {
        return Union(
            {Capsule(c.P(4, 4), c.P(12, 12), 1.4f), Capsule(c.P(12, 4), c.P(4, 12), 1.4f)});
    };
    d[7] = [](const Cell& c) { return Polygon(RegularPolygon(c.x + 8, c.y + 8, 4.5f, 4, 0)); };
    d[8] = [](const Cell& c) { return Star(c, 5, 3); };
    d[9] = [](const Cell& c) { return Heart(c); };
    d[10] = [](const Cell& c) { return Gear(c); };
    d[11] = [](const Cell& c) { return Monitor(c, 12, 9.5f); };
    d[12] = [](const Cell& c) { return Monitor(c, 15, 8.5f); };
    d[13] = [](const Cell& c) {
        return Minus(RoundRect(c.x + 1.5f, c.y + 2.5f, 13, 11, 1),
                     RoundRect(c.x + 3, c.y + 6, 10, 6, 0.3f));
    };
    d[14] = [](const Cell& c) {
        std::vector<Inside> p;
        for (Vec k : {Vec{1, 1}, Vec{-1, 1}, Vec{1, -1}, Vec{-1, -1}}) {
            const Vec corner = c.P(8 + 6.2f * k.x, 8 + 6.2f * k.y);
            p.push_back(Polyline(
                {c.P(8 + 6.2f * k.x, 8 + 2.2f * k.y), corner, c.P(8 + 2.2f * k.x, 8 + 6.2f * k.y)},
                1));
            p.push_back(Capsule(corner, c.P(8 + 2.8f * k.x, 8 + 2.8f * k.y), 1));
        }
        return Union(p);
    };
    d[15] = [](const Cell& c) {
        return Union({RoundRect(c.x + 2, c.y + 10, 12, 4.5f, 1.5f),
                      Capsule(c.P(8, 10), c.P(8, 5), 1.1f), Disc(c.x + 8, c.y + 4, 2.4f),
                      Disc(c.x + 11.5f, c.y + 9.2f, 1)});
    };
    d[16] = [](const Cell& c) {
        return Union({Capsule(c.P(8, 3), c.P(8, 13), 1.5f), Capsule(c.P(3, 8), c.P(13, 8), 1.5f)});
    };
    d[17] = [](const Cell& c) { return Capsule(c.P(3, 8), c.P(13, 8), 1.5f); };
    d[18] = [](const Cell& c) { return Selector(c, 0); };
    d[19] = [](const Cell& c) { return Selector(c, 1); };
    d[20] = [](const Cell& c) { return Selector(c, 2); };
    // The track's halves are drawn side by side and stretched, so each runs to its inner edge.
    // The bar runs on past the inner edge (the cell clips it) so the join has no rim and no pinch.
    d[21] = [](const Cell& c) { return RoundRect(c.x + 2, c.y + 5.5f, 22, 5, 2.5f); };
    d[22] = [](const Cell& c) { return RoundRect(c.x - 8, c.y + 5.5f, 22, 5, 2.5f); };
    d[23] = [](const Cell& c) { return RoundRect(c.x + 5, c.y + 1.5f, 6, 13, 3); };
    d[24] = [](const Cell& c) { return Union({Speaker(c), Waves(c, 1)}); };
    d[25] = [](const Cell& c) { return Union({Speaker(c), Waves(c, 2)}); };
    d[26] = [](const Cell& c) { return Union({Speaker(c), Waves(c, 3)}); };
    d[27] = [](const Cell& c) {
        return Union({Speaker(c), Disc(c.x + 11, c.y + 5, 1.2f), Disc(c.x + 13, c.y + 8, 1.2f),
                      Disc(c.x + 11, c.y + 11, 1.2f)});
    };
    d[28] = [](const Cell& c) {
        return Union({Speaker(c), Ellipse(c.x + 11, c.y + 11.5f, 1.9f, 1.5f),
                      Capsule(c.P(12.6f, 11.3f), c.P(12.6f, 3.5f), 0.6f),
                      Capsule(c.P(12.6f, 3.5f), c.P(14.5f, 5), 0.6f)});
    };
    d[29] = [](const Cell& c) {
        return Union({Speaker(c), Capsule(c.P(10, 5.5f), c.P(14.5f, 10.5f), 0.8f),
                      Capsule(c.P(14.5f, 5.5f), c.P(10, 10.5f), 0.8f)});
    };
    d[30] = [](const Cell& c) {  // music note
        return Union({Ellipse(c.x + 5.5f, c.y + 12, 2.6f, 2),
                      Capsule(c.P(7.6f, 11.5f), c.P(7.6f, 3), 0.8f),
                      Polygon(Offset(c, {{7, 2.4f}, {12.5f, 4}, {12.5f, 6.5f}, {7, 5}}))});
    };
    d[31] = [](const Cell& c) {  // mouse
        return Minus(RoundRect(c.x + 4, c.y + 2, 8, 12.5f, 4),
                     Capsule(c.P(8, 3.5f), c.P(8, 6.5f), 0.6f));
    };
    d[32] = [](const Cell& c) {  // keyboard key
        return Minus(RoundRect(c.x + 2, c.y + 2.5f, 12, 11, 2),
                     RoundRect(c.x + 4, c.y + 4.5f, 8, 6, 1));
    };
    d[33] = [](const Cell& c) {  // clock
        return Union({Ring(c.x + 8, c.y + 8, 5, 6.6f),
                      Polyline(Offset(c, {{8, 4.5f}, {8, 8}, {10.5f, 9.5f}}), 0.8f)});
    };
    d[34] = [](const Cell& c) {  // trophy
        return Union(
            {Polygon(Offset(c, {{4, 2.5f}, {12, 2.5f}, {11, 7}, {8.8f, 9}, {7.2f, 9}, {5, 7}})),
             Ring(c.x + 3.8f, c.y + 5, 1.3f, 2.3f), Ring(c.x + 12.2f, c.y + 5, 1.3f, 2.3f),
             RoundRect(c.x + 7.2f, c.y + 8.5f, 1.6f, 3, 0.2f),
             RoundRect(c.x + 4.5f, c.y + 11.5f, 7, 2.5f, 0.8f)});
    };
    d[35] = [](const Cell& c) {  // flag
        return Union({Capsule(c.P(3.5f, 2.5f), c.P(3.5f, 14), 0.8f),
                      Polygon(Offset(c, {{4, 2.5f}, {13, 5}, {4, 8.5f}}))});
    };
    d[36] = [](const Cell& c) {  // house
        return Minus(
            Polygon(Offset(
                c, {{8, 2}, {14, 8}, {12.5f, 8}, {12.5f, 14}, {3.5f, 14}, {3.5f, 8}, {2, 8}})),
            RoundRect(c.x + 6.7f, c.y + 9.5f, 2.6f, 4.6f, 0.4f));
    };
    d[37] = [](const Cell& c) {  // lock
        return Union({RoundRect(c.x + 3, c.y + 7, 10, 7.5f, 1.5f),
                      Polyline(ArcPoints(c.x + 8, c.y + 6.5f, 3, 3.5f, -90, 90, 10), 1)});
    };
    d[38] = [](const Cell& c) {  // eye
        return Minus(Intersect(Disc(c.x + 8, c.y + 13, 8.5f), Disc(c.x + 8, c.y + 3, 8.5f)),
                     Ring(c.x + 8, c.y + 8, 2.6f, 3.4f));
    };
    d[39] = [](const Cell& c) {  // question mark
        return Union({Polyline(ArcPoints(c.x + 8, c.y + 5.5f, 3.2f, 3, -80, 170, 12), 1.2f),
                      Capsule(c.P(8, 8.5f), c.P(8, 10), 1.2f), Disc(c.x + 8, c.y + 13, 1.3f)});
    };
    d[40] = [](const Cell& c) {  // exclamation mark
        return Union({Capsule(c.P(8, 3), c.P(8, 9.5f), 1.4f), Disc(c.x + 8, c.y + 13, 1.4f)});
    };
    d[41] = [](const Cell& c) {  // info
        return Minus(
            Disc(c.x + 8, c.y + 8, 6.8f),
            Union({Capsule(c.P(8, 7.3f), c.P(8, 11.8f), 1.1f), Disc(c.x + 8, c.y + 4.5f, 1.1f)}));
    };
    d[42] = [](const Cell& c) {  // magnifier
        return Union(
            {Ring(c.x + 6.5f, c.y + 6.5f, 3, 4.6f), Capsule(c.P(10, 10), c.P(13.5f, 13.5f), 1.4f)});
    };
    d[43] = [](const Cell& c) {  // pencil
        return Union({Capsule(c.P(4.5f, 11.5f), c.P(12, 4), 1.8f),
                      Polygon(Offset(c, {{2.3f, 13.7f}, {3, 10.5f}, {5.5f, 13}}))});
    };
    d[44] = [](const Cell& c) {  // bin
        return Union({Minus(Polygon(Offset(c, {{4, 5}, {12, 5}, {11, 14}, {5, 14}})),
                            Union({Capsule(c.P(6.8f, 7), c.P(6.8f, 12), 0.5f),
                                   Capsule(c.P(9.2f, 7), c.P(9.2f, 12), 0.5f)})),
                      RoundRect(c.x + 2.5f, c.y + 3, 11, 1.6f, 0.6f),
                      RoundRect(c.x + 6.5f, c.y + 1.5f, 3, 2, 0.5f)});
    };
    d[45] = [](const Cell& c) {  // folder
        return Union(
            {RoundRect(c.x + 2, c.y + 5, 12, 8.5f, 1), RoundRect(c.x + 2, c.y + 3.5f, 5, 3, 1)});
    };
    d[46] = [](const Cell& c) {  // disk
        return Minus(
            Polygon(Offset(
                c, {{2.5f, 2.5f}, {11.5f, 2.5f}, {13.5f, 4.5f}, {13.5f, 13.5f}, {2.5f, 13.5f}})),
            Union({RoundRect(c.x + 5, c.y + 2.5f, 5, 3.5f, 0.3f), Disc(c.x + 8, c.y + 10, 1.6f)}));
    };
    d[47] = [](const Cell& c) {  // camera
        return Union(
            {Minus(RoundRect(c.x + 1.5f, c.y + 5, 13, 8.5f, 1.5f), Ring(c.x + 8, c.y + 9.2f, 2, 3)),
             RoundRect(c.x + 5.5f, c.y + 3.2f, 5, 2.5f, 0.8f)});
    };
    d[48] = [](const Cell& c) {  // refresh
        return Union({Polyline(ArcPoints(c.x + 8, c.y + 8, 5, 5, 40, 320, 16), 1.1f),
                      Polygon(Offset(c, {{8.4f, 1}, {12.5f, 3.6f}, {8.4f, 6.5f}}))});
    };
    d[49] = [](const Cell& c) {
        return Polygon(Offset(c, {{4.5f, 2.5f}, {13, 8}, {4.5f, 13.5f}}));
    };
    d[50] = [](const Cell& c) {
        return Union({RoundRect(c.x + 3.5f, c.y + 3, 3.2f, 10, 0.8f),
                      RoundRect(c.x + 9.3f, c.y + 3, 3.2f, 10, 0.8f)});
    };
    d[51] = [](const Cell& c) { return RoundRect(c.x + 3, c.y + 3, 10, 10, 1.5f); };
    d[52] = [](const Cell& c) { return Ring(c.x + 8, c.y + 8, 3.8f, 6); };
    d[53] = [](const Cell& c) { return Polygon(RegularPolygon(c.x + 8, c.y + 9, 6.8f, 3, 0)); };
    d[54] = [](const Cell& c) { return Polygon(RegularPolygon(c.x + 8, c.y + 8, 6.5f, 6, 30)); };
    d[55] = [](const Cell& c) {  // lightning
        return Polygon(Offset(
            c, {{9.5f, 1.5f}, {3.5f, 9}, {7.5f, 9}, {6, 14.5f}, {12.5f, 6.5f}, {8.5f, 6.5f}}));
    };
    d[56] = [](const Cell& c) {  // sun
        std::vector<Inside> p = {Disc(c.x + 8, c.y + 8, 3.3f)};
        for (int k = 0; k < 8; ++k) {
            const float a = float(k) * 3.14159265f / 4;
            p.push_back(Capsule(c.P(8 + 5 * std::sin(a), 8 - 5 * std::cos(a)),
                                c.P(8 + 6.4f * std::sin(a), 8 - 6.4f * std::cos(a)), 0.8f));
        }
        return Union(p);
    };
    d[57] = [](const Cell& c) {
        return Minus(Disc(c.x + 8, c.y + 8, 6), Disc(c.x + 11, c.y + 5.5f, 5));
    };
    d[58] = [](const Cell& c) {  // crown
        return Polygon(Offset(
            c,
            {{2.5f, 12.5f}, {2, 4.5f}, {5.5f, 8}, {8, 3}, {10.5f, 8}, {14, 4.5f}, {13.5f, 12.5f}}));
    };
    d[59] = [](const Cell& c) {  // medal
        return Union(
            {Polygon(Offset(c, {{4.5f, 1.5f}, {7.5f, 1.5f}, {9, 7}, {6.5f, 7}})),
             Polygon(Offset(c, {{8.5f, 1.5f}, {11.5f, 1.5f}, {9.5f, 7}, {7, 7}})),
             Minus(Disc(c.x + 8, c.y + 10.5f, 4.2f), Ring(c.x + 8, c.y + 10.5f, 2.3f, 2.9f))});
    };
    d[60] = [](const Cell& c) { return Plate(c); };
    d[61] = [](const Cell& c) { return Star(c, 4, 2.2f); };
    d[62] = [](const Cell& c) { return Star(c, 6, 3.5f); };
    return d;
}

void DrawPointer(Canvas& c, const Cell& at) {
    // The tip is the cell's top-left pixel, so the rim lies inside the arrow: nothing of it may
    // reach above or left of the tip.
    const Inside arrow = Polygon(Offset(
        at, {{0, 0}, {0, 13}, {3.3f, 10}, {5.8f, 15.2f}, {8.2f, 14.1f}, {5.8f, 9}, {10, 9}}));
    Fill(c, at.x, at.y, at.x + kCell, at.y + kCell, arrow, Hex(0x120C28));
    Fill(c, at.x, at.y, at.x + kCell, at.y + kCell, Minus(arrow, Outline(arrow, 1.15f)), kInk);
}

}  // namespace

Canvas DrawIcons() {
    Canvas c = MakeCanvas(kCell * kColumns, kCell * kColumns);
    const std::vector<Design> designs = Designs();
    for (int f = 0; f < kFrames - 1; ++f) {
        if (designs[size_t(f)]) Glyph(c, CellOf(f), designs[size_t(f)](CellOf(f)));
    }
    DrawPointer(c, CellOf(kFrames - 1));
    return c;
}

}  // namespace gen
