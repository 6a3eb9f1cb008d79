// The settings menu on the headless twin: its slide, the options and their wrap-around, the
// resolution steps, the quality remark, the volume sliders, the joystick switches, and Apply
// reopening the display with the settings written.
#include <algorithm>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/display.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/objects.h"
#include "headless_fixture.h"
#include "input/controls.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"

namespace {

constexpr int kW = 640, kH = 480;  // virtual units are back-buffer pixels here
constexpr int kAudioX = kW - 280;
constexpr int kOut = 20;  // SettingsSlide with the menu fully out
constexpr int kKeyLeft = 37, kKeyRight = 39;

class SettingsMenuTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(kW, kH);
        ChangeFolder("Files/295/");
        ResetSettingsMenu();
        LastFrameEnd = Millis();
    }

    // The menu fully out, and the pointer sampled at (x, y) as FramePresent leaves it.
    static void OutWithPointerAt(int x, int y) {
        SettingsMenuOpen = 1;
        SettingsSlide = kOut - kSettingsSlideStep;  // the next run brings it to rest
        FrameMouseX = x;
        FrameMouseY = y;
    }
    // One run of the menu with a left or right click counted since the last one.
    static void RunWithClick(int button) {
        headless::Click(button);
        SettingsMenu();
    }
    static void SetModes(const std::vector<std::pair<int, int>>& sizes) {
        DisplayModeCount = int(sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            DisplayModeWidths[i + 1] = sizes[i].first;
            DisplayModeHeights[i + 1] = sizes[i].second;
        }
    }
    // A font for the texts whose width makes a hit area (the joystick names).
    bool LoadMenuFont() {
        ChangeFolder("../Common/");
        Fonts[2] = LoadFont("SVBasicManual.ttf", 16, kFontSmooth);
        ChangeFolder("../295/");
        return Fonts[2] != 0;
    }
};

TEST_F(SettingsMenuTest, TabSlidesItOutAndBackInTenFramesAndReverses) {
    std::vector<int> out, back;
    headless::PressKey(kKeyTab);
    for (int i = 0; i < 12; ++i) {
        FramePresent(0);
        out.push_back(SettingsSlide);
    }
    const std::vector<int> expectedOut = {-268, -236, -204, -172, -140, -108,
                                          -76,  -44,  -12,  20,   20,   20};
    EXPECT_EQ(out, expectedOut);

    headless::PressKey(kKeyTab);
    for (int i = 0; i < 11; ++i) {
        FramePresent(0);
        back.push_back(SettingsSlide);
    }
    EXPECT_EQ(back.at(9), kSettingsSlideHidden);
    EXPECT_EQ(back.at(10), kSettingsSlideHidden);

    // Tab while it moves turns it round from where it is.
    headless::PressKey(kKeyTab);
    FramePresent(0);
    FramePresent(0);
    headless::PressKey(kKeyTab);
    std::vector<int> reversed;
    for (int i = 0; i < 3; ++i) {
        FramePresent(0);
        reversed.push_back(SettingsSlide);
    }
    EXPECT_EQ(reversed, (std::vector<int>{-268, -300, -300}));
}

TEST_F(SettingsMenuTest, DrawsOnlyWhileOutWithItsBottomEdgeUnderTheSlide) {
    const auto edgeLit = [](int y) {
        const uint32_t c = PixelAt(kW / 2, y);
        return Red(c) > 150 && Green(c) > 230 && Blue(c) > 150;
    };
    SettingsMenu();  // hidden: nothing drawn
    EXPECT_FALSE(edgeLit(kOut - kSettingsSlideHidden - 2));

    SettingsMenuOpen = 1;
    for (int i = 0; i < 10; ++i) SettingsMenu();
    ASSERT_EQ(SettingsSlide, kOut);
    EXPECT_TRUE(edgeLit(318));
    EXPECT_TRUE(edgeLit(319));
    EXPECT_FALSE(edgeLit(321));
}

