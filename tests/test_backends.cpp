// The OpenGL and SDL_Renderer back ends draw the same pictures as the software reference: one set
// of scenes covering every drawing operation is rendered by each and compared pixel by pixel,
// in a window and in full screen (where the back buffer is scaled into a larger window). Also the
// hand-over to the next back end when one cannot start. Needs a display: DISPLAY, or a private
// Xvfb started here; skips with the reason where neither can be had.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_host.h"
#include "xvfb_display.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// The images and font a scene draws with, loaded afresh for every display.
struct SceneAssets {
    int strip = 0;      // four 8x8 frames, unfiltered
    int filtered = 0;   // the 16x16 sheet, bilinear
    int mipmapped = 0;  // the same, mipmapped
    int blank = 0;      // 24x24, filled by GrabScreenToImage
    int font = 0;
};

struct Scene {
    const char* name;
    std::function<void(const SceneAssets&)> draw;
    double sdlFarShare = 0.01;  // share of far-off pixels allowed to SDL_Renderer
};

// A 16x16 sheet: colour ramps across, alpha from fully clear through the masked threshold to
// opaque down the rows, a clear corner and a solid border, so sampling and blending both show.
Pixels TestSheet() {
    Pixels p = Filled(16, 16, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int alpha = (y < 4 && x < 4) ? 0 : std::min(255, 40 + y * 16);
            const bool border = x == 0 || y == 15 || x == 15;
            WritePixelArgb(p, x, y, border ? Argb(255, 250, 250, 40) : Argb(alpha, x * 16, 255 - y * 12, (x * y) % 256));
        }
    }
    return p;
}

// Vertical bars of different colours under every scene, so blending has something to work on.
void Backdrop() {
    SetDrawBlend(kBlendSolid);
    for (int i = 0; i < 8; ++i) {
        SetDrawColor(30 * i, 200 - 20 * i, (90 * i) % 256);
        DrawFilledRect(float(i * 20), 0, 20, kHeight);
    }
    ResetDrawStateForTest();
}

