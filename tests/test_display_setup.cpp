// Display set-up: the list of usable sizes, the requested size, the back end with its crash
// fallback, full-screen depth, the virtual resolution, and a display that will not open.
#include "app/display.h"
#include "game/objects.h"
#include "headless_fixture.h"

namespace {

class DisplaySetupTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        ChangeFolder("Files/");
        OpenLog();
        ChangeFolder(GameFolder());
        CostPerPresent(kSlowFrameMs);
    }

    static constexpr int kSlowFrameMs = 40;

    std::vector<std::string> Log() { return ReadLines(files() / "Debug.txt"); }
    bool Logged(const std::string& line) {
        const std::vector<std::string> log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    static DisplayMode Mode(int w, int h, int depth = 32) { return {w, h, depth, 60}; }
};

TEST_F(DisplaySetupTest, ListsEachUsableSizeOnceAndFindsTheRequestedOne) {
    headless::SetDisplayModes({Mode(800, 600, 16), Mode(800, 600, 32), Mode(1024, 768),
                               Mode(1280, 1024), Mode(1366, 768), Mode(1680, 1050),
                               Mode(1920, 1080), Mode(1024, 768, 16)});
    Settings[Width] = 1366;
    Settings[Height] = 768;
    BuildDisplayModeList();
    const std::pair<int, int> expected[] = {{800, 600}, {1024, 768}, {1366, 768}, {1680, 1050},
                                            {1920, 1080}};
    ASSERT_EQ(DisplayModeCount, 5);
    for (int i = 1; i <= DisplayModeCount; ++i) {
        EXPECT_EQ(DisplayModeWidths[i], expected[i - 1].first) << i;
        EXPECT_EQ(DisplayModeHeights[i], expected[i - 1].second) << i;
    }
    EXPECT_EQ(Settings[ModeIndex], 3);
    EXPECT_EQ(DisplayWidth, 1366);
    EXPECT_EQ(DisplayHeight, 768);
}

TEST_F(DisplaySetupTest, UnlistedSizeFallsBackToThePreviousDisplay) {
    headless::SetDisplayModes({Mode(800, 600), Mode(1024, 768), Mode(1280, 1024)});
    Settings[ModeIndex] = 9;
    Settings[Width] = 1280;
    Settings[Height] = 1024;
    BuildDisplayModeList();
    EXPECT_EQ(DisplayModeCount, 2);
    EXPECT_EQ(Settings[ModeIndex], 9) << "kept when the request is not listed";
    EXPECT_EQ(Settings[Width], 800);
    EXPECT_EQ(Settings[Height], 600);
}

TEST_F(DisplaySetupTest, ManyModesFillTheTableWithoutOverrunningIt) {
    std::vector<DisplayMode> modes;
    for (int w = 16; modes.size() < 3000; w += 16) modes.push_back(Mode(w, w * 3 / 4));
    headless::SetDisplayModes(modes);
    BuildDisplayModeList();
    EXPECT_EQ(DisplayModeCount, kMaxDisplayModes - 1);
    EXPECT_EQ(DisplayModeWidths[kMaxDisplayModes - 1], 16 * (kMaxDisplayModes - 1));
}