TEST_F(SettingsMenuTest, ClicksCycleOptionsAndBringStrayValuesBackIntoRange) {
    struct Case {
        const char* what;
        int slot, y;  // the option's layout row
        int x;
        std::vector<std::string> drivers;
        int before, after;
    };
    const std::vector<std::string> three = {"OpenAL", "SDL Mixer", "Silent"};
    const Case cases[] = {
        {"windowed to full screen", Fullscreen, 30, 20, three, 0, 1},
        {"full screen to windowed", Fullscreen, 30, 20, three, 1, 0},
        {"OpenGL to DirectX 9", GfxEngine, 184, 20, three, 0, 1},
        {"DirectX 9 to DirectX 7", GfxEngine, 184, 20, three, 1, 2},
        {"DirectX 7 to OpenGL", GfxEngine, 184, 20, three, 2, 0},
        {"a stray drawing back end", GfxEngine, 184, 20, three, 7, 2},
        {"a negative drawing back end", GfxEngine, 184, 20, three, -4, 0},
        {"a huge slow-system value", SlowSystem, 146, 20, three, 2147483647, 0},
        {"the last audio back end", AudioDriverIndex, 20, kAudioX, three, 2, 0},
        {"the first audio back end", AudioDriverIndex, 20, kAudioX, three, 0, 1},
        {"no audio back ends", AudioDriverIndex, 20, kAudioX, {}, 0, 0},
        {"one audio back end, index past it", AudioDriverIndex, 20, kAudioX, {"Silent"}, 3, 0},
        {"resolution icon resets the wide flag", Widescreen, 70, 20, three, 1, 0},
    };
    for (const Case& c : cases) {
        AudioDrivers = c.drivers;
        Settings[c.slot] = c.before;
        OutWithPointerAt(c.x + 10, c.y + kOut + 16);
        RunWithClick(1);
        EXPECT_EQ(Settings[c.slot], c.after) << c.what;
    }

    // Without a click, hovering changes nothing; a click beside the option neither.
    Settings[Fullscreen] = 0;
    OutWithPointerAt(20 + 10, 30 + kOut + 16);
    SettingsMenu();
    OutWithPointerAt(20 + 10, 30 + kOut + 60);
    RunWithClick(1);
    EXPECT_EQ(Settings[Fullscreen], 0);
}

TEST_F(SettingsMenuTest, CycleOptionReportsTheHover) {
    SettingsSlide = 0;
    FrameMouseX = 25;
    FrameMouseY = 45;
    FrameClickLeft = 0;
    EXPECT_EQ(CycleOption(Fullscreen, 20, 30, 13, "Windowed", "Fullscreen", "", "", "", ""), 1);
    FrameMouseX = 20;  // MouseOver is strict: the left edge is outside
    EXPECT_EQ(CycleOption(Fullscreen, 20, 30, 13, "Windowed", "Fullscreen", "", "", "", ""), 0);
}

TEST_F(SettingsMenuTest, ResolutionStepsThroughTheModesAndWraps) {
    SetModes({{640, 480}, {800, 600}, {1024, 768}, {1920, 1080}});
    struct Case {
        const char* what;
        int key, button;  // a key hit or a click, 0 for none
        int before, after;
    };
    const Case cases[] = {
        {"Right from the last", kKeyRight, 0, 4, 1},
        {"left click from the last", 0, 1, 4, 1},
        {"Right from the second", kKeyRight, 0, 2, 3},
        {"Left from the first", kKeyLeft, 0, 1, 4},
        {"right click from the first", 0, 2, 1, 4},
        {"Left from the third", kKeyLeft, 0, 3, 2},
        {"Up from a stray index", 38, 0, 9, 1},
        {"Down from a stray index", 40, 0, 9, 4},
        {"Down from below the list", 40, 0, -3, 4},
        {"Right from no index yet", kKeyRight, 0, 0, 1},
    };
    for (const Case& c : cases) {
        Settings[ModeIndex] = c.before;
        // Over the size text under the icon: the row, not the option, takes the click.
        OutWithPointerAt(60, 70 + kOut + 45);
        if (c.key != 0) headless::PressKey(c.key);
        if (c.button != 0) headless::Click(c.button);
        SettingsMenu();
        EXPECT_EQ(Settings[ModeIndex], c.after) << c.what;
        EXPECT_EQ(Settings[Width], DisplayModeWidths[c.after]) << c.what;
        EXPECT_EQ(Settings[Height], DisplayModeHeights[c.after]) << c.what;
    }

    // Keys do nothing while the pointer is elsewhere.
    Settings[ModeIndex] = 2;
    OutWithPointerAt(400, 400);
    headless::PressKey(kKeyRight);
    SettingsMenu();
    EXPECT_EQ(Settings[ModeIndex], 2);
}