const std::vector<Scene>& Scenes() {
    static const std::vector<Scene> scenes = {
        {"rectangles and lines",
         [](const SceneAssets&) {
             SetDrawColor(255, 40, 40);
             DrawFilledRect(10, 10, 50, 30);
             SetDrawRotation(30);
             SetDrawColor(40, 255, 90);
             DrawFilledRect(90, 20, 40, 20);
             SetDrawRotation(0);
             SetDrawAlpha(0.5f);
             SetDrawColor(255, 255, 255);
             DrawFilledRect(30, 60, 80, 40);
             SetDrawAlpha(1);
             DrawLineSegment(5, 110, 150, 110);
             DrawLineSegment(150, 5, 150, 100);
             DrawLineSegment(10, 50, 140, 90);
         }},
        {"each blend mode with tint and alpha",
         [](const SceneAssets& a) {
             for (int blend = kBlendMasked; blend <= kBlendShade; ++blend) {
                 SetDrawBlend(blend);
                 SetDrawColor(220, 160, 255);
                 SetDrawAlpha(0.75f);
                 SetDrawScale(3, 3);
                 DrawImageFrame(a.strip, float(4 + (blend - 1) * 30), 10, 3);
                 SetDrawAlpha(1);
                 SetDrawScale(1.5f, 1.5f);
                 DrawImageFrame(a.strip, float(4 + (blend - 1) * 30), 50, 1);
                 SetDrawColor(250, 120, 60);
                 SetDrawScale(1, 1);
                 DrawFilledRect(float(6 + (blend - 1) * 30), 80, 22, 14);
             }
         }},
        {"turned and scaled images",
         [](const SceneAssets& a) {
             SetDrawScale(4, 4);
             SetDrawRotation(30);
             DrawImageFrame(a.strip, 40, 10, 3);
             SetDrawRotation(200);
             SetDrawScale(3, 1.5f);
             DrawImageFrame(a.strip, 120, 90, 2);
             SetDrawRotation(90);
             SetDrawScale(2, 2);
             DrawImageFrame(a.strip, 140, 20, 0);
         }},
        {"filtered and mipmapped images",
         [](const SceneAssets& a) {
             SetDrawScale(4, 4);
             DrawImageFrame(a.filtered, 4, 4, 0);
             SetDrawRotation(15);
             SetDrawScale(3, 2);
             DrawImageFrame(a.mipmapped, 90, 20, 0);
         }},
        {"masked images",
         [](const SceneAssets& a) {
             SetDrawBlend(kBlendMasked);
             SetDrawScale(5, 5);
             DrawImageFrame(a.strip, 0, 0, 0);
             DrawImageFrame(a.strip, 40, 0, 3);
             SetDrawAlpha(0.6f);  // raises the cut: fewer texels reach one half
             SetDrawRotation(45);
             DrawImageFrame(a.strip, 120, 20, 3);
             SetDrawAlpha(0.3f);  // nothing reaches one half
             DrawImageFrame(a.strip, 60, 60, 3);
         }},
        {"masked filtered images",
         [](const SceneAssets& a) {
             SetDrawBlend(kBlendMasked);
             SetDrawScale(5, 5);
             DrawImageFrame(a.filtered, 0, 0, 0);
             SetDrawAlpha(0.6f);
             SetDrawRotation(45);
             DrawImageFrame(a.filtered, 120, 20, 0);
         },
         // SDL_Renderer cannot cut after filtering: its cut edges blend over about a texel.
         0.05},
        {"text",
         [](const SceneAssets& a) {
             SelectFont(a.font);
             SetDrawColor(255, 255, 180);
             DrawString("Crockery 123", 4, 4);
             SetDrawScale(2, 2);
             SetDrawColor(120, 220, 255);
             DrawString("Drift!", 4, 40);
             SetDrawScale(1, 1);
             SetDrawRotation(-20);
             SetDrawAlpha(0.7f);
             DrawString("turned", 60, 100);
         }},
        {"screen grabbed into an image",
         [](const SceneAssets& a) {
             SetDrawScale(2, 2);
             DrawImageFrame(a.strip, 8, 8, 3);
             GrabScreenToImage(a.blank, 4, 4, 0);
             SetDrawScale(3, 3);
             DrawImageFrame(a.blank, 70, 30, 0);
         }},
    };
    return scenes;
}

std::string FirstFont() {
#ifdef CD_SOURCE_DIR
    for (const auto& entry : fs::directory_iterator(fs::path(CD_SOURCE_DIR) / "assets" / "fonts"))
        if (entry.path().extension() == ".ttf") return entry.path().string();
#endif
    return "";
}

struct Picture {
    std::string backend;  // the back end that drew it
    std::vector<Pixels> scenes;
};

Picture Render(void (*select)(), bool fullscreen, const fs::path& folder) {
    Picture picture;
    select();
    if (!OpenDisplay(kWidth, kHeight, fullscreen ? 32 : 0, 60)) {
        ADD_FAILURE() << "no display: " << LastPlatformError();
        return picture;
    }
    picture.backend = ActiveBackendName();
    ResetDrawStateForTest();
    SceneAssets a;
    const std::string sheet = (folder / "sheet.png").string();
    a.strip = LoadImageStrip(sheet, 8, 8, 0, 4, 0);
    a.filtered = LoadImageFile(sheet, kImageFiltered);
    a.mipmapped = LoadImageFile(sheet, kImageFiltered | kImageMipmapped);
    a.blank = CreateBlankImage(24, 24, 1, 0);
    a.font = LoadFont(FirstFont(), 14, kFontSmooth);
    EXPECT_TRUE(a.strip && a.filtered && a.mipmapped && a.blank && a.font) << picture.backend;
    for (const Scene& scene : Scenes()) {
        ClearScreen();
        Backdrop();
        scene.draw(a);
        ResetDrawStateForTest();
        picture.scenes.push_back(GrabScreenPixels(0, 0, kWidth, kHeight));
        Present(0);
    }
    CloseDisplay();
    return picture;
}

