// Fonts: loading (and refusing) TrueType files, metrics in virtual units, and text drawn where its
// metrics say, tinted by the draw colour.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "draw_fixture.h"
#include "heap_bytes.h"

namespace {

constexpr const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class Fonts : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        if (!std::filesystem::exists(kSystemFont)) GTEST_SKIP() << "no " << kSystemFont;
    }
};

TEST_F(Fonts, UnreadableFilesGiveNoFontAndNoFontDrawsNothing) {
    const std::string junk = (folder / "junk.ttf").string();
    std::ofstream(junk, std::ios::binary) << std::string("\0\1\0\0not a font", 14) << std::string(500, 'x');
    std::string truncated;
    {
        std::ifstream in(kSystemFont, std::ios::binary);
        truncated.resize(2000);
        in.read(truncated.data(), std::streamsize(truncated.size()));
    }
    const std::string cut = (folder / "cut.ttf").string();
    std::ofstream(cut, std::ios::binary) << truncated;
    for (const std::string& file : {junk, cut, (folder / "absent.ttf").string()}) {
        EXPECT_EQ(LoadFont(file, 16, kFontSmooth), 0) << file;
    }
    EXPECT_EQ(LoadFont(kSystemFont, 0, kFontSmooth), 0);
    EXPECT_EQ(LoadFont(kSystemFont, -3, kFontSmooth), 0);
    EXPECT_EQ(LoadFont(kSystemFont, 100000, kFontSmooth), 0);  // no atlas could hold it

    SelectFont(0);
    EXPECT_EQ(TextWidthOf("Hello"), 0);
    EXPECT_EQ(TextHeightOf(), 0);
    DrawString("Hello", 5, 5);
    SelectFont(4711);
    DrawString("Hello", 5, 5);
    EXPECT_EQ(LitPixels(), 0);
}

TEST_F(Fonts, TextIsDrawnInsideItsMeasuredBoxInTheDrawColour) {
    const int font = LoadFont(kSystemFont, 16, kFontSmooth);
    ASSERT_NE(font, 0);
    SelectFont(font);
    const int height = TextHeightOf();
    EXPECT_GE(height, 16);
    EXPECT_LE(height, 24);
    const int width = TextWidthOf("Hw!");
    EXPECT_GT(width, 16);
    EXPECT_EQ(TextWidthOf(""), 0);
    // Control characters take no room; widths add up, as there is no kerning.
    EXPECT_EQ(TextWidthOf("H\tw!\n"), width);
    EXPECT_EQ(TextWidthOf("H") + TextWidthOf("w!"), width);
    EXPECT_GT(TextWidthOf("\xC9"), 0);  // Latin-1 E acute

    SetDrawColor(255, 0, 0);
    DrawString("Hw!", 10, 8);
    int l, t, r, b;
    ASSERT_TRUE(LitBox(l, t, r, b));
    EXPECT_GE(l, 10);
    EXPECT_GE(t, 8);
    EXPECT_LE(r, 10 + width);
    EXPECT_LE(b, 8 + height);
    EXPECT_GT(r - l, width / 2);
    const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
    int solid = 0;
    for (uint32_t c : screen.argb) {
        EXPECT_EQ(Green(c), 0);
        EXPECT_EQ(Blue(c), 0);
        solid += Red(c) == 255;
    }
    EXPECT_GT(solid, 10);
}

TEST_F(Fonts, MetricsStayInVirtualUnitsAtAnyDisplayScale) {
    const int sharp = LoadFont(kSystemFont, 20, kFontSmooth);
    SetVirtualResolution(kWidth * 2, kHeight * 2);  // half a display pixel per unit
    const int halved = LoadFont(kSystemFont, 20, kFontSmooth);
    ASSERT_NE(sharp, 0);
    ASSERT_NE(halved, 0);
    SelectFont(sharp);
    const int width = TextWidthOf("Mimi"), height = TextHeightOf();
    SelectFont(halved);
    EXPECT_NEAR(TextWidthOf("Mimi"), width, 3);
    EXPECT_NEAR(TextHeightOf(), height, 2);

    DrawString("Mimi", 0, 0);
    int l, t, r, b;
    ASSERT_TRUE(LitBox(l, t, r, b));
    EXPECT_LE(r, (TextWidthOf("Mimi") + 1) / 2);  // drawn at half size on the display
    EXPECT_LE(b, (TextHeightOf() + 1) / 2);

    // Under a draw rotation of 90 the text runs downwards from its top-left corner.
    ClearScreen();
    SetDrawRotation(90);
    DrawString("Mimi", 60, 0);
    ASSERT_TRUE(LitBox(l, t, r, b));
    EXPECT_LE(r, 30);
    EXPECT_GT(b - t, r - l);
}

TEST_F(Fonts, FontsBelongToTheDisplay) {
    const int font = LoadFont(kSystemFont, 12, 0);  // not smoothed: coverage is all or nothing
    ASSERT_NE(font, 0);
    SelectFont(font);
    DrawString("###", 0, 0);
    const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
    for (uint32_t c : screen.argb) EXPECT_TRUE(Red(c) == 0 || Red(c) == 255) << std::hex << c;
    CloseDisplay();
    EXPECT_EQ(TextWidthOf("###"), 0);
    ASSERT_TRUE(OpenDisplay(kWidth, kHeight, 0, 60));
    SelectFont(font);  // a font of the closed display stays dead
    EXPECT_EQ(TextHeightOf(), 0);
    EXPECT_EQ(LoadFont(kSystemFont, 12, kFontSmooth), font + 1);
}

// Every Apply in the settings menu closes the display and loads all its fonts again; the closed
// ones must not keep their glyph tables (several KiB each) for the rest of the run.
TEST_F(Fonts, ReopeningTheDisplayKeepsNothingOfTheClosedFonts) {
    constexpr int kFontsPerDisplay = 20, kReopenings = 8;
    int lastId = 0;
    auto reopenWithFonts = [&] {
        CloseDisplay();
        ASSERT_TRUE(OpenDisplay(kWidth, kHeight, 0, 60));
        for (int i = 0; i < kFontsPerDisplay; ++i) {
            const int font = LoadFont(kSystemFont, 8 + i % 9, kFontSmooth);
            ASSERT_GT(font, lastId) << "ids are never reused";
            lastId = font;
        }
    };
    reopenWithFonts();
    const size_t before = HeapBytesInUse();
    for (int i = 0; i < kReopenings; ++i) reopenWithFonts();
    // Keeping each closed font's table would add about 1 MiB here.
    EXPECT_LT(HeapBytesInUse(), before + 64 * 1024);
    SelectFont(lastId);
    EXPECT_GT(TextHeightOf(), 0);
    SelectFont(lastId - kFontsPerDisplay);  // the display before this one
    EXPECT_EQ(TextHeightOf(), 0);
}

}  // namespace
