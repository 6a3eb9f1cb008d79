// The drawing back-end interface inside the platform layer. platform/draw.cpp turns the public
// draw calls (state, virtual resolution, image frames, glyphs) into display-pixel quads, so a
// back end only has to fill quads, hold textures, read pixels back and present.
// Implementations: render_soft (the reference), render_gl, render_sdl.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;

namespace plat {

// A corner of a quad in display pixels, with texture coordinates in texels of the texture.
struct QuadVertex {
    float x, y;
    float u, v;
};

struct QuadPaint {
    uint8_t r = 255, g = 255, b = 255;  // tint
    float alpha = 1.0f;                  // 0..1
    int blend = 3;                       // kBlendMasked .. kBlendShade of platform.h
    bool filtered = false;               // bilinear sampling
};

class Renderer {
public:
    virtual ~Renderer() = default;
    virtual const char* Name() const = 0;

    // Starts drawing into `window` (null on the headless twin, which only the software renderer
    // serves) with a back buffer of width x height pixels. False, with the reason in Error(),
    // when this back end cannot start here.
    virtual bool Open(SDL_Window* window, int width, int height) = 0;
    virtual void Close() = 0;
    virtual std::string Error() const { return {}; }

    // Textures hold 0xAARRGGBB pixels, row by row. Ids start at 1.
    virtual int CreateTexture(const uint32_t* argb, int width, int height, bool mipmapped) = 0;
    virtual void UpdateTexture(int texture, int x, int y, int width, int height,
                               const uint32_t* argb, int pitchPixels) = 0;
    virtual void DestroyTexture(int texture) = 0;

    virtual void Clear() = 0;  // whole back buffer to opaque black
    // Corners in order top-left, top-right, bottom-right, bottom-left of the source rectangle.
    virtual void DrawTexturedQuad(int texture, const QuadVertex corners[4], const QuadPaint& paint) = 0;
    virtual void DrawSolidQuad(const QuadVertex corners[4], const QuadPaint& paint) = 0;

    // Back-buffer pixels of this frame as drawn so far, 0xAARRGGBB (alpha as stored).
    virtual void ReadPixels(int x, int y, int width, int height, uint32_t* out) = 0;
    // Hands the frame's drawing to the device so it can work while the program sleeps.
    virtual void Flush() {}
    // Shows the back buffer; its contents are undefined afterwards.
    virtual void Present(bool waitForVsync) = 0;
};

std::unique_ptr<Renderer> MakeSoftwareRenderer();
std::unique_ptr<Renderer> MakeOpenGLRenderer();
std::unique_ptr<Renderer> MakeSdlRenderer();

}  // namespace plat
