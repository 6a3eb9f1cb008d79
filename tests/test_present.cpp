// FramePresent on the virtual clock: pacing, the frame-rate formula, slow-system presenting, the
// global keys, mouse sampling, notices, and the ways out.
#include "app/assets.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "headless_fixture.h"

namespace {

class Present : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(320, 240);
        ChangeFolder("Files/295/");
        LastFrameEnd = Millis();
    }
};

TEST_F(Present, PacesToFifteenMillisecondsAndNeverMakesUpForSlowFrames) {
    struct Case { int work, frameTime; };
    // 1000 / 60 - 2 = 14.67: a frame ends no earlier than 15 ms after the previous one; a frame
    // that took longer sleeps once more and pacing restarts from its end.
    const Case cases[] = {{0, 15}, {10, 15}, {14, 15}, {15, 16}, {40, 41}};
    for (const Case& c : cases) {
        LastFrameEnd = Millis();
        headless::AdvanceClock(c.work);
        FramePresent(0);
        EXPECT_EQ(FrameTime, c.frameTime) << "work " << c.work;
        EXPECT_EQ(LastFrameEnd, Millis());
    }
}

TEST_F(Present, FrameRateIsSmoothedOverThirds) {
    FrameRate = 0;
    FramePresent(0);
    EXPECT_EQ(FrameRate, 22);  // (1000 / 15 + 0) / 3
    FramePresent(0);
    EXPECT_EQ(FrameRate, 36);  // (66 + 44) / 3
    for (int i = 0; i < 50; ++i) FramePresent(0);
    EXPECT_GE(FrameRate, 64);
    EXPECT_LE(FrameRate, 66);
}

TEST_F(Present, SlowSystemPresentsEverySecondFrame) {
    const int before = headless::PresentCount();
    Settings[SlowSystem] = 1;
    for (int i = 0; i < 60; ++i) FramePresent(0);
    EXPECT_EQ(headless::PresentCount() - before, 30);

    Settings[SlowSystem] = 0;
    for (int i = 0; i < 10; ++i) FramePresent(0);
    EXPECT_EQ(headless::PresentCount() - before, 40);
}

TEST_F(Present, TogglesTheMenuAndOverlayByTabAndF12) {
    const int menu = SettingsMenuOpen, stats = ShowStats;
    headless::PressKey(kKeyTab);
    headless::PressKey(kKeyF12);
    FramePresent(0);
    EXPECT_NE(SettingsMenuOpen, menu);
    EXPECT_NE(ShowStats, stats);
    headless::PressKey(kKeyTab);
    FramePresent(0);
    EXPECT_EQ(SettingsMenuOpen, menu);
    EXPECT_NE(ShowStats, stats) << "one toggle per press";
}

TEST_F(Present, EscapeOpensThePauseMenuOnlyWhilePausingIsAllowed) {
    struct Case { int pauseState, result, after; };
    const Case cases[] = {{0, 0, 0}, {1, 1, 1}, {2, 0, 2}};
    headless::SetKey(kKeyEscape, true);
    for (const Case& c : cases) {
        PauseState = c.pauseState;
        EXPECT_EQ(FramePresent(0), c.result) << "pause state " << c.pauseState;
        EXPECT_EQ(PauseState, c.after);
    }
}

TEST_F(Present, SlowSystemLooksAtEscapeOnlyOnPresentedFrames) {
    Settings[SlowSystem] = 1;
    PauseState = 1;
    SkipFrame = 1;
    headless::SetKey(kKeyEscape, true);
    EXPECT_EQ(FramePresent(0), 0);
    EXPECT_EQ(SkipFrame, 0);
    EXPECT_EQ(FramePresent(0), 1);
}

TEST_F(Present, SamplesTheMouseOncePerFrame) {
    headless::SetMouse(123, 45);
    FramePresent(1);
    headless::SetMouse(200, 100);
    EXPECT_EQ(FrameMouseX, 123) << "screens read the position of the last frame end";
    EXPECT_EQ(FrameMouseY, 45);
    FramePresent(1);
    EXPECT_EQ(FrameMouseX, 200);
    EXPECT_EQ(FrameMouseY, 100);
}

TEST_F(Present, AltF4AndTheCloseButtonEndTheProgram) {
    struct Case { const char* name; int keys[2]; bool close; bool ends; };
    const Case cases[] = {
        {"left Alt+F4", {kKeyLeftAlt, kKeyF4}, false, true},
        {"right Alt+F4", {kKeyRightAlt, kKeyF4}, false, true},
        {"F4 alone", {kKeyF4, 0}, false, false},
        {"Alt alone", {kKeyLeftAlt, 0}, false, false},
        {"close button", {0, 0}, true, true},
    };
    for (const Case& c : cases) {
        HeadlessFixture::TearDown();
        SetUp();
        for (int key : c.keys)
            if (key != 0) headless::SetKey(key, true);
        if (c.close) headless::RequestClose();
        bool ended = false;
        try {
            FramePresent(0);
        } catch (const headless::ProcessExit& exit) {
            ended = true;
            EXPECT_EQ(exit.status, 0) << c.name;
        }
        EXPECT_EQ(ended, c.ends) << c.name;
    }
}

TEST_F(Present, NoticesStackUpwardAndExpireAfterThreeSeconds) {
    ChangeFolder("../Common/");
    Fonts[3] = LoadFont("SVBasicManual.ttf", 12, kFontSmooth);
    ChangeFolder("../295/");
    if (Fonts[3] == 0) GTEST_SKIP() << "no font file to measure notices with";
    VirtualHeight = 240;
    // The highest row showing a fresh (yellow) notice box.
    auto topmostYellowRow = [] {
        const Pixels screen = GrabScreenPixels(0, 0, 320, 240);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const uint32_t p = ReadPixelArgb(screen, x, y);
                if (Red(p) > 120 && Green(p) > 120 && Blue(p) < 60) return y;
            }
        return -1;
    };
    for (int shown = 1; shown <= 5; ++shown) {
        Notices.clear();
        for (int i = 0; i < shown; ++i) PostNotice("MMMMMMMM", 1);
        ClearScreen();
        FramePresent(0);
        EXPECT_EQ(topmostYellowRow(), 240 - 16 - (shown - 1) * 14) << shown << " notices";
    }

    for (int frame = 2; frame < 180; ++frame) FramePresent(0);
    EXPECT_EQ(Notices.size(), 5u);
    ClearScreen();
    FramePresent(0);
    EXPECT_TRUE(Notices.empty());
    EXPECT_EQ(topmostYellowRow(), -1);
}

}  // namespace
