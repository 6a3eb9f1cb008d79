// Conversions at the SDL edge: text encodings, joystick readings, the full-screen letterbox and
// the date and time texts.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/sdl/convert.h"

namespace {

using Chars = std::vector<int>;

TEST(SdlConvert, TitleGoesFromLatin1ToUtf8) {
    EXPECT_EQ(plat::Latin1ToUtf8("Crockery Drift"), "Crockery Drift");
    EXPECT_EQ(plat::Latin1ToUtf8("Caf\xe9 \xff"), "Caf\xc3\xa9 \xc3\xbf");
    EXPECT_EQ(plat::Latin1ToUtf8(std::string("\x80", 1)), "\xc2\x80");
}

TEST(SdlConvert, TypedTextKeepsLatin1AndDropsTheRest) {
    struct Case {
        std::string utf8;
        Chars chars;
    };
    const Case cases[] = {
        {"abc", {'a', 'b', 'c'}},
        {"\xc3\xa9\xc3\xbf", {0xe9, 0xff}},           // é ÿ
        {"a|b", {'a', 'b'}},                           // the field separator
        {"\xe2\x82\xac" "x", {'x'}},                   // € is above 255
        {"\xf0\x9f\x98\x80" "y", {'y'}},               // an emoji
        {"\xc1\xbc" "z", {'z'}},                       // overlong "|"
        {"\xe0\x80\xa1", {}},                          // overlong "!"
        {"\x80\xbf" "k", {'k'}},                       // stray continuation bytes
        {"\xc3", {}},                                  // cut off
        {"\xc3" "A", {'A'}},                           // lead without its continuation
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::TypedCharsFromUtf8(c.utf8), c.chars) << testing::PrintToString(c.utf8);
}

TEST(SdlConvert, AxesReachBothEnds) {
    EXPECT_FLOAT_EQ(plat::AxisFraction(-32768), -1.0f);
    EXPECT_FLOAT_EQ(plat::AxisFraction(32767), 1.0f);
    EXPECT_FLOAT_EQ(plat::AxisFraction(0), 0.0f);
    EXPECT_NEAR(plat::AxisFraction(16384), 0.5f, 1e-4);
    EXPECT_NEAR(plat::AxisFraction(-16384), -0.5f, 1e-4);
}

TEST(SdlConvert, HatIsATurnClockwiseFromUp) {
    // SDL bits: 1 up, 2 right, 4 down, 8 left.
    const struct {
        int bits;
        float turn;
    } cases[] = {{0, -1.0f},   {1, 0.0f},    {3, 0.125f}, {2, 0.25f},  {6, 0.375f},
                 {4, 0.5f},    {12, 0.625f}, {8, 0.75f},  {9, 0.875f}, {5, -1.0f},
                 {15, -1.0f},  {7, 0.25f}};  // opposite bits cancel
    for (const auto& c : cases) EXPECT_FLOAT_EQ(plat::HatFraction(c.bits), c.turn) << c.bits;
}

TEST(SdlConvert, LetterboxKeepsTheAspect) {
    struct Case {
        int ww, wh, bw, bh;
        plat::Letterbox box;
    };
    const Case cases[] = {
        {800, 600, 800, 600, {0, 0, 800, 600}},
        {1920, 1080, 1280, 960, {240, 0, 1440, 1080}},  // bars left and right
        {1280, 1024, 1600, 900, {0, 152, 1280, 720}},   // bars above and below
        {1920, 1080, 960, 540, {0, 0, 1920, 1080}},     // same shape, twice the size
        {0, 0, 800, 600, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const plat::Letterbox b = plat::FitLetterbox(c.ww, c.wh, c.bw, c.bh);
        EXPECT_EQ(b.x, c.box.x);
        EXPECT_EQ(b.y, c.box.y);
        EXPECT_EQ(b.width, c.box.width);
        EXPECT_EQ(b.height, c.box.height);
    }
}

TEST(SdlConvert, WindowPointsMapThroughTheLetterbox) {
    // A 1280x960 back buffer in a 1920x1080 desktop window: 240-pixel bars, scale 1.125.
    const struct {
        int wx, wy, bx, by;
    } cases[] = {{240, 0, 0, 0},       {1679, 1079, 1279, 959}, {960, 540, 640, 480},
                 {0, 540, -214, 480},  {239, 0, -1, 0},         {1919, 0, 1492, 0}};
    for (const auto& c : cases) {
        int bx = 0, by = 0;
        plat::WindowToBuffer(c.wx, c.wy, 1920, 1080, 1280, 960, bx, by);
        EXPECT_EQ(bx, c.bx) << c.wx << "," << c.wy;
        EXPECT_EQ(by, c.by) << c.wx << "," << c.wy;
    }
    int bx = 0, by = 0;
    plat::WindowToBuffer(17, 33, 800, 600, 800, 600, bx, by);  // a plain window: unchanged
    EXPECT_EQ(bx, 17);
    EXPECT_EQ(by, 33);
}

TEST(SdlConvert, DateAndTimeTexts) {
    std::tm t{};
    t.tm_year = 2025 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 14;
    t.tm_min = 30;
    t.tm_sec = 5;
    EXPECT_EQ(plat::FormatDateText(t), "09 Dec 2025");
    EXPECT_EQ(plat::FormatTimeText(t), "14:30:05");
    t.tm_mon = 0;
    t.tm_mday = 31;
    t.tm_hour = 0;
    t.tm_min = 0;
    t.tm_sec = 0;
    EXPECT_EQ(plat::FormatDateText(t), "31 Jan 2025");
    EXPECT_EQ(plat::FormatTimeText(t), "00:00:00");
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 59;
    EXPECT_EQ(plat::FormatTimeText(t), "23:59:59");
}

}  // namespace
