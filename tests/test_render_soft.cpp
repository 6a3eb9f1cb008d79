// The software renderer and the draw state on top of it: blend arithmetic, coverage rules,
// sampling, and where rectangles, lines and image frames land under rotation, scale, handle and
// virtual resolution.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "draw_fixture.h"
#include "platform/draw_internal.h"
#include "platform/renderer.h"

namespace {

using plat::QuadPaint;
using plat::QuadVertex;

// A renderer of its own, with no window, for tests of the quad interface itself.
struct RendererFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(renderer->Open(nullptr, kSize, kSize)); }

    uint32_t Pixel(int x, int y) {
        uint32_t c = 0;
        renderer->ReadPixels(x, y, 1, 1, &c);
        return c;
    }

    void Fill(float x0, float y0, float x1, float y1, const QuadPaint& paint) {
        const QuadVertex corners[4] = {{x0, y0, 0, 0}, {x1, y0, 0, 0}, {x1, y1, 0, 0}, {x0, y1, 0, 0}};
        renderer->DrawSolidQuad(corners, paint);
    }

    static constexpr int kSize = 32;
    std::unique_ptr<plat::Renderer> renderer = plat::MakeSoftwareRenderer();
};

struct BlendCase {
    int blend;
    float alpha;
    int r, g, b;  // expected over destination (100, 150, 200) with source (200, 100, 50)
};

TEST_F(RendererFixture, BlendModesCombineKnownColours) {
    const BlendCase cases[] = {
        {kBlendMasked, 0.5f, 200, 100, 50},   // at the threshold: kept, unblended
        {kBlendMasked, 0.45f, 100, 150, 200}, // below it: discarded
        {kBlendSolid, 0.25f, 200, 100, 50},   // alpha plays no part
        {kBlendAlpha, 0.5f, 150, 125, 125},
        {kBlendAlpha, 0.0f, 100, 150, 200},
        {kBlendLight, 0.5f, 200, 200, 225},
        {kBlendLight, 1.0f, 255, 250, 250},   // saturates instead of wrapping
        {kBlendShade, 0.3f, 78, 59, 39},      // 100*200/255, 150*100/255, 200*50/255
    };
    for (const BlendCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "blend " << c.blend << " alpha " << c.alpha);
        renderer->Clear();
        QuadPaint base;
        base.r = 100, base.g = 150, base.b = 200, base.blend = kBlendSolid;
        Fill(0, 0, kSize, kSize, base);
        QuadPaint paint;
        paint.r = 200, paint.g = 100, paint.b = 50, paint.alpha = c.alpha, paint.blend = c.blend;
        Fill(4, 4, 8, 8, paint);
        const uint32_t got = Pixel(5, 5);
        EXPECT_NEAR(Red(got), c.r, 1);
        EXPECT_NEAR(Green(got), c.g, 1);
        EXPECT_NEAR(Blue(got), c.b, 1);
        EXPECT_EQ(got >> 24, 0xFFu);
        EXPECT_EQ(Pixel(9, 9), Argb(255, 100, 150, 200));  // outside the quad: untouched
    }
}

TEST_F(RendererFixture, TextureTexelsAreTintedAndCarryTheirAlpha) {
    // Texel: white at half alpha; tint (255, 128, 0) at paint alpha 1 over black.
    const uint32_t texel = Argb(128, 255, 255, 255);
    const int texture = renderer->CreateTexture(&texel, 1, 1, false);
    ASSERT_NE(texture, 0);
    renderer->Clear();
    QuadPaint paint;
    paint.r = 255, paint.g = 128, paint.b = 0;
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {4, 0, 1, 0}, {4, 4, 1, 1}, {0, 4, 0, 1}};
    renderer->DrawTexturedQuad(texture, corners, paint);
    const uint32_t got = Pixel(1, 1);
    EXPECT_NEAR(Red(got), 128, 1);
    EXPECT_NEAR(Green(got), 64, 1);
    EXPECT_EQ(Blue(got), 0);
}