// How far two pictures are apart: the share of pixels off by more than a rounding or an edge's
// partial coverage can explain, and the mean difference over all channels.
struct Difference {
    double farShare = 0;
    double mean = 0;
    int firstFarX = -1, firstFarY = -1;
};

Difference Compare(const Pixels& a, const Pixels& b) {
    constexpr int kFar = 48;
    Difference d;
    int far = 0;
    double sum = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t p = ReadPixelArgb(a, x, y), q = ReadPixelArgb(b, x, y);
            const int dr = std::abs(Red(p) - Red(q)), dg = std::abs(Green(p) - Green(q)),
                      db = std::abs(Blue(p) - Blue(q));
            sum += dr + dg + db;
            if (std::max({dr, dg, db}) > kFar) {
                if (far++ == 0) d.firstFarX = x, d.firstFarY = y;
            }
        }
    }
    d.farShare = double(far) / (kWidth * kHeight);
    d.mean = sum / (3.0 * kWidth * kHeight);
    return d;
}

struct BackendCase {
    const char* label;
    void (*select)();
    const char* expected;
    bool fullscreen;
};

class BackendTest : public ::testing::TestWithParam<BackendCase> {
protected:
    static void SetUpTestSuite() { hasDisplay = xvfb::EnsureDisplay(noDisplayReason); }
    static void TearDownTestSuite() { xvfb::StopPrivateXvfb(); }

    void SetUp() override {
        if (!hasDisplay) GTEST_SKIP() << "no display for the GPU back ends: " << noDisplayReason;
        plat::SetHost(plat::MakeSdlHost());
        std::string pattern = (fs::temp_directory_path() / "crockery-backends-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        ASSERT_TRUE(SavePixelsAsPng(TestSheet(), (folder / "sheet.png").string(), 1));
    }

    void TearDown() override {
        CloseDisplay();
        headless::Install();
        std::error_code ignored;
        if (!folder.empty()) fs::remove_all(folder, ignored);
    }

    static inline bool hasDisplay = false;
    static inline std::string noDisplayReason;
    fs::path folder;
};

TEST_P(BackendTest, DrawsWhatTheSoftwareRendererDraws) {
    const BackendCase& c = GetParam();
    const Picture reference = Render(&SelectDirect3D7Backend, false, folder);
    const Picture tested = Render(c.select, c.fullscreen, folder);
    if (tested.backend != c.expected)
        GTEST_SKIP() << c.expected << " cannot start on this display; " << tested.backend << " drew instead";
    ASSERT_EQ(reference.scenes.size(), Scenes().size());
    ASSERT_EQ(tested.scenes.size(), Scenes().size());
    for (size_t i = 0; i < Scenes().size(); ++i) {
        SCOPED_TRACE(Scenes()[i].name);
        const Difference d = Compare(reference.scenes[i], tested.scenes[i]);
        // Rasterisers may round an edge pixel or a filtered texel differently, never more.
        const double allowed = std::string(c.expected) == "SDL_Renderer" ? Scenes()[i].sdlFarShare : 0.01;
        EXPECT_LE(d.farShare, allowed) << "first far-off pixel at " << d.firstFarX << "," << d.firstFarY;
        EXPECT_LE(d.mean, 2.0);
    }
}

TEST_P(BackendTest, ReadsBeyondTheBackBufferAsBlack) {
    const BackendCase& c = GetParam();
    c.select();
    ASSERT_TRUE(OpenDisplay(kWidth, kHeight, c.fullscreen ? 32 : 0, 60)) << LastPlatformError();
    ResetDrawStateForTest();
    SetDrawBlend(kBlendSolid);
    SetDrawColor(10, 200, 30);
    DrawFilledRect(0, 0, kWidth, kHeight);
    const Pixels corner = GrabScreenPixels(kWidth - 2, -2, 4, 4);
    ASSERT_EQ(corner.argb.size(), 16u);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x < 2 && y >= 2;
            EXPECT_EQ(ReadPixelArgb(corner, x, y), inside ? Argb(255, 10, 200, 30) : Argb(255, 0, 0, 0))
                << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    GpuBackEnds, BackendTest,
    ::testing::Values(BackendCase{"OpenGLWindow", &SelectOpenGLBackend, "OpenGL", false},
                      BackendCase{"OpenGLFullScreen", &SelectOpenGLBackend, "OpenGL", true},
                      BackendCase{"SdlRendererWindow", &SelectDirect3D9Backend, "SDL_Renderer", false},
                      BackendCase{"SdlRendererFullScreen", &SelectDirect3D9Backend, "SDL_Renderer", true}),
    [](const ::testing::TestParamInfo<BackendCase>& param) { return std::string(param.param.label); });

// OpenGL that cannot start (here: Mesa told to offer nothing newer than GL 1.4) hands the display
// to SDL_Renderer, and says so in one line.
TEST(BackendFallback, OpenGLThatCannotStartHandsOverToTheNextBackEnd) {
    std::string why;
    if (!xvfb::EnsureDisplay(why)) GTEST_SKIP() << "no display: " << why;
    plat::SetHost(plat::MakeSdlHost());
    setenv("MESA_GL_VERSION_OVERRIDE", "1.4", 1);
    SelectOpenGLBackend();
    const bool opened = OpenDisplay(kWidth, kHeight, 0, 60);
    const std::string backend = ActiveBackendName();
    const std::vector<std::string> notes = DisplayFallbackNotes();
    CloseDisplay();
    unsetenv("MESA_GL_VERSION_OVERRIDE");
    headless::Install();
    xvfb::StopPrivateXvfb();
    ASSERT_TRUE(opened) << LastPlatformError();
    EXPECT_NE(backend, "OpenGL");
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0].rfind("OpenGL could not start (", 0), 0u) << notes[0];
    EXPECT_NE(notes[0].find("trying SDL_Renderer"), std::string::npos) << notes[0];
    // Each back end passed over gets its line; the one that opened gets none.
    EXPECT_EQ(notes.size(), backend == "SDL_Renderer" ? 1u : 2u);
}

}  // namespace

