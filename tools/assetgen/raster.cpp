// Coverage by a fixed grid of samples per pixel: slow but exact enough for sprites of a few
// hundred pixels, and the same bytes on every machine (no floating-point races, no threads).
#include "raster.h"

#include <algorithm>
#include <cmath>

namespace gen {
namespace {

constexpr int kSamples = 6;  // per axis: 36 samples give 37 coverage levels
constexpr float kPi = 3.14159265358979f;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float SegmentDistance(Vec p, Vec a, Vec b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = Clamp01(t);
    const float ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

Rgba Hex(uint32_t rgb, float alpha) {
    return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f,
            float(rgb & 255) / 255.0f, alpha};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Canvas MakeCanvas(int width, int height) {
    Canvas c;
    c.width = width;
    c.height = height;
    c.px.assign(size_t(width) * size_t(height), Rgba{});
    return c;
}

void Blend(Canvas& c, int x, int y, const Rgba& colour, float coverage) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    const float a = Clamp01(colour.a * coverage);
    Rgba& d = c.px[size_t(y) * size_t(c.width) + size_t(x)];
    d.r = colour.r * a + d.r * (1 - a);
    d.g = colour.g * a + d.g * (1 - a);
    d.b = colour.b * a + d.b * (1 - a);
    d.a = a + d.a * (1 - a);
}

void AddLight(Canvas& c, int x, int y, const Rgba& colour, float coverage) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    const float a = Clamp01(colour.a * coverage);
    Rgba& d = c.px[size_t(y) * size_t(c.width) + size_t(x)];
    d.r = std::min(1.0f, d.r + colour.r * a);
    d.g = std::min(1.0f, d.g + colour.g * a);
    d.b = std::min(1.0f, d.b + colour.b * a);
    d.a = std::min(1.0f, d.a + a);
}

void Paste(Canvas& dst, const Canvas& src, int x, int y) {
    for (int j = 0; j < src.height; ++j) {
        for (int i = 0; i < src.width; ++i) {
            const Rgba& s = src.px[size_t(j) * size_t(src.width) + size_t(i)];
            const int dx = x + i, dy = y + j;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
            Rgba& d = dst.px[size_t(dy) * size_t(dst.width) + size_t(dx)];
            d.r = s.r + d.r * (1 - s.a);
            d.g = s.g + d.g * (1 - s.a);
            d.b = s.b + d.b * (1 - s.a);
            d.a = s.a + d.a * (1 - s.a);
        }
    }
}

std::vector<uint8_t> ToRgba8(const Canvas& c) {
    std::vector<uint8_t> out;
    out.reserve(c.px.size() * 4);
    for (const Rgba& p : c.px) {
        const float a = Clamp01(p.a);
        // Fully transparent pixels keep black colour so filtered edges never bleed stray hues.
        const float inv = a > 0 ? 1 / a : 0;
        out.push_back(uint8_t(std::lround(Clamp01(p.r * inv) * 255)));
        out.push_back(uint8_t(std::lround(Clamp01(p.g * inv) * 255)));
        out.push_back(uint8_t(std::lround(Clamp01(p.b * inv) * 255)));
        out.push_back(uint8_t(std::lround(a * 255)));
    }
    return out;
}

namespace {

template <typename Apply>
void Cover(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape, Apply apply) {
    const int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    const int ix1 = std::min(c.width, int(std::ceil(x1))),
              iy1 = std::min(c.height, int(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            // A 3 x 3 probe at half-pixel spacing first: a pixel it finds wholly in or out needs no
            // more samples. Features at least 0.71 pixels across always touch a probe.
            int probes = 0;
            for (int j = 0; j < 3; ++j) {
                for (int i = 0; i < 3; ++i) {
                    if (shape(float(x) + 0.5f * float(i), float(y) + 0.5f * float(j))) ++probes;
                }
            }
            if (probes == 0) continue;
            if (probes == 9) {
                apply(x, y, 1.0f);
                continue;
            }
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = float(x) + (float(sx) + 0.5f) / kSamples;
                    const float py = float(y) + (float(sy) + 0.5f) / kSamples;
                    if (shape(px, py)) ++hits;
                }
            }
            if (hits > 0) apply(x, y, float(hits) / (kSamples * kSamples));
        }
    }
}

}  // namespace

void Fill(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Paint& paint) {
    Cover(c, x0, y0, x1, y1, shape, [&](int x, int y, float cov) {
        Blend(c, x, y, paint(float(x) + 0.5f, float(y) + 0.5f), cov);
    });
}

void Fill(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Rgba& colour) {
    Cover(c, x0, y0, x1, y1, shape, [&](int x, int y, float cov) { Blend(c, x, y, colour, cov); });
}