// Quads cut from one lattice, turned by an odd angle, added with light blending: every pixel
// inside must be hit exactly once, with no gaps along the shared edges and no double hits.
TEST_F(RendererFixture, QuadsSharingEdgesCoverEachPixelOnce) {
    constexpr int kCells = 4;
    constexpr float kCell = 5.3f;
    const float c = std::cos(0.37f), s = std::sin(0.37f);
    auto point = [&](int i, int j, float& x, float& y) {
        const float lx = float(i) * kCell, ly = float(j) * kCell;
        x = 16 + (lx - 10.6f) * c - (ly - 10.6f) * s;
        y = 16 + (lx - 10.6f) * s + (ly - 10.6f) * c;
    };
    renderer->Clear();
    QuadPaint paint;
    paint.r = paint.g = paint.b = 60;
    paint.blend = kBlendLight;
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            QuadVertex q[4] = {};
            point(i, j, q[0].x, q[0].y);
            point(i + 1, j, q[1].x, q[1].y);
            point(i + 1, j + 1, q[2].x, q[2].y);
            point(i, j + 1, q[3].x, q[3].y);
            if ((i + j) % 2) std::swap(q[1], q[3]);  // the other winding must follow the same rule
            renderer->DrawSolidQuad(q, paint);
        }
    }
    int hitOnce = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int v = Red(Pixel(x, y));
            ASSERT_TRUE(v == 0 || v == 60) << "pixel " << x << "," << y << " = " << v;
            hitOnce += v == 60;
        }
    }
    // The lattice covers (4 * 5.3)^2 = 449.4 square pixels.
    EXPECT_NEAR(hitOnce, 449, 12);
    // Its middle, far from the outer border, has no holes.
    for (int y = 12; y < 20; ++y)
        for (int x = 12; x < 20; ++x) EXPECT_EQ(Red(Pixel(x, y)), 60) << x << "," << y;
}

TEST_F(RendererFixture, PixelCentresDecideCoverage) {
    QuadPaint paint;
    paint.blend = kBlendSolid;
    renderer->Clear();
    Fill(2.5f, 2.5f, 5.5f, 3.5f, paint);  // centres 2.5, 3.5, 4.5 on x; 2.5 on y
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(Red(Pixel(x, 2)), (x >= 2 && x <= 4) ? 255 : 0) << x;
        EXPECT_EQ(Red(Pixel(x, 3)), 0) << x;
    }
    renderer->Clear();
    Fill(10.6f, 10.6f, 11.4f, 11.4f, paint);  // covers no pixel centre: draws nothing
    EXPECT_EQ(Red(Pixel(10, 10)), 0);
    EXPECT_EQ(Red(Pixel(11, 11)), 0);
}

TEST_F(RendererFixture, FarAwayAndDegenerateQuadsAreHarmless) {
    QuadPaint paint;
    renderer->Clear();
    Fill(-1e9f, -1e9f, 1e9f, 1e9f, paint);
    Fill(5, 5, 5, 20, paint);  // no area
    const float nan = std::nanf("");
    Fill(nan, 0, 10, 10, paint);
    Fill(-50, -50, -10, -10, paint);  // wholly off screen
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) ASSERT_EQ(Pixel(x, y), 0xFF000000u);
    // A stale texture draws nothing either.
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {4, 0, 1, 0}, {4, 4, 1, 1}, {0, 4, 0, 1}};
    renderer->DrawTexturedQuad(99, corners, paint);
    EXPECT_EQ(Pixel(1, 1), 0xFF000000u);
}

TEST_F(RendererFixture, NearestKeepsTexelsBilinearBlendsThem) {
    const uint32_t texels[2] = {Argb(255, 0, 0, 0), Argb(255, 255, 255, 255)};
    const int texture = renderer->CreateTexture(texels, 2, 1, false);
    const QuadVertex corners[4] = {{0, 0, 0, 0}, {16, 0, 2, 0}, {16, 1, 2, 1}, {0, 1, 0, 1}};
    QuadPaint paint;
    paint.blend = kBlendSolid;
    renderer->Clear();
    renderer->DrawTexturedQuad(texture, corners, paint);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(Red(Pixel(x, 0)), x < 8 ? 0 : 255) << x;

    paint.filtered = true;
    renderer->DrawTexturedQuad(texture, corners, paint);
    int previous = -1, between = 0;
    for (int x = 0; x < 16; ++x) {
        const int v = Red(Pixel(x, 0));
        EXPECT_GE(v, previous) << x;  // a ramp from black to white
        previous = v;
        between += v > 10 && v < 245;
    }
    EXPECT_EQ(Red(Pixel(0, 0)), 0);   // clamped at the edges, not wrapped
    EXPECT_EQ(Red(Pixel(15, 0)), 255);
    EXPECT_GE(between, 4);
}

