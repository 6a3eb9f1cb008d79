// The headless twin seen through the platform's own operations: the virtual clock, scripted keys,
// mouse, typed text and joysticks, the present hook, process end and the reset of Install.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "platform/headless/headless.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Install(); }
    void TearDown() override {
        CloseDisplay();
        headless::Install();
    }
};

TEST_F(HeadlessTest, ClockMovesOnlyWhenSleptOrAdvanced) {
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds);
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds);
    Sleep(250);
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds + 250);
    Sleep(0);
    Sleep(-40);
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds + 250);
    headless::AdvanceClock(16);
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds + 266);
    headless::Install();
    EXPECT_EQ(Milliseconds(), headless::kStartMilliseconds);
}

TEST_F(HeadlessTest, KeyPressesCountOnceAndHoldingDoesNot) {
    headless::SetKey(65, true);
    EXPECT_TRUE(KeyIsDown(65));
    headless::SetKey(65, true);  // still held: no new press
    EXPECT_EQ(KeyHits(65), 1);
    EXPECT_EQ(KeyHits(65), 0);  // hits are taken by the call
    EXPECT_TRUE(KeyIsDown(65));

    headless::SetKey(65, false);
    headless::PressKey(65);
    headless::PressKey(65);
    EXPECT_FALSE(KeyIsDown(65));
    EXPECT_EQ(KeyHits(65), 2);
    EXPECT_EQ(KeyHits(66), 0);  // other keys untouched

    headless::PressKey(27);
    headless::SetKey(13, true);
    FlushKeyboard();  // forgets presses, not what is held
    EXPECT_EQ(KeyHits(27), 0);
    EXPECT_EQ(KeyHits(13), 0);
    EXPECT_TRUE(KeyIsDown(13));
}

TEST_F(HeadlessTest, SidedModifiersMoveTheGenericKeyAsOnARealKeyboard) {
    headless::SetKey(164, true);  // left Alt
    EXPECT_TRUE(KeyIsDown(18));
    headless::SetKey(165, true);
    headless::SetKey(164, false);
    EXPECT_TRUE(KeyIsDown(18));
    headless::SetKey(165, false);
    EXPECT_FALSE(KeyIsDown(18));
    EXPECT_EQ(KeyHits(18), 1);
    headless::SetKey(17, true);  // the generic key alone, as a test may set it
    EXPECT_TRUE(KeyIsDown(17));
    EXPECT_FALSE(KeyIsDown(162));
}

TEST_F(HeadlessTest, NumbersOutsideTheTablesAreSafe) {
    headless::SetKey(300, true);
    headless::SetKey(-1, true);
    headless::SetMouseButton(3, true);
    for (int key : {0, -1, 256, 1000, INT32_MIN}) {
        EXPECT_EQ(KeyHits(key), 0) << key;
        EXPECT_FALSE(KeyIsDown(key)) << key;
    }
    for (int button : {0, 3, -1, 99}) {
        EXPECT_EQ(MouseHits(button), 0) << button;
        EXPECT_FALSE(MouseIsDown(button)) << button;
    }
}

TEST_F(HeadlessTest, MouseButtonsAndPosition) {
    headless::SetMouse(123, 45);
    EXPECT_EQ(MouseX(), 123);
    EXPECT_EQ(MouseY(), 45);
    headless::Click(2);
    headless::SetMouseButton(1, true);
    EXPECT_TRUE(MouseIsDown(1));
    EXPECT_FALSE(MouseIsDown(2));
    EXPECT_EQ(MouseHits(1), 1);
    EXPECT_EQ(MouseHits(2), 1);
    EXPECT_EQ(MouseHits(2), 0);
}

TEST_F(HeadlessTest, VirtualMouseFollowsTheVirtualResolution) {
    SelectDirect3D7Backend();
    ASSERT_TRUE(OpenDisplay(640, 480, 0, 0));
    SetVirtualResolution(1280, 960);
    headless::SetMouse(320, 120);
    EXPECT_FLOAT_EQ(VirtualMouseX(), 640.0f);
    EXPECT_FLOAT_EQ(VirtualMouseY(), 240.0f);
}

