// The display and the draw state: back-end choice, opening and closing the display, the virtual
// resolution, colour/alpha/blend/rotation/scale, and rectangles and lines turned into display-pixel
// quads for the renderer. Images draw in images.cpp and text in fonts.cpp through DrawLocalRect.
#include <algorithm>
#include <cmath>

#include "platform/draw_internal.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace plat {

namespace {

enum class Backend { kOpenGL, kSdlRenderer, kSoftware };

// The open display. Written by OpenDisplay/CloseDisplay and SetVirtualResolution; the back-end
// choice persists across displays.
struct DisplayRecord {
    Backend chosen = Backend::kOpenGL;
    std::unique_ptr<Renderer> renderer;  // non-null exactly while a display is open
    int width = 0;                       // back buffer, pixels
    int height = 0;
    int virtualWidth = 0;  // 0 until SetVirtualResolution: virtual units are pixels
    int virtualHeight = 0;
    std::string error;  // why the last OpenDisplay failed
    std::vector<std::string> fallbackNotes;  // back ends the last OpenDisplay passed over, and why
};
DisplayRecord gDisplay;

// The current draw state. Written by the SetDraw* calls; lives for the whole run.
struct DrawStateRecord {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    int blend = kBlendAlpha;
    float rotation = 0.0f;        // degrees, clockwise
    float cosine = 1.0f, sine = 0.0f;  // of the rotation
    float scaleX = 1.0f, scaleY = 1.0f;
};
DrawStateRecord gDraw;

// Whole quarter turns get exact values, so unrotated and right-angled quads stay axis-aligned.
void TurnFor(float degrees, float& cosine, float& sine) {
    const double turned = std::fmod(double(degrees), 360.0);
    const double d = turned < 0 ? turned + 360.0 : turned;
    if (d == 0.0) {
        cosine = 1, sine = 0;
    } else if (d == 90.0) {
        cosine = 0, sine = 1;
    } else if (d == 180.0) {
        cosine = -1, sine = 0;
    } else if (d == 270.0) {
        cosine = 0, sine = -1;
    } else if (std::isfinite(d)) {
        const double radians = d * 3.14159265358979323846 / 180.0;
        cosine = float(std::cos(radians));
        sine = float(std::sin(radians));
    } else {
        cosine = 1, sine = 0;
    }
}

QuadPaint CurrentPaint() {
    QuadPaint paint;
    paint.r = uint8_t(gDraw.r);
    paint.g = uint8_t(gDraw.g);
    paint.b = uint8_t(gDraw.b);
    paint.alpha = gDraw.alpha;
    paint.blend = gDraw.blend;
    return paint;
}

// A local point (virtual units about the pivot) to display pixels, under scale then rotation.
void LocalToDisplay(float pivotX, float pivotY, float lx, float ly, float& dx, float& dy) {
    const float x = lx * gDraw.scaleX, y = ly * gDraw.scaleY;
    VirtualToDisplay(pivotX + x * gDraw.cosine - y * gDraw.sine,
                     pivotY + x * gDraw.sine + y * gDraw.cosine, dx, dy);
}

Backend NextBackend(Backend backend) {
    return backend == Backend::kOpenGL ? Backend::kSdlRenderer : Backend::kSoftware;
}

std::unique_ptr<Renderer> MakeRenderer(Backend backend) {
    switch (backend) {
        case Backend::kOpenGL: return MakeOpenGLRenderer();
        case Backend::kSdlRenderer: return MakeSdlRenderer();
        default: return MakeSoftwareRenderer();
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Mapping and shared helpers
// ---------------------------------------------------------------------------------------------

float DisplayScaleX() {
    if (!gDisplay.renderer || gDisplay.virtualWidth <= 0) return 1.0f;
    return float(gDisplay.width) / float(gDisplay.virtualWidth);
}

float DisplayScaleY() {
    if (!gDisplay.renderer || gDisplay.virtualHeight <= 0) return 1.0f;
    return float(gDisplay.height) / float(gDisplay.virtualHeight);
}

void VirtualToDisplay(float vx, float vy, float& dx, float& dy) {
    dx = vx * DisplayScaleX();
    dy = vy * DisplayScaleY();
}

void DisplayToVirtual(float dx, float dy, float& vx, float& vy) {
    vx = dx / DisplayScaleX();
    vy = dy / DisplayScaleY();
}

Renderer* ActiveRenderer() { return gDisplay.renderer.get(); }

void CurrentTurn(float& cosine, float& sine) {
    cosine = gDraw.cosine;
    sine = gDraw.sine;
}

void DrawLocalRect(int texture, const TexelRect& texels, bool filtered, float pivotX, float pivotY,
                   float localX, float localY, float localWidth, float localHeight) {
    Renderer* renderer = ActiveRenderer();
    if (!renderer) return;
    QuadVertex corners[4];
    const float xs[4] = {localX, localX + localWidth, localX + localWidth, localX};
    const float ys[4] = {localY, localY, localY + localHeight, localY + localHeight};
    const float us[4] = {texels.x, texels.x + texels.width, texels.x + texels.width, texels.x};
    const float vs[4] = {texels.y, texels.y, texels.y + texels.height, texels.y + texels.height};
    for (int i = 0; i < 4; ++i) {
        LocalToDisplay(pivotX, pivotY, xs[i], ys[i], corners[i].x, corners[i].y);
        corners[i].u = us[i];
        corners[i].v = vs[i];
    }
    QuadPaint paint = CurrentPaint();
    paint.filtered = filtered;
    if (texture) {
        renderer->DrawTexturedQuad(texture, corners, paint);
    } else {
        renderer->DrawSolidQuad(corners, paint);
    }
}

}  // namespace plat

using plat::gDisplay;
using plat::gDraw;

// ---------------------------------------------------------------------------------------------
// Display
// ---------------------------------------------------------------------------------------------

void SelectOpenGLBackend() { gDisplay.chosen = plat::Backend::kOpenGL; }
void SelectDirect3D9Backend() { gDisplay.chosen = plat::Backend::kSdlRenderer; }
void SelectDirect3D7Backend() { gDisplay.chosen = plat::Backend::kSoftware; }

int CountDisplayModes() { return int(plat::CurrentHost().DisplayModes().size()); }

DisplayMode GetDisplayMode(int index) {
    const std::vector<DisplayMode> modes = plat::CurrentHost().DisplayModes();
    if (index < 0 || size_t(index) >= modes.size()) return DisplayMode{};
    return modes[size_t(index)];
}

bool DisplayModeExists(int width, int height, int depth, int refresh) {
    for (const DisplayMode& m : plat::CurrentHost().DisplayModes()) {
        if (m.width == width && m.height == height && m.depth == depth &&
            (refresh == 0 || m.refresh == refresh)) {
            return true;
        }
    }
    return false;
}

bool OpenDisplay(int width, int height, int depth, int refresh) {
    CloseDisplay();
    gDisplay.error.clear();
    gDisplay.fallbackNotes.clear();
    if (width <= 0 || height <= 0) {
        gDisplay.error = "Invalid display size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    plat::Host& host = plat::CurrentHost();
    // A back end that cannot start here hands over to the next: OpenGL, SDL_Renderer, software.
    for (plat::Backend backend = gDisplay.chosen;; backend = plat::NextBackend(backend)) {
        std::unique_ptr<plat::Renderer> renderer = plat::MakeRenderer(backend);
        const std::string name = renderer->Name();
        SDL_Window* window = nullptr;
        std::string error;
        if (host.OpenWindow(width, height, depth != 0, name == "OpenGL", &window, error)) {
            // Without a window (the headless twin) only the software renderer can draw.
            if (!window && name != "Software") renderer = plat::MakeSoftwareRenderer();
            if (renderer->Open(window, width, height)) {
                gDisplay.renderer = std::move(renderer);
                break;
            }
            error = renderer->Error().empty() ? "the renderer could not start" : renderer->Error();
            host.CloseWindow();
        } else if (error.empty()) {
            error = "no window could be opened";
        }
        if (backend == plat::Backend::kSoftware) {
            gDisplay.error = error;
            return false;
        }
        const plat::Backend next = plat::NextBackend(backend);
        gDisplay.fallbackNotes.push_back(name + " could not start (" + error + "), trying " +
                                         plat::MakeRenderer(next)->Name());
    }
    gDisplay.width = width;
    gDisplay.height = height;
    // A new display draws in its own pixels until the program sets a virtual resolution.
    gDisplay.virtualWidth = 0;
    gDisplay.virtualHeight = 0;
    gDisplay.renderer->Clear();
    return true;
}

void CloseDisplay() {
    if (!gDisplay.renderer) return;
    plat::FreeAllImages();
    plat::FreeAllFonts();
    gDisplay.renderer->Close();
    gDisplay.renderer.reset();
    gDisplay.width = gDisplay.height = 0;
    plat::CurrentHost().CloseWindow();
}

bool DisplayIsOpen() { return gDisplay.renderer != nullptr; }
std::string LastPlatformError() { return gDisplay.error; }
std::vector<std::string> DisplayFallbackNotes() { return gDisplay.fallbackNotes; }
std::string ActiveBackendName() { return gDisplay.renderer ? gDisplay.renderer->Name() : ""; }

void FlushDrawing() {
    if (gDisplay.renderer) gDisplay.renderer->Flush();
}

void Present(int mode) {
    if (gDisplay.renderer) gDisplay.renderer->Present(mode == -1);
    plat::CurrentHost().AfterPresent();
}

void ClearScreen() {
    if (gDisplay.renderer) gDisplay.renderer->Clear();
}

void SetVirtualResolution(int width, int height) {
    if (width <= 0 || height <= 0) return;
    gDisplay.virtualWidth = width;
    gDisplay.virtualHeight = height;
}

int DisplayPixelWidth() { return gDisplay.width; }
int DisplayPixelHeight() { return gDisplay.height; }

// ---------------------------------------------------------------------------------------------
// Draw state
// ---------------------------------------------------------------------------------------------

void SetDrawColor(int r, int g, int b) {
    gDraw.r = std::clamp(r, 0, 255);
    gDraw.g = std::clamp(g, 0, 255);
    gDraw.b = std::clamp(b, 0, 255);
}

void SetDrawAlpha(float alpha) {
    // NaN compares false both ways and would slip through clamp: treat it as invisible.
    gDraw.alpha = std::isnan(alpha) ? 0.0f : std::clamp(alpha, 0.0f, 1.0f);
}

void SetDrawBlend(int mode) {
    if (mode >= kBlendMasked && mode <= kBlendShade) gDraw.blend = mode;
}

void SetDrawRotation(float degrees) {
    gDraw.rotation = degrees;
    plat::TurnFor(degrees, gDraw.cosine, gDraw.sine);
}

void SetDrawScale(float sx, float sy) {
    gDraw.scaleX = sx;
    gDraw.scaleY = sy;
}

float GetDrawAlpha() { return gDraw.alpha; }
int GetDrawBlend() { return gDraw.blend; }
float GetDrawRotation() { return gDraw.rotation; }

void GetDrawScale(float& sx, float& sy) {
    sx = gDraw.scaleX;
    sy = gDraw.scaleY;
}

void GetDrawColor(int& r, int& g, int& b) {
    r = gDraw.r;
    g = gDraw.g;
    b = gDraw.b;
}

// ---------------------------------------------------------------------------------------------
// Rectangles and lines
// ---------------------------------------------------------------------------------------------

void DrawFilledRect(float x, float y, float width, float height) {
    plat::DrawLocalRect(0, plat::TexelRect{}, false, x, y, 0, 0, width, height);
}

void DrawLineSegment(float x1, float y1, float x2, float y2) {
    plat::Renderer* renderer = plat::ActiveRenderer();
    if (!renderer) return;
    float ax, ay, bx, by;
    plat::LocalToDisplay(x1, y1, 0, 0, ax, ay);
    plat::LocalToDisplay(x1, y1, x2 - x1, y2 - y1, bx, by);
    // One virtual unit thick but never thinner than a display pixel, centred on the pixel centres
    // the end points name and reaching half the thickness past both ends, so a horizontal or
    // vertical line covers exactly the pixel rows or columns it runs through, ends included.
    const float thickness = std::max(1.0f, 0.5f * (plat::DisplayScaleX() + plat::DisplayScaleY()));
    const float half = 0.5f * thickness;
    ax += 0.5f, ay += 0.5f, bx += 0.5f, by += 0.5f;
    float dx = bx - ax, dy = by - ay;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0 && std::isfinite(length)) {
        dx = dx / length * half;
        dy = dy / length * half;
    } else {
        dx = half, dy = 0;  // a point: a square dot
    }
    const float nx = -dy, ny = dx;  // the side step, half the thickness long
    plat::QuadVertex corners[4] = {
        {ax - dx - nx, ay - dy - ny, 0, 0},
        {bx + dx - nx, by + dy - ny, 0, 0},
        {bx + dx + nx, by + dy + ny, 0, 0},
        {ax - dx + nx, ay - dy + ny, 0, 0},
    };
    renderer->DrawSolidQuad(corners, plat::CurrentPaint());
}
