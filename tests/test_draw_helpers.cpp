// The drawing helpers: draw state conversions, sprite placement with its budget and slow-system
// gate, the mouse-over rectangle, the backdrop and the banner, read back from the framebuffer.
#include <cmath>

#include "app/assets.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "headless_fixture.h"

namespace {

class DrawHelpers : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(200, 150);
        ResetDrawState();
    }

    // A centre-handled image of one opaque white frame.
    int WhiteImage(int width, int height) {
        Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        pixels.argb.assign(size_t(width) * height, 0xFFFFFFFFu);
        const std::string file = (root / "white.png").string();
        EXPECT_TRUE(SavePixelsAsPng(pixels, file, 1));
        SetAutoCentreHandle(true);
        return LoadImageFile(file, 0);
    }

    static bool Lit(int x, int y) { return Red(PixelAt(x, y)) > 128; }
};

TEST_F(DrawHelpers, SetColourClampsAndTruncatesAndLeavesAlphaUnlessGiven) {
    SetDrawAlpha(0.3f);
    SetColour(300, -5, 128.9f);
    int r, g, b;
    GetDrawColor(r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 128);
    EXPECT_FLOAT_EQ(GetDrawAlpha(), 0.3f);

    SetColour(0, 0, 0, 1.5f);
    EXPECT_FLOAT_EQ(GetDrawAlpha(), 1.0f);
    SetColour(0, 0, 0, -2.0f);
    EXPECT_FLOAT_EQ(GetDrawAlpha(), 0.0f);
}

