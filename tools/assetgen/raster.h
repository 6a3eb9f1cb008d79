// The generator's own small rasteriser: an RGBA float canvas and shapes filled with anti-aliased
// coverage found by supersampling, painted with flat colours or gradients and composited "over".
// Shapes are predicates on continuous pixel coordinates (pixel centres sit at +0.5).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace gen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied), 0-1
};
Rgba Hex(uint32_t rgb, float alpha = 1);          // 0xRRGGBB
Rgba Mix(const Rgba& a, const Rgba& b, float t);  // t = 0 gives a

struct Vec {
    float x = 0, y = 0;
};

// Premultiplied pixels: compositing stays exact where partial coverages meet.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgba> px;
};
Canvas MakeCanvas(int width, int height);
// Composites colour with weight `coverage` over the pixel (ignored outside the canvas).
void Blend(Canvas& c, int x, int y, const Rgba& colour, float coverage);
// Adds light: the colour times its alpha and coverage is added and alpha rises with it.
void AddLight(Canvas& c, int x, int y, const Rgba& colour, float coverage);
// Copies `src` over `dst` with its top-left at (x, y).
void Paste(Canvas& dst, const Canvas& src, int x, int y);
// 8-bit straight RGBA, row by row.
std::vector<uint8_t> ToRgba8(const Canvas& c);

using Inside = std::function<bool(float x, float y)>;
using Paint = std::function<Rgba(float x, float y)>;

// Fills the shape within the box [x0, x1) x [y0, y1), kSamples x kSamples samples per pixel.
void Fill(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Paint& paint);
void Fill(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Rgba& colour);
void Glow(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Paint& paint);

// Shapes.
Inside Disc(float cx, float cy, float r);
Inside Ring(float cx, float cy, float rInner, float rOuter);
Inside Ellipse(float cx, float cy, float rx, float ry);
Inside RoundRect(float x, float y, float w, float h, float radius);
Inside Capsule(Vec a, Vec b, float radius);  // a thick line with round ends
Inside Polyline(const std::vector<Vec>& points, float radius);
Inside Polygon(const std::vector<Vec>& points);  // even-odd rule
Inside Union(std::vector<Inside> shapes);
Inside Minus(Inside a, Inside b);
Inside Intersect(Inside a, Inside b);

// Points of a regular star (inner radius ratio), regular polygon, or arc, angles in degrees with
// 0 pointing up and growing clockwise.
std::vector<Vec> StarPoints(float cx, float cy, float rOuter, float rInner, int tips, float turn);
std::vector<Vec> RegularPolygon(float cx, float cy, float r, int sides, float turn);
std::vector<Vec> ArcPoints(float cx, float cy, float rx, float ry, float from, float to, int steps);

// Paints.
Paint Flat(const Rgba& colour);
Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom);
Paint RadialGradient(float cx, float cy, float r, const Rgba& centre, const Rgba& edge);

// The shape's outline as a band `width` wide around its edge, inside and out.
Inside Outline(const Inside& shape, float width);

}  // namespace gen