TEST_F(SettingsMenuTest, ResolutionWithoutModesKeepsEverything) {
    DisplayModeCount = 0;
    Settings[ModeIndex] = 0;
    Settings[Width] = 1024;
    Settings[Height] = 768;
    for (int key : {kKeyRight, kKeyLeft}) {
        OutWithPointerAt(60, 70 + kOut + 45);
        headless::PressKey(key);
        RunWithClick(1);
    }
    EXPECT_EQ(Settings[ModeIndex], 0);
    EXPECT_EQ(Settings[Width], 1024);
    EXPECT_EQ(Settings[Height], 768);
}

TEST_F(SettingsMenuTest, QualityRemarkFollowsTheHeight) {
    struct Case { int height; const char* text; };
    const Case cases[] = {{600, "Small (Bit blurry)"},         {899, "Small (Bit blurry)"},
                          {900, "Native (Crisp, Clear)"},      {960, "Native (Crisp, Clear)"},
                          {961, "Bigger! (High-Definition!)"}, {2160, "Bigger! (High-Definition!)"}};
    for (const Case& c : cases) EXPECT_EQ(QualityFor(c.height).text, c.text) << c.height;
}

TEST_F(SettingsMenuTest, SlidersFollowADragAndSnapNearTheEnds) {
    struct Case {
        int pointerFromTrack;  // FrameMouseX - (ax - 2)
        bool held;
        int raw, stored;
    };
    const Case cases[] = {
        {3, true, 3, 0},   {5, true, 5, 0},     {6, true, 6, 6},   {50, true, 50, 50},
        {94, true, 94, 94}, {95, true, 95, 100}, {99, true, 99, 100},
        {0, true, 42, 42},  // on the track's left edge: outside, unchanged
        {50, false, 42, 42},
    };
    const int y = 70 + kOut;  // the master volume's track
    for (const Case& c : cases) {
        headless::SetMouseButton(1, c.held);
        OutWithPointerAt(kAudioX - 2 + c.pointerFromTrack, y + 5);
        SettingsSlide = kOut;
        EXPECT_EQ(Slider(42, kAudioX, y, "Master Volume"), c.raw) << c.pointerFromTrack;

        Settings[MasterVolume] = 42;
        SettingsMenu();
        EXPECT_EQ(Settings[MasterVolume], c.stored) << c.pointerFromTrack;
    }
    headless::SetMouseButton(1, false);

    // A stray value from the file is brought to the nearest end by the same snapping.
    Settings[SoundVolume] = 5000;
    Settings[MusicVolume] = -7;
    OutWithPointerAt(0, 470);
    SettingsMenu();
    EXPECT_EQ(Settings[SoundVolume], 100);
    EXPECT_EQ(Settings[MusicVolume], 0);
}

TEST_F(SettingsMenuTest, ClickingAJoystickNameSwitchesItAndGreysIt) {
    if (!LoadMenuFont()) GTEST_SKIP() << "no font to measure the joystick names with";
    JoystickPortCount = 2;
    JoystickPorts[1].name = "First Pad";
    JoystickPorts[1].enabled = 1;
    JoystickPorts[2].name = "Second Pad";
    JoystickPorts[2].enabled = 1;
    const int firstY = kOut + 230;
    // The brightest green in the upper part of the first name's line (the next line's letters
    // start 15 below): full for an enabled pad's letters.
    const auto brightness = [&] {
        int most = 0;
        const Pixels line = GrabScreenPixels(kAudioX, firstY, 120, 8);
        for (uint32_t c : line.argb) most = std::max(most, Green(c));
        return most;
    };

    ClearScreen();
    OutWithPointerAt(kAudioX + 5, firstY + 7);
    SettingsMenu();
    const int enabledLit = brightness();
    ASSERT_GT(enabledLit, 200);

    OutWithPointerAt(kAudioX + 5, firstY + 7);
    RunWithClick(1);
    EXPECT_EQ(JoystickPorts[1].enabled, 0);
    EXPECT_EQ(JoystickPorts[2].enabled, 1);
    ClearScreen();
    SettingsMenu();  // the click's own frame still drew the line as it was
    EXPECT_LT(brightness(), 100) << "a disabled pad is drawn at a fifth";

    OutWithPointerAt(kAudioX + 5, firstY + 7);
    RunWithClick(1);
    EXPECT_EQ(JoystickPorts[1].enabled, 1);

    // Right of the name's end is not the name.
    OutWithPointerAt(kAudioX + TextWidthOf("First Pad") + 3, firstY + 7);
    RunWithClick(1);
    EXPECT_EQ(JoystickPorts[1].enabled, 1);
}