TEST_F(DrawHelpers, ClampLetsTheLowerBoundWinWhenBoundsCross) {
    struct Case { float value, low, high, expected; };
    const Case cases[] = {
        {5, 0, 10, 5}, {-1, 0, 10, 0}, {11, 0, 10, 10}, {10, 0, 10, 10},
        {5, 10, 0, 10}, {-5, 10, 0, 10}, {20, 10, 0, 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Clamp(c.value, c.low, c.high), c.expected)
            << c.value << " in " << c.low << ".." << c.high;
}

TEST_F(DrawHelpers, ScaleAndBlendCodesMapOntoThePlatform) {
    float sx, sy;
    SetScale(2);
    GetDrawScale(sx, sy);
    EXPECT_EQ(sx, 2);
    EXPECT_EQ(sy, 2);
    SetScale(2, 1.5f);
    GetDrawScale(sx, sy);
    EXPECT_EQ(sy, 1.5f);

    const int platformMode[4] = {kBlendSolid, kBlendAlpha, kBlendShade, kBlendLight};
    for (int code = 0; code < 4; ++code) {
        SetBlendMode(code);
        EXPECT_EQ(GetDrawBlend(), platformMode[code]) << "code " << code;
    }
    for (int unknown : {-1, 4, 7}) {
        SetBlendMode(kBlendCodeShade);
        SetBlendMode(unknown);
        EXPECT_EQ(GetDrawBlend(), kBlendShade) << "code " << unknown;
    }
}

TEST_F(DrawHelpers, MouseOverIsStrictOnEveryEdge) {
    struct Case { int mx, my; bool over; };
    // The rectangle (10, 20, 30, 40) spans x 10..40 and y 20..60.
    const Case cases[] = {
        {10, 20, false}, {11, 21, true}, {40, 21, false}, {39, 59, true},
        {11, 60, false}, {11, 20, false}, {10, 21, false}, {25, 40, true},
    };
    for (const Case& c : cases) {
        FrameMouseX = c.mx;
        FrameMouseY = c.my;
        EXPECT_EQ(MouseOver(10, 20, 30, 40), c.over) << c.mx << "," << c.my;
    }
}

TEST_F(DrawHelpers, SpriteCoversItsScaledSizeFromTheTopLeftCorner) {
    const int image = WhiteImage(16, 16);
    ASSERT_NE(image, 0);
    SetScale(3);
    DrawSprite(image, 10, 20, 0);
    EXPECT_EQ(DrawCounts[kCountImages], 1);
    // 16 pixels at scale 3 from (10, 20): 10..57 by 20..67.
    EXPECT_TRUE(Lit(10, 20));
    EXPECT_TRUE(Lit(57, 67));
    EXPECT_FALSE(Lit(9, 30));
    EXPECT_FALSE(Lit(30, 19));
    EXPECT_FALSE(Lit(58, 30));
    EXPECT_FALSE(Lit(30, 68));
}

TEST_F(DrawHelpers, BudgetSkipsSpritesButLeavesTheHaloItsOwnRoom) {
    const int image = WhiteImage(8, 8);
    DrawBudgets[kCountImages] = 2;
    DrawCounts[kCountImages] = 2;
    DrawSprite(image, 10, 10, 0);
    EXPECT_EQ(DrawCounts[kCountImages], 2);
    EXPECT_FALSE(Lit(12, 12));

    DrawGlowSprite(image, 50, 50, 0, 0, 2.0f, 1.0f);
    EXPECT_EQ(DrawCounts[kCountImages], 2);
    EXPECT_EQ(DrawCounts[kCountGlow], 1);
    // The halo is twice the base image's size on the same centre (54, 54).
    EXPECT_TRUE(Lit(51, 51));
    EXPECT_TRUE(Lit(46, 46));
    EXPECT_FALSE(Lit(44, 44));
}

TEST_F(DrawHelpers, GlowSpriteRestoresScaleAlphaAndBlend) {
    const int image = WhiteImage(8, 8);
    SetScale(1.5f, 2.0f);
    SetDrawAlpha(0.5f);
    SetBlendMode(kBlendCodeSolid);
    DrawGlowSprite(image, 10, 10, 0, 0, 3.0f, 0.5f);
    float sx, sy;
    GetDrawScale(sx, sy);
    EXPECT_EQ(sx, 1.5f);
    EXPECT_EQ(sy, 2.0f);
    EXPECT_FLOAT_EQ(GetDrawAlpha(), 0.5f);
    EXPECT_EQ(GetDrawBlend(), kBlendSolid);
}

TEST_F(DrawHelpers, SlowSystemDrawsSpritesOnlyOnPresentedFrames) {
    const int image = WhiteImage(8, 8);
    Settings[SlowSystem] = 1;
    SkipFrame = 1;
    DrawSprite(image, 10, 10, 0);
    DrawGlowSprite(image, 40, 10, 0, 0, 1.0f, 1.0f);
    DrawFilledRect(80, 10, 8, 8);
    EXPECT_EQ(DrawCounts[kCountImages], 0);
    EXPECT_EQ(DrawCounts[kCountGlow], 0);
    EXPECT_FALSE(Lit(12, 12));
    EXPECT_FALSE(Lit(42, 12));
    EXPECT_TRUE(Lit(82, 12)) << "rectangles are not gated";

    SkipFrame = 0;
    DrawSprite(image, 10, 10, 0);
    EXPECT_EQ(DrawCounts[kCountImages], 1);
    EXPECT_TRUE(Lit(12, 12));
}

TEST_F(DrawHelpers, BeginFrameClearsAndZeroesTheFrameCounters) {
    DrawFilledRect(0, 0, 20, 20);
    for (int slot = 0; slot < kDrawSlots; ++slot) DrawCounts[slot] = 7;
    BeginFrame();
    EXPECT_FALSE(Lit(5, 5));
    EXPECT_EQ(DrawCounts[0], 7);
    for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(DrawCounts[slot], 0) << slot;
    EXPECT_EQ(DrawCounts[11], 7);
}

TEST_F(DrawHelpers, TextIsPlacedByItsAlignmentCodes) {
    ChangeFolder("Files/Common");
    const int font = LoadFont("SVBasicManual.ttf", 24, kFontSmooth);
    if (font == 0) GTEST_SKIP() << "no font file to measure text with";
    SelectFont(font);
    const std::string text = "HHHH";
    const int w = TextWidthOf(text), h = TextHeightOf();
    ASSERT_GT(w, 4);

    struct Case { int h, v, left, top; };
    const Case cases[] = {
        {0, 0, 100, 70}, {1, 1, 100 - w / 2, 70 - h / 2}, {2, 2, 100 - w, 70 - h}, {9, 9, 100, 70},
    };
    for (const Case& c : cases) {
        ClearScreen();
        DrawTextAligned(100, 70, text, c.h, c.v);
        const Pixels screen = GrabScreenPixels(0, 0, 200, 150);
        int minX = 999, minY = 999, maxX = -1, maxY = -1;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                if (Red(ReadPixelArgb(screen, x, y)) > 100) {
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
                    minY = std::min(minY, y), maxY = std::max(maxY, y);
                }
        SCOPED_TRACE("alignment " + std::to_string(c.h) + "," + std::to_string(c.v));
        ASSERT_GE(maxX, 0);
        EXPECT_GE(minX, c.left);
        EXPECT_LE(minX, c.left + w / 4);
        EXPECT_LE(maxX, c.left + w);
        EXPECT_GE(minY, c.top);
        EXPECT_LE(maxY, c.top + h);
    }
}

TEST_F(DrawHelpers, SetFontPicksTheGridEntryAndMapsOutOfRangeToTheFirst) {
    ChangeFolder("Files/Common");
    const int sizes[] = {10, 20, 40};
    const int slots[] = {0, 15, 28};
    for (int i = 0; i < 3; ++i)
        FontGrid[slots[i]] = LoadFont("SVBasicManual.ttf", sizes[i], kFontSmooth);
    if (FontGrid[0] == 0) GTEST_SKIP() << "no font file to tell sizes apart";
    auto heightOfSlot = [](int slot) {
        SelectFont(FontGrid[slot]);
        return TextHeightOf();
    };
    struct Case { int typeface, step, slot; };
    const Case cases[] = {{0, 12, 0}, {4, -1, 0}, {1, 0, 0}, {2, 5, 15}, {3, 8, 28}};
    for (const Case& c : cases) {
        const int expected = heightOfSlot(c.slot);
        SelectFont(FontGrid[c.slot == 15 ? 28 : 15]);
        SetFont(c.typeface, c.step);
        EXPECT_EQ(TextHeightOf(), expected) << c.typeface << "," << c.step;
    }
}

class Backdrop : public HeadlessFixture {};

TEST_F(Backdrop, TintEasesBySixteenthsAndSnapsOntoTheTarget) {
    OpenPixelDisplay(64, 48);
    BackdropTint[0] = 0.2f;
    BackdropTarget[0] = 1.0f;
    BackdropTint[1] = 0.0f;
    BackdropTarget[1] = 0.0f;
    DrawBackground();
    EXPECT_FLOAT_EQ(BackdropTint[0], 0.25f);
    EXPECT_EQ(BackdropTint[1], 0.0f);

    int frames = 0;
    while (BackdropTint[0] != BackdropTarget[0] && frames < 1000) {
        DrawBackground();
        ++frames;
    }
    EXPECT_LT(frames, 1000) << "the tint must land exactly on its target";
    EXPECT_EQ(BackdropTint[0], 1.0f);
}

TEST_F(Backdrop, StripesRunDiagonallyAndBrightenDownTheScreen) {
    OpenPixelDisplay(1280, 960);
    DrawBackground();
    // Stripe k (brightness 26 + k) starts 30k units lower; turned by -45 degrees about its left
    // end at x = -100, it covers the points with x + y + 100 from 30k to 30k + 42, and the next
    // stripe overdraws its lower part. Sample the middle of each visible band.
    for (int k : {4, 20, 50, 77}) {
        const int diagonal = 30 * k + 15 - 100;
        const int x = std::min(diagonal, 1279) - 5, y = diagonal - x;
        const uint32_t pixel = PixelAt(x, y);
        const int brightness = 26 + k;
        SCOPED_TRACE("stripe " + std::to_string(k));
        EXPECT_NEAR(Red(pixel), int(brightness * 0.2f), 1);
        EXPECT_EQ(Green(pixel), 0);
        EXPECT_NEAR(Blue(pixel), brightness, 1);
    }
    EXPECT_EQ(PixelAt(700, 200), PixelAt(600, 300)) << "one stripe along the anti-diagonal";
}

class Banner : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(400, 300);
        InitPalette();
        StepPalette(1024);
        ResetDrawState();
    }
};

TEST_F(Banner, BandAndRulesSitAroundTheCentreAtRest) {
    constexpr int kRed = 6, kGreen = 18, kBlack = 0;
    DrawBanner(200, 150, "", 0, 2, kRed, kGreen, kBlack, 1);
    struct Row { int y; uint32_t colour; };
    const Row rows[] = {
        {111, 0x000000}, {112, 0x00FF00}, {117, 0x00FF00}, {118, 0xFF0000}, {150, 0xFF0000},
        {175, 0xFF0000}, {176, 0x00FF00}, {181, 0x00FF00}, {182, 0x000000},
    };
    for (const Row& row : rows)
        for (int x : {0, 200, 399})
            EXPECT_EQ(PixelAt(x, row.y) & 0xFFFFFFu, row.colour) << "row " << row.y << " x " << x;
}

TEST_F(Banner, FullSlideHidesBandAndRules) {
    DrawBanner(200, 150, "", 16, 2, 6, 18, 0, 1);
    for (int y : {114, 150, 178}) EXPECT_EQ(PixelAt(200, y) & 0xFFFFFFu, 0u) << y;
}

}  // namespace