// Presenting into a real SDL window (the display-less "dummy" driver, whose window surface is
// memory): same-size windows get the picture as is, larger ones get it scaled and letterboxed.
TEST(SoftPresent, WindowShowsTheBackBufferFittedIntoIt) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const bool videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    // The driver choice is made; leave the environment as the other tests expect it.
    if (previous) {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    if (!videoUp) GTEST_SKIP() << SDL_GetError();

    struct Case {
        int windowW, windowH;
        struct Probe {
            int x, y;
            uint8_t r, g;
        } probes[4];
    } cases[] = {
        // Back buffer 50 x 40: left half red, right half green.
        {50, 40, {{0, 0, 255, 0}, {24, 39, 255, 0}, {25, 0, 0, 255}, {49, 20, 0, 255}}},
        // 100 x 60: scaled 1.5 into a 75 x 60 box from x = 12; bars left and right.
        {100, 60, {{5, 30, 0, 0}, {20, 30, 255, 0}, {80, 30, 0, 255}, {95, 30, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowW << "x" << c.windowH);
        SDL_Window* window = SDL_CreateWindow("present", 0, 0, c.windowW, c.windowH, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        auto renderer = plat::MakeSoftwareRenderer();
        ASSERT_TRUE(renderer->Open(window, 50, 40)) << renderer->Error();
        QuadPaint paint;
        paint.blend = kBlendSolid;
        paint.r = 255, paint.g = 0, paint.b = 0;
        const QuadVertex left[4] = {{0, 0, 0, 0}, {25, 0, 0, 0}, {25, 40, 0, 0}, {0, 40, 0, 0}};
        renderer->DrawSolidQuad(left, paint);
        paint.r = 0, paint.g = 255;
        const QuadVertex right[4] = {{25, 0, 0, 0}, {50, 0, 0, 0}, {50, 40, 0, 0}, {25, 40, 0, 0}};
        renderer->DrawSolidQuad(right, paint);
        renderer->Present(false);
        SDL_Surface* screen = SDL_GetWindowSurface(window);
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->format->BytesPerPixel, 4);
        for (const auto& probe : c.probes) {
            const uint32_t raw = static_cast<const uint32_t*>(
                screen->pixels)[probe.y * (screen->pitch / 4) + probe.x];
            uint8_t r, g, b;
            SDL_GetRGB(raw, screen->format, &r, &g, &b);
            EXPECT_EQ(r, probe.r) << probe.x << "," << probe.y;
            EXPECT_EQ(g, probe.g) << probe.x << "," << probe.y;
        }
        renderer->Close();
        SDL_DestroyWindow(window);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// ---------------------------------------------------------------------------------------------
// Through the public drawing calls
// ---------------------------------------------------------------------------------------------

using DrawState = DrawFixture;

TEST_F(DrawState, SettersClampAndIgnoreWhatTheyMust) {
    SetDrawAlpha(1.5f);
    EXPECT_EQ(GetDrawAlpha(), 1.0f);
    SetDrawAlpha(-0.5f);
    EXPECT_EQ(GetDrawAlpha(), 0.0f);
    SetDrawAlpha(std::nanf(""));
    EXPECT_EQ(GetDrawAlpha(), 0.0f);
    SetDrawBlend(kBlendShade);
    for (int ignored : {0, 6, -1}) {
        SetDrawBlend(ignored);
        EXPECT_EQ(GetDrawBlend(), kBlendShade);
    }
    SetDrawColor(300, -5, 128);
    int r, g, b;
    GetDrawColor(r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 128);
    SetDrawRotation(-45);
    EXPECT_EQ(GetDrawRotation(), -45.0f);
    SetDrawScale(2, 1.5f);
    float sx, sy;
    GetDrawScale(sx, sy);
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, 1.5f);
}

TEST_F(DrawState, RectanglesAndLinesTurnAndScaleAboutTheirFirstPoint) {
    struct Case {
        const char* what;
        float rotation, scale;
        bool line;
        int left, top, right, bottom;  // lit box, inclusive
    } cases[] = {
        {"rect", 0, 1, false, 10, 20, 14, 21},
        {"rect turned 90", 90, 1, false, 8, 20, 9, 24},    // width runs down, height runs left
        {"rect turned 180", 180, 1, false, 5, 18, 9, 19},
        {"rect scaled", 0, 2, false, 10, 20, 19, 23},
        {"line", 0, 1, true, 10, 20, 15, 20},              // both ends lit
        {"line turned 90", 90, 1, true, 10, 20, 10, 25},
        {"line scaled", 0, 2, true, 10, 20, 20, 20},       // reaches twice as far, as thin
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearScreen();
        SetDrawRotation(c.rotation);
        SetDrawScale(c.scale, c.scale);
        if (c.line) {
            DrawLineSegment(10, 20, 15, 20);
        } else {
            DrawFilledRect(10, 20, 5, 2);
        }
        int l, t, r, b;
        ASSERT_TRUE(LitBox(l, t, r, b));
        EXPECT_EQ(l, c.left);
        EXPECT_EQ(t, c.top);
        EXPECT_EQ(r, c.right);
        EXPECT_EQ(b, c.bottom);
        EXPECT_EQ(LitPixels(), (r - l + 1) * (b - t + 1));  // a solid block, no holes
    }
}

TEST_F(DrawState, VirtualResolutionScalesEachAxis) {
    SetVirtualResolution(kWidth * 2, kHeight / 2);  // x halved, y doubled on the display
    DrawFilledRect(20, 5, 20, 5);
    int l, t, r, b;
    ASSERT_TRUE(LitBox(l, t, r, b));
    EXPECT_EQ(l, 10);
    EXPECT_EQ(r, 19);
    EXPECT_EQ(t, 10);
    EXPECT_EQ(b, 19);
    float dx, dy, vx, vy;
    plat::VirtualToDisplay(20, 5, dx, dy);
    EXPECT_FLOAT_EQ(dx, 10);
    EXPECT_FLOAT_EQ(dy, 10);
    plat::DisplayToVirtual(dx, dy, vx, vy);
    EXPECT_FLOAT_EQ(vx, 20);
    EXPECT_FLOAT_EQ(vy, 5);
    SetVirtualResolution(0, 100);  // refused: the mapping stays
    plat::VirtualToDisplay(20, 5, dx, dy);
    EXPECT_FLOAT_EQ(dx, 10);
}

TEST_F(DrawState, ImageFramesLandByHandleRotationAndScale) {
    // A 2 x 2 image, each texel its own colour: red, green / blue, white.
    const Pixels texels = [] {
        Pixels p = Filled(2, 2, 0);
        p.argb = {Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255),
                  Argb(255, 255, 255, 255)};
        return p;
    }();
    const std::string file = WritePng("quad.png", texels);
    const int topLeft = LoadImageFile(file, 0);
    SetAutoCentreHandle(true);
    const int centred = LoadImageFile(file, 0);
    ASSERT_NE(topLeft, 0);
    ASSERT_NE(centred, 0);
    struct Case {
        const char* what;
        int image;
        float rotation, scale;
        int x, y;        // a display pixel
        uint32_t colour;
    } cases[] = {
        {"top-left handle", topLeft, 0, 1, 10, 10, texels.argb[0]},
        {"top-left handle, far texel", topLeft, 0, 1, 11, 11, texels.argb[3]},
        {"centre handle", centred, 0, 1, 9, 9, texels.argb[0]},
        {"centre handle, far texel", centred, 0, 1, 10, 10, texels.argb[3]},
        {"turned 90: top row runs down", topLeft, 90, 1, 9, 11, texels.argb[1]},
        {"turned 90: left column runs left", topLeft, 90, 1, 8, 10, texels.argb[2]},
        {"scaled 3", topLeft, 0, 3, 15, 15, texels.argb[3]},
        {"scaled 3, first texel's far pixel", topLeft, 0, 3, 12, 12, texels.argb[0]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearScreen();
        SetDrawRotation(c.rotation);
        SetDrawScale(c.scale, c.scale);
        DrawImageFrame(c.image, 10, 10, 0);
        EXPECT_EQ(At(c.x, c.y), c.colour);
        EXPECT_EQ(LitPixels(), int(4 * c.scale * c.scale));
    }
    ClearScreen();
    DrawImageFrame(topLeft, 10, 10, 1);  // no such frame
    DrawImageFrame(0, 10, 10, 0);
    DrawImageFrame(12345, 10, 10, 0);
    EXPECT_EQ(LitPixels(), 0);
}

TEST_F(DrawState, PresentKeepsTheHeadlessFrameAndRunsTheHook) {
    int hooked = 0;
    headless::SetPresentHook([&](int) { hooked = At(3, 3) != 0xFF000000u ? 1 : -1; });
    DrawFilledRect(0, 0, 8, 8);
    Present(0);
    EXPECT_EQ(hooked, 1);  // the hook saw the finished frame
    EXPECT_EQ(At(3, 3), 0xFFFFFFFFu);
    Present(-1);
    EXPECT_EQ(headless::PresentCount(), 2);
    ClearScreen();
    EXPECT_EQ(At(3, 3), 0xFF000000u);
    headless::SetPresentHook(nullptr);
}

TEST_F(DrawState, DisplayOwnsItsImagesAndReportsItsBackEnd) {
    const int image = CreateBlankImage(4, 4, 2, 0);
    ASSERT_NE(image, 0);
    EXPECT_EQ(ImageFrameCount(image), 2);
    EXPECT_EQ(ActiveBackendName(), "Software");
    EXPECT_EQ(DisplayPixelWidth(), kWidth);
    CloseDisplay();
    EXPECT_FALSE(DisplayIsOpen());
    EXPECT_EQ(ActiveBackendName(), "");
    EXPECT_EQ(ImageWidth(image), 0);
    EXPECT_EQ(CreateBlankImage(4, 4, 1, 0), 0);  // no display, no images
    DrawFilledRect(0, 0, 10, 10);                 // and drawing is a no-op
    Present(0);

    for (auto select : {&SelectOpenGLBackend, &SelectDirect3D9Backend, &SelectDirect3D7Backend}) {
        select();
        ASSERT_TRUE(OpenDisplay(32, 24, 0, 60));
        EXPECT_FALSE(ActiveBackendName().empty());
        EXPECT_EQ(DisplayPixelHeight(), 24);
        CloseDisplay();
    }
    EXPECT_EQ(ImageWidth(image), 0);  // a stale id stays stale on the next display

    headless::SetOpenWindowFails(true);
    EXPECT_FALSE(OpenDisplay(32, 24, 0, 60));
    EXPECT_FALSE(LastPlatformError().empty());
    EXPECT_FALSE(DisplayIsOpen());
    headless::SetOpenWindowFails(false);
    EXPECT_FALSE(OpenDisplay(0, 24, 0, 60));
    EXPECT_FALSE(LastPlatformError().empty());
}

TEST_F(DrawState, DisplayModesComeFromTheHost) {
    headless::SetDisplayModes({{800, 600, 32, 60}, {640, 480, 16, 75}});
    EXPECT_EQ(CountDisplayModes(), 2);
    EXPECT_EQ(GetDisplayMode(1).refresh, 75);
    EXPECT_EQ(GetDisplayMode(2).width, 0);
    EXPECT_EQ(GetDisplayMode(-1).width, 0);
    EXPECT_TRUE(DisplayModeExists(800, 600, 32, 0));
    EXPECT_TRUE(DisplayModeExists(640, 480, 16, 75));
    EXPECT_FALSE(DisplayModeExists(640, 480, 16, 60));
    EXPECT_FALSE(DisplayModeExists(800, 600, 24, 0));
}

}  // namespace