TEST_F(HeadlessTest, TypedTextComesOutInOrderWithoutTheSeparator) {
    headless::TypeText("H\xe9|!");
    EXPECT_EQ(NextTypedChar(), 'H');
    EXPECT_EQ(NextTypedChar(), 0xe9);  // Latin-1 codes are positive
    EXPECT_EQ(NextTypedChar(), '!');
    EXPECT_EQ(NextTypedChar(), 0);
    headless::TypeText("abc");
    FlushKeyboard();
    EXPECT_EQ(NextTypedChar(), 0);
}

// Typing on a screen that reads no text must not grow the queue for ever; what is kept is the
// oldest, in order, so text entry sees the start of what was typed.
TEST_F(HeadlessTest, TypedTextNobodyReadsIsBounded) {
    headless::TypeText(std::string(plat::kTypedQueueLimit, 'a') + std::string(5000, 'b'));
    size_t count = 0;
    while (const int c = NextTypedChar()) {
        EXPECT_EQ(c, 'a');
        ++count;
    }
    EXPECT_EQ(count, plat::kTypedQueueLimit);
}

TEST_F(HeadlessTest, CloseRequestStaysSet) {
    EXPECT_FALSE(CloseRequested());
    headless::RequestClose();
    EXPECT_TRUE(CloseRequested());
    EXPECT_TRUE(CloseRequested());
}

TEST_F(HeadlessTest, PresentHookSeesEveryFrame) {
    std::vector<int> frames;
    headless::SetPresentHook([&](int frame) {
        frames.push_back(frame);
        if (frame == 2) headless::PressKey(32);  // input for the next frame
    });
    Present(0);
    EXPECT_EQ(KeyHits(32), 0);
    Present(-1);
    EXPECT_EQ(KeyHits(32), 1);
    Present(0);
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(headless::PresentCount(), 3);

    // A hook may stop the program under test, or replace itself while it runs.
    headless::SetPresentHook([](int frame) {
        headless::SetPresentHook([](int) { throw std::runtime_error("second"); });
        throw std::runtime_error("first");
    });
    EXPECT_THROW(Present(0), std::runtime_error);
    try {
        Present(0);
        FAIL() << "the replacement hook did not run";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "second");
    }
}

TEST_F(HeadlessTest, EndProcessThrowsTheStatus) {
    try {
        EndProcess(3);
        FAIL() << "EndProcess returned";
    } catch (const headless::ProcessExit& e) {
        EXPECT_EQ(e.status, 3);
    }
}

TEST_F(HeadlessTest, InstallStartsFromAFreshState) {
    const std::string start = CurrentFolder();
    headless::SetKey(16, true);
    headless::PressKey(65);
    headless::TypeText("x");
    headless::Click(1);
    headless::RequestClose();
    headless::SetPresentHook([](int) { throw std::runtime_error("old hook"); });
    SeedRandom(77);
    ASSERT_TRUE(ChangeFolder(".."));

    headless::Install();
    EXPECT_FALSE(KeyIsDown(16));
    EXPECT_EQ(KeyHits(65), 0);
    EXPECT_EQ(NextTypedChar(), 0);
    EXPECT_EQ(MouseHits(1), 0);
    EXPECT_FALSE(CloseRequested());
    EXPECT_EQ(RandomState(), 4660);
    EXPECT_EQ(CurrentFolder(), start);
    EXPECT_NO_THROW(Present(0));
    EXPECT_EQ(headless::PresentCount(), 1);
    EXPECT_TRUE(headless::IsInstalled());
}

TEST_F(HeadlessTest, InstallWithARootLaysOutTheGameFolder) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "crockery-headless-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string start = CurrentFolder();
    headless::Install(pattern);
    EXPECT_EQ(CurrentFolder(), fs::canonical(pattern).string() + "/");
    EXPECT_EQ(PathKind("Files/Common"), 2);
    EXPECT_EQ(PathKind("Files/295"), 2);
    EXPECT_TRUE(ChangeFolder("Files/"));
    headless::Install();
    EXPECT_EQ(CurrentFolder(), start);
    fs::remove_all(pattern);
}

