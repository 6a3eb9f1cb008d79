// The application icon: a plate caught in the head's beam on a night-blue tile. The design is in
// 0-256 units and scaled to each size, so the small sizes are the same picture, only coarser.
#include "app_icon.h"

#include <filesystem>
#include <string>
#include <vector>

#include "output.h"

namespace gen {
namespace {

constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
constexpr float kDesign = 256;

}  // namespace

Canvas DrawAppIcon(int size) {
    Canvas c = MakeCanvas(size, size);
    const float k = float(size) / kDesign;
    const float side = float(size);

    // The tile fills the whole icon less a small margin, so it sits well among other icons.
    Fill(c, 0, 0, side, side, RoundRect(8 * k, 8 * k, 240 * k, 240 * k, 44 * k),
         VerticalGradient(8 * k, Hex(0x2B3A8C), 248 * k, Hex(0x120C28)));

    // The head at the bottom left, the jittering beam zigzagging from it up to the plate.
    std::vector<Vec> beam;
    constexpr int kKinks = 6;
    for (int i = 0; i <= kKinks; ++i) {
        const float t = float(i) / kKinks;
        const float swing = (i == 0 || i == kKinks) ? 0.0f : (i % 2 ? 9.0f : -9.0f);
        // Offsets run across the beam, which climbs at 45 degrees.
        beam.push_back({(70 + 80 * t + swing * 0.7f) * k, (190 - 82 * t + swing * 0.7f) * k});
    }
    Glow(c, 0, 0, side, side, Polyline(beam, 14 * k), Flat(Hex(0x7FE0FF, 0.45f)));
    Fill(c, 0, 0, side, side, Polyline(beam, 4.5f * k), Hex(0xC8F4FF));
    Fill(c, 0, 0, side, side, Disc(62 * k, 198 * k, 30 * k),
         RadialGradient(54 * k, 188 * k, 34 * k, Hex(0xFFE7A8), Hex(0xE0902C)));

    // The plate, seen at a slant: a white rim around a sunken well, with a blue band.
    const float px = 160 * k, py = 96 * k;
    Fill(c, 0, 0, side, side, Ellipse(px, py + 6 * k, 76 * k, 48 * k), Hex(0x05030F, 0.45f));
    Fill(c, 0, 0, side, side, Ellipse(px, py, 76 * k, 46 * k),
         VerticalGradient(py - 46 * k, Hex(0xFFFFFF), py + 46 * k, Hex(0xC9D3E8)));
    Fill(c, 0, 0, side, side,
         Minus(Ellipse(px, py, 62 * k, 37 * k), Ellipse(px, py, 54 * k, 31 * k)), Hex(0x3F6FD8));
    Fill(c, 0, 0, side, side, Ellipse(px, py + 2 * k, 40 * k, 22 * k),
         VerticalGradient(py - 20 * k, Hex(0xDCE4F2), py + 24 * k, Hex(0xFFFFFF)));

    // Two sparkles where the beam meets the plate; too small to keep below 48 pixels.
    if (size >= 48) {
        Fill(c, 0, 0, side, side, Polygon(StarPoints(92 * k, 62 * k, 18 * k, 5 * k, 4, 0)),
             Hex(0xFFF6C8));
        Fill(c, 0, 0, side, side, Polygon(StarPoints(222 * k, 170 * k, 12 * k, 3.5f * k, 4, 0)),
             Hex(0xFFF6C8));
    }
    return c;
}

bool WriteAppIcons(const std::string& folder) {
    namespace fs = std::filesystem;
    bool ok = true;
    for (const int size : kIconSizes) {
        const std::string n = std::to_string(size);
        const fs::path dir = fs::path(folder) / "hicolor" / (n + "x" + n) / "apps";
        std::error_code err;
        fs::create_directories(dir, err);
        ok = WritePng((dir / "crockery-drift.png").string(), DrawAppIcon(size)) && ok;
    }
    return ok;
}

}  // namespace gen