TEST_F(DisplaySetupTest, ChoosesTheVirtualResolutionFromTheAspect) {
    struct Case { int w, h, widescreen, vw, vh; const char* line; };
    const Case cases[] = {
        {1920, 1080, 1, 1600, 900, "\tWidescreen mode!"},
        {1366, 768, 1, 1600, 900, "\tWidescreen mode!"},
        {1680, 1050, 1, 1440, 900, "\tWidescreen mode B (10:16)!"},
        {1024, 768, 0, 1280, 960, nullptr},
        {1280, 1024, 0, 1280, 960, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const size_t logged = Log().size();
        DisplayWidth = c.w;
        DisplayHeight = c.h;
        Settings[Widescreen] = 1 - c.widescreen;
        ChooseVirtualResolution();
        EXPECT_EQ(Settings[Widescreen], c.widescreen);
        EXPECT_EQ(VirtualWidth, c.vw);
        EXPECT_EQ(VirtualHeight, c.vh);
        const std::vector<std::string> log = Log();
        ASSERT_EQ(log.size(), logged + (c.line ? 1 : 0));
        if (c.line) {
            EXPECT_EQ(log.back(), c.line);
        }
    }
}

TEST_F(DisplaySetupTest, OpensTheRequestedSizeAndDrawsInItsVirtualResolution) {
    headless::SetDisplayModes({Mode(800, 600), Mode(1680, 1050)});
    Settings[Width] = 1680;
    Settings[Height] = 1050;
    DisplaySetup();
    EXPECT_TRUE(headless::WindowIsOpen());
    EXPECT_EQ(DisplayPixelWidth(), 1680);
    EXPECT_EQ(DisplayPixelHeight(), 1050);
    EXPECT_EQ(VirtualWidth, 1440);
    headless::SetMouse(1680, 1050);
    EXPECT_NEAR(VirtualMouseX(), 1440, 1);
    EXPECT_NEAR(VirtualMouseY(), 900, 1);
    EXPECT_TRUE(Logged("\tResolution : 1680x1050,0"));
    EXPECT_TRUE(Logged("\tWidescreen mode B (10:16)!"));
    EXPECT_EQ(Log().back(), "-=-=-=-=-=-=-=-=-=-=-=-=-=-");
}

TEST_F(DisplaySetupTest, CrashMarkerBracketsLoadingAndMovesOffOpenGLOnly) {
    struct Case { int engine, after; const char* line; };
    const Case cases[] = {
        {0, 1, "\tUsing DirectX 9 Driver"},
        {2, 2, "\tUsing DirectX 7 Driver"},
    };
    for (const Case& c : cases) {
        HeadlessFixture::TearDown();
        SetUp();
        CloseStream(OpenForWriting(kCrashMarker));
        Settings[GfxEngine] = c.engine;
        bool markerSeenWhileLoading = false;
        CostPerPresent(kSlowFrameMs, [&] { markerSeenWhileLoading |= PathKind(kCrashMarker) == 1; });
        DisplaySetup();
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Settings[GfxEngine], c.after);
        EXPECT_TRUE(Logged(c.line));
        EXPECT_TRUE(markerSeenWhileLoading);
        EXPECT_EQ(PathKind(kCrashMarker), 0);
    }
}

TEST_F(DisplaySetupTest, FullScreenTakesTheDeepestModeOrFallsBackToAWindow) {
    struct Case { std::vector<DisplayMode> modes; int depth; bool notice; };
    const Case cases[] = {
        {{Mode(800, 600, 16), Mode(800, 600, 32)}, 32, false},
        {{Mode(800, 600, 16), Mode(800, 600, 24)}, 24, false},
        {{Mode(800, 600, 16), Mode(1024, 768, 32)}, 16, false},
        {{Mode(800, 600, 8), Mode(1024, 768, 32)}, 0, true},
    };
    DisplayWidth = 800;
    DisplayHeight = 600;
    for (const Case& c : cases) {
        Notices.clear();
        headless::SetDisplayModes(c.modes);
        Settings[Fullscreen] = 1;
        EXPECT_EQ(ChooseDisplayDepth(), c.depth);
        EXPECT_EQ(Settings[Fullscreen], 1);
        const bool posted = !Notices.empty() &&
                            Notices.back().txt == "Can't set to fullscreen in this resolution.";
        EXPECT_EQ(posted, c.notice) << c.depth;
    }
    Settings[Fullscreen] = 0;
    EXPECT_EQ(ChooseDisplayDepth(), 0);
}

TEST_F(DisplaySetupTest, SecondCallReopensTheDisplay) {
    DisplaySetup();
    EXPECT_FALSE(Logged("\tChanged Graphics Mode ingame."));
    // The first engine test judged the twin slow; slow-system frames would keep the second one
    // from seeing that, so it starts from the same settings as the first.
    Settings[SlowSystem] = 0;
    DisplaySetup();
    EXPECT_TRUE(Logged("\tChanged Graphics Mode ingame."));
    EXPECT_EQ(headless::OpenWindowCount(), 2);
    EXPECT_TRUE(headless::WindowIsOpen());
}

TEST_F(DisplaySetupTest, DisplayThatWillNotOpenEndsTheRunAndKeepsTheMarker) {
    headless::SetOpenWindowFails(true);
    EXPECT_EQ(ExitStatusOf(DisplaySetup), 1);
    EXPECT_EQ(PathKind(kCrashMarker), 1);
    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("\tCould not open the display: ", 0), 0u) << log.back();
}

}  // namespace