TEST_F(HeadlessTest, DisplayModesAndWindow) {
    EXPECT_GE(CountDisplayModes(), 8);
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024},
                        {1366, 768}, {1680, 1050}, {1920, 1080}})
        EXPECT_TRUE(DisplayModeExists(w, h, 32, 0)) << w << "x" << h;

    headless::SetDisplayModes({{1024, 768, 16, 75}});
    EXPECT_EQ(CountDisplayModes(), 1);
    EXPECT_EQ(GetDisplayMode(0).depth, 16);
    EXPECT_EQ(GetDisplayMode(1).width, 0);
    EXPECT_FALSE(DisplayModeExists(1024, 768, 32, 0));

    headless::SetOpenWindowFails(true);
    SelectDirect3D7Backend();
    EXPECT_FALSE(OpenDisplay(800, 600, 0, 0));
    EXPECT_FALSE(LastPlatformError().empty());
    EXPECT_FALSE(headless::WindowIsOpen());
    headless::SetOpenWindowFails(false);
    EXPECT_TRUE(OpenDisplay(800, 600, 32, 0));
    EXPECT_TRUE(headless::WindowIsOpen());
    EXPECT_EQ(headless::OpenWindowCount(), 1);
    CloseDisplay();
    EXPECT_FALSE(headless::WindowIsOpen());

    SetApplicationTitle("Caf\xe9");
    EXPECT_EQ(headless::WindowTitle(), "Caf\xe9");

    HidePointer();
    EXPECT_FALSE(headless::PointerVisible());
    ShowPointer();
    EXPECT_TRUE(headless::PointerVisible());
}

TEST_F(HeadlessTest, DateAndTimeAreScripted) {
    EXPECT_EQ(CurrentDateText(), "09 Dec 2025");
    EXPECT_EQ(CurrentTimeText(), "14:30:05");
    headless::SetDateTime("01 Jan 2030", "00:00:59");
    EXPECT_EQ(CurrentDateText(), "01 Jan 2030");
    EXPECT_EQ(CurrentTimeText(), "00:00:59");
}

TEST_F(HeadlessTest, JoysticksReadAsScriptedAndOtherPortsAsNothing) {
    plat::JoystickReading pad;
    pad.name = "Test Pad";
    pad.buttonMask = 0xFFF;
    pad.buttons = (1u << 0) | (1u << 11);
    pad.axis[kAxisX] = -1.0f;
    pad.axis[kAxisV] = 0.5f;
    pad.axis[kAxisHat] = 0.25f;
    headless::SetJoysticks({pad, plat::JoystickReading{}});

    EXPECT_EQ(JoystickCount(), 2);
    EXPECT_EQ(JoystickName(0), "Test Pad");
    EXPECT_EQ(JoystickButtonMask(0), 0xFFFu);
    EXPECT_TRUE(JoystickButtonDown(0, 0));
    EXPECT_FALSE(JoystickButtonDown(1, 0));
    EXPECT_TRUE(JoystickButtonDown(11, 0));
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisX), -1.0f);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisV), 0.5f);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisHat), 0.25f);
    EXPECT_FLOAT_EQ(JoystickAxis(1, kAxisHat), -1.0f);

    for (int port : {2, 3, -1}) {
        EXPECT_EQ(JoystickName(port), "") << port;
        EXPECT_EQ(JoystickButtonMask(port), 0u) << port;
        EXPECT_FALSE(JoystickButtonDown(0, port)) << port;
        EXPECT_FLOAT_EQ(JoystickAxis(port, kAxisY), 0.0f) << port;
        EXPECT_FLOAT_EQ(JoystickAxis(port, kAxisHat), -1.0f) << port;
    }
    for (int button : {-1, 32, 1000}) EXPECT_FALSE(JoystickButtonDown(button, 0)) << button;
    for (int axis : {-1, 7, 100}) EXPECT_FLOAT_EQ(JoystickAxis(0, axis), 0.0f) << axis;

    // Unplugged between frames: the port count drops and the old port reads as nothing.
    headless::SetJoysticks({});
    EXPECT_EQ(JoystickCount(), 0);
    EXPECT_FALSE(JoystickButtonDown(0, 0));
}

}  // namespace