void Glow(Canvas& c, float x0, float y0, float x1, float y1, const Inside& shape,
          const Paint& paint) {
    Cover(c, x0, y0, x1, y1, shape, [&](int x, int y, float cov) {
        AddLight(c, x, y, paint(float(x) + 0.5f, float(y) + 0.5f), cov);
    });
}

Inside Disc(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside Ring(float cx, float cy, float rInner, float rOuter) {
    return [=](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= rOuter * rOuter && d >= rInner * rInner;
    };
}

Inside Ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        const float u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
}

Inside RoundRect(float x, float y, float w, float h, float radius) {
    return [=](float px, float py) {
        if (px < x || py < y || px > x + w || py > y + h) return false;
        const float cx = std::clamp(px, x + radius, x + w - radius);
        const float cy = std::clamp(py, y + radius, y + h - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    };
}

Inside Capsule(Vec a, Vec b, float radius) {
    return [=](float x, float y) { return SegmentDistance({x, y}, a, b) <= radius; };
}

Inside Polyline(const std::vector<Vec>& points, float radius) {
    // Each segment's box, grown by the radius, rejects most samples before any distance is taken.
    struct Segment {
        Vec a, b;
        float x0, y0, x1, y1;
    };
    std::vector<Segment> segs;
    for (size_t i = 0; i < points.size(); ++i) {
        const Vec a = points[i];
        const Vec b = i + 1 < points.size() ? points[i + 1] : a;
        if (i + 1 == points.size() && points.size() > 1) break;
        segs.push_back({a, b, std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius,
                        std::max(a.x, b.x) + radius, std::max(a.y, b.y) + radius});
    }
    return [segs = std::move(segs), radius](float x, float y) {
        for (const Segment& s : segs) {
            if (x < s.x0 || x > s.x1 || y < s.y0 || y > s.y1) continue;
            if (SegmentDistance({x, y}, s.a, s.b) <= radius) return true;
        }
        return false;
    };
}

Inside Polygon(const std::vector<Vec>& points) {
    return [=](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Vec& a = points[i];
            const Vec& b = points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
        }
        return in;
    };
}

Inside Union(std::vector<Inside> shapes) {
    return [shapes = std::move(shapes)](float x, float y) {
        for (const Inside& s : shapes) {
            if (s(x, y)) return true;
        }
        return false;
    };
}

Inside Minus(Inside a, Inside b) {
    return [=](float x, float y) { return a(x, y) && !b(x, y); };
}

Inside Intersect(Inside a, Inside b) {
    return [=](float x, float y) { return a(x, y) && b(x, y); };
}

Inside Outline(const Inside& shape, float width) {
    // A point is on the outline when the shape's edge passes within `width` of it: probe a ring of
    // eight neighbours at that distance and look for disagreement.
    std::vector<Vec> ring;
    for (int k = 0; k < 8; ++k) {
        const float ang = float(k) * kPi / 4;
        ring.push_back({width * std::cos(ang), width * std::sin(ang)});
    }
    return [=](float x, float y) {
        const bool here = shape(x, y);
        for (const Vec& d : ring) {
            if (shape(x + d.x, y + d.y) != here) return true;
        }
        return false;
    };
}

std::vector<Vec> StarPoints(float cx, float cy, float rOuter, float rInner, int tips, float turn) {
    std::vector<Vec> p;
    for (int i = 0; i < tips * 2; ++i) {
        const float r = (i % 2 == 0) ? rOuter : rInner;
        const float ang = (turn + 180.0f * float(i) / float(tips)) * kPi / 180;
        p.push_back({cx + r * std::sin(ang), cy - r * std::cos(ang)});
    }
    return p;
}

std::vector<Vec> RegularPolygon(float cx, float cy, float r, int sides, float turn) {
    std::vector<Vec> p;
    for (int i = 0; i < sides; ++i) {
        const float ang = (turn + 360.0f * float(i) / float(sides)) * kPi / 180;
        p.push_back({cx + r * std::sin(ang), cy - r * std::cos(ang)});
    }
    return p;
}

std::vector<Vec> ArcPoints(float cx, float cy, float rx, float ry, float from, float to,
                           int steps) {
    std::vector<Vec> p;
    for (int i = 0; i <= steps; ++i) {
        const float ang = (from + (to - from) * float(i) / float(steps)) * kPi / 180;
        p.push_back({cx + rx * std::sin(ang), cy - ry * std::cos(ang)});
    }
    return p;
}

Paint Flat(const Rgba& colour) {
    return [=](float, float) { return colour; };
}

Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom) {
    return [=](float, float y) { return Mix(top, bottom, Clamp01((y - y0) / (y1 - y0))); };
}

Paint RadialGradient(float cx, float cy, float r, const Rgba& centre, const Rgba& edge) {
    return [=](float x, float y) {
        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        return Mix(centre, edge, Clamp01(d / r));
    };
}

}  // namespace gen
