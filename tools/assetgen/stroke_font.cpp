// Letter designs on a unit-high box; curves are arcs sampled into short segments.
#include "stroke_font.h"

namespace gen {
namespace {

constexpr int kArcSteps = 14;
constexpr float kSpaceWidth = 0.45f;

struct Letter {
    float width = 0;
    Strokes strokes;
};

std::vector<Vec> Join(std::vector<Vec> a, const std::vector<Vec>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Letter Design(char c) {
    switch (c) {
        case 'A':
            return {0.8f, {{{0, 1}, {0.4f, 0}, {0.8f, 1}}, {{0.17f, 0.64f}, {0.63f, 0.64f}}}};
        case 'C':
            return {0.74f, {ArcPoints(0.44f, 0.5f, 0.42f, 0.5f, 48, -228, kArcSteps * 2)}};
        case 'D':
            return {0.74f,
                    {Join(Join({{0.0f, 1.0f}, {0.0f, 0.0f}, {0.26f, 0.0f}},
                               ArcPoints(0.26f, 0.5f, 0.48f, 0.5f, 0, 180, kArcSteps * 2)),
                          {{0.26f, 1.0f}, {0.0f, 1.0f}})}};
        case 'E':
            return {0.62f, {{{0.62f, 0}, {0, 0}, {0, 1}, {0.62f, 1}}, {{0, 0.5f}, {0.5f, 0.5f}}}};
        case 'F':
            return {0.6f, {{{0.6f, 0}, {0, 0}, {0, 1}}, {{0, 0.5f}, {0.48f, 0.5f}}}};
        case 'H':
            return {0.74f,
                    {{{0, 0}, {0, 1}}, {{0.74f, 0}, {0.74f, 1}}, {{0, 0.5f}, {0.74f, 0.5f}}}};
        case 'I':
            return {0.0f, {{{0, 0}, {0, 1}}}};
        case 'K':
            return {0.68f,
                    {{{0, 0}, {0, 1}}, {{0.66f, 0}, {0, 0.64f}}, {{0.22f, 0.45f}, {0.68f, 1}}}};
        case 'L':
            return {0.58f, {{{0, 0}, {0, 1}, {0.58f, 1}}}};
        case 'N':
            return {0.74f, {{{0, 1}, {0, 0}, {0.74f, 1}, {0.74f, 0}}}};
        case 'O':
            return {0.9f, {ArcPoints(0.45f, 0.5f, 0.45f, 0.5f, 0, 360, kArcSteps * 3)}};
        case 'R':
            return {0.66f,
                    {Join(Join({{0.0f, 1.0f}, {0.0f, 0.0f}, {0.36f, 0.0f}},
                               ArcPoints(0.36f, 0.27f, 0.28f, 0.27f, 0, 180, kArcSteps)),
                          {{0.36f, 0.54f}, {0.0f, 0.54f}}),
                     {{0.3f, 0.54f}, {0.66f, 1}}}};
        case 'S':
            return {0.64f,
                    {Join(ArcPoints(0.32f, 0.26f, 0.3f, 0.26f, 72, -180, kArcSteps * 2),
                          ArcPoints(0.32f, 0.76f, 0.32f, 0.24f, 0, 252, kArcSteps * 2))}};
        case 'T':
            return {0.7f, {{{0, 0}, {0.7f, 0}}, {{0.35f, 0}, {0.35f, 1}}}};
        case 'V':
            return {0.8f, {{{0, 0}, {0.4f, 1}, {0.8f, 0}}}};
        case 'Y':
            return {0.76f, {{{0, 0}, {0.38f, 0.5f}, {0.76f, 0}}, {{0.38f, 0.5f}, {0.38f, 1}}}};
        default:
            return {kSpaceWidth, {}};
    }
}

}  // namespace

Strokes LetterStrokes(char letter, float x, float y, float height, float& advance) {
    Letter l = Design(letter);
    advance = l.width * height;
    for (auto& line : l.strokes) {
        for (Vec& p : line) p = {x + p.x * height, y + p.y * height};
    }
    return l.strokes;
}

float TextWidth(const std::string& text, float height, float gap) {
    float w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        float adv = 0;
        LetterStrokes(text[i], 0, 0, height, adv);
        w += adv + (i + 1 < text.size() ? gap * height : 0);
    }
    return w;
}

Strokes TextStrokes(const std::string& text, float x, float y, float height, float gap) {
    Strokes all;
    for (char c : text) {
        float adv = 0;
        Strokes s = LetterStrokes(c, x, y, height, adv);
        all.insert(all.end(), s.begin(), s.end());
        x += adv + gap * height;
    }
    return all;
}

Inside StrokesShape(const Strokes& strokes, float radius) {
    std::vector<Inside> parts;
    for (const auto& line : strokes) parts.push_back(Polyline(line, radius));
    return Union(std::move(parts));
}

}  // namespace gen
