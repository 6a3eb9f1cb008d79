// The software renderer's rasteriser: fills one convex quad of a back buffer, solid or textured,
// with the five blend modes of platform.h. Pure CPU code on caller-owned pixels, no SDL.
#pragma once

#include <cstdint>

#include "platform/renderer.h"

namespace soft {

// Pixels the rasteriser writes: 0xAARRGGBB, `pitch` pixels from one row to the next.
struct Surface {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

struct TextureView {
    const uint32_t* pixels = nullptr;  // 0xAARRGGBB, rows of `width`
    int width = 0;
    int height = 0;
};

// Fills the quad whose corners are given in order (either winding). Coverage follows pixel centres
// and the top-left rule, so quads sharing an edge leave neither gaps nor doubly drawn pixels.
// Texture coordinates map affinely from corners 0, 1 and 3 (our quads are parallelograms) and are
// clamped to the texel rectangle the corners span, so a frame never bleeds into its neighbour.
// `texture` null draws the paint's colour.
// Only rows bandBegin <= y < bandEnd are touched, so disjoint bands can be filled at once.
void FillQuad(const Surface& target, const plat::QuadVertex corners[4], const plat::QuadPaint& paint,
              const TextureView* texture, int bandBegin = 0, int bandEnd = 1 << 30);

}  // namespace soft