namespace {

// The software renderer fills a long queue of quads in two bands of rows at once; the picture
// must be exactly the one that filling them one at a time gives.
TEST(SoftwareBands, QueuedFillMatchesQuadByQuad) {
    headless::Install();
    SelectDirect3D7Backend();
    ASSERT_TRUE(OpenDisplay(200, 150, 0, 60));
    ResetDrawStateForTest();
    // A sprite drawn on screen and grabbed, so textured quads take part as well as solid ones.
    SetDrawColor(250, 180, 40);
    DrawFilledRect(0, 0, 12, 12);
    SetDrawColor(40, 90, 250);
    DrawFilledRect(3, 3, 6, 6);
    const int sprite = CreateBlankImage(12, 12, 1, 0);
    GrabScreenToImage(sprite, 0, 0, 0);
    auto scene = [&](bool flushEach) {
        ClearScreen();
        SeedRandom(99);
        for (int i = 0; i < 600; ++i) {
            SetDrawBlend(RandomInt(kBlendMasked, kBlendShade));
            SetDrawRotation(float(RandomInt(0, 359)));
            SetDrawScale(RandomFloat(0.5f, 3), RandomFloat(0.5f, 3));
            SetDrawColor(RandomInt(0, 255), RandomInt(0, 255), RandomInt(0, 255));
            SetDrawAlpha(RandomFloat(0, 1));
            if (i % 3 == 0) {
                DrawFilledRect(RandomFloat(-10, 200), RandomFloat(-10, 150), 14, 9);
            } else {
                DrawImageFrame(sprite, RandomFloat(-10, 200), RandomFloat(-10, 150), 0);
            }
            if (flushEach) FlushDrawing();
        }
        return GrabScreenPixels(0, 0, 200, 150);
    };
    const Pixels oneByOne = scene(true);
    const Pixels queued = scene(false);
    CloseDisplay();
    ResetDrawStateForTest();
    ASSERT_EQ(oneByOne.argb.size(), queued.argb.size());
    size_t differing = 0;
    for (size_t i = 0; i < queued.argb.size(); ++i) differing += oneByOne.argb[i] != queued.argb[i];
    EXPECT_EQ(differing, 0u);
}

}  // namespace