class SettingsApply : public SettingsMenuTest {
protected:
    void SetUp() override {
        SettingsMenuTest::SetUp();
        CloseDisplay();
        SetDefaultSettings();
        Settings[GfxEngine] = 2;
        // Presented frames that take 100 virtual ms end every engine test at its first steps,
        // in slow-system mode too (which presents every second frame).
        headless::SetPresentHook([](int) { headless::AdvanceClock(100); });
        DisplaySetup();  // the start-up opening: 800 x 600 in a window
        ASSERT_EQ(DisplayOpened, 1);
        Scores game;
        game.Name = "Finished Earlier";
        game.Score = 1234;
        LocalScores.push_front(game);
        opensBefore = headless::OpenWindowCount();
    }
    void TearDown() override {
        LocalScores.clear();
        SettingsMenuTest::TearDown();
    }

    // Pointer on Apply and a click, with the menu out.
    static void ClickApply() {
        // A slow-system engine test never sees its rate fall on the twin: the frames it does not
        // present take no virtual time.
        Settings[SlowSystem] = 0;
        SettingsMenuOpen = 1;
        SettingsSlide = kOut;
        FrameMouseX = 20;
        FrameMouseY = kOut + 262;
        headless::Click(1);
        SettingsSlide = kOut - kSettingsSlideStep;
        SettingsMenu();
    }
    std::string SetupLine(const std::string& key) {
        for (const std::string& line : ReadLines(files() / "Setup.ini"))
            if (line.rfind(key + "=", 0) == 0) return line;
        return "";
    }

    int opensBefore = 0;
};

TEST_F(SettingsApply, ReopensTheDisplayWithTheSettingsWritten) {
    Settings[ModeIndex] = 0;
    Settings[Width] = 1024;
    Settings[Height] = 768;
    ClickApply();
    EXPECT_EQ(SettingsMenuOpen, 0);
    EXPECT_EQ(headless::OpenWindowCount(), opensBefore + 1);
    EXPECT_EQ(DisplayWidth, 1024);
    EXPECT_EQ(DisplayHeight, 768);
    EXPECT_EQ(DisplayPixelWidth(), 1024);
    EXPECT_EQ(SetupLine("Width"), "Width=1024");
    EXPECT_EQ(SetupLine("Height"), "Height=768");
    ASSERT_EQ(LocalScores.size(), 1u) << "the games of this run outlive the reopening";
    EXPECT_EQ(LocalScores.front().Name, "Finished Earlier");
    EXPECT_EQ(PathKind(kCrashMarker), 0);
}

TEST_F(SettingsApply, AnImpossibleRequestFallsBackWithoutEndingTheRun) {
    struct Case {
        const char* what;
        int width, height, fullscreen;
        std::vector<DisplayMode> modes;
        int displayWidth;
        bool notice;
    };
    const Case cases[] = {
        {"a size the display does not list", 1280, 1024, 0, headless::DefaultDisplayModes(), 800,
         false},
        {"full screen at an unlisted depth", 1024, 768, 1, {{1024, 768, 8, 60}}, 1024, true},
    };
    for (const Case& c : cases) {
        headless::SetDisplayModes(c.modes);
        Notices.clear();
        Settings[Width] = c.width;
        Settings[Height] = c.height;
        Settings[Fullscreen] = c.fullscreen;
        ClickApply();
        EXPECT_EQ(DisplayWidth, c.displayWidth) << c.what;
        EXPECT_TRUE(DisplayIsOpen()) << c.what;
        const bool noticed = std::any_of(Notices.begin(), Notices.end(), [](const ment& n) {
            return n.txt == "Can't set to fullscreen in this resolution.";
        });
        EXPECT_EQ(noticed, c.notice) << c.what;
        EXPECT_EQ(LocalScores.size(), 1u) << c.what;
        headless::SetDisplayModes(headless::DefaultDisplayModes());
        Settings[Fullscreen] = 0;
        Settings[Width] = 800;
        Settings[Height] = 600;
        ClickApply();
    }
}

}  // namespace
