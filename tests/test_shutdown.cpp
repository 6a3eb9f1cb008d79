// The shutdown on the headless twin: everything saved before the thanks screen shows, the release
// wait and the press wait on the virtual clock, and the ways the screen can be ended.
#include <fstream>
#include <functional>
#include <string>

#include "app/display.h"
#include "app/log.h"
#include "app/shutdown.h"
#include "frame/present.h"
#include "headless_fixture.h"
#include "input/controls.h"
#include "scores/scores.h"

namespace {

namespace fs = std::filesystem;

constexpr int kKeyA = 65;
constexpr int kReleaseWaitMs = kThanksReleasePasses * kThanksPassMs;

struct Abort {};  // thrown by the present hook when the screen would never end

class ShutdownTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(320, 240);
        ChangeFolder("Files/");
        OpenLog();
        ChangeFolder("295/");
        plat::JoystickReading pad;
        pad.buttonMask = 0xF;
        headless::SetJoysticks({pad});
        ProbeJoysticks();
    }
    void TearDown() override {
        headless::SetPresentHook(nullptr);
        HeadlessFixture::TearDown();
    }

    // Runs Shutdown to its end; the exit status, or -1 when it returned or was aborted.
    static int Run() {
        try {
            return ExitStatusOf(Shutdown);
        } catch (const Abort&) {
            return -1;
        }
    }
};

// One way to end the thanks screen: held (true) or let go (false).
struct Input {
    const char* name;
    std::function<void(bool)> set;
};

const Input kInputs[] = {
    {"a key", [](bool down) { headless::SetKey(kKeyA, down); }},
    {"the left button", [](bool down) { headless::SetMouseButton(1, down); }},
    {"the right button", [](bool down) { headless::SetMouseButton(2, down); }},
    {"a joystick button",
     [](bool down) {
         plat::JoystickReading pad;
         pad.buttonMask = 0xF;
         pad.buttons = down ? 2u : 0u;
         headless::SetJoysticks({pad});
     }},
    {"a joystick axis",
     [](bool down) {
         plat::JoystickReading pad;
         pad.buttonMask = 0xF;
         pad.axis[kAxisX] = down ? -1.0f : 0.0f;
         headless::SetJoysticks({pad});
     }},
    {"Alt+F4",
     [](bool down) {
         headless::SetKey(kKeyLeftAlt, down);
         headless::SetKey(kKeyF4, down);
     }},
};

TEST_F(ShutdownTest, SavesEverythingBeforeTheThanksScreenShows) {
    Scores record;
    record.Name = "Ada";
    record.Score = 1234;
    LocalScores.push_back(record);
    bool savedFirst = false;
    std::vector<std::string> logAtShow;
    headless::SetPresentHook([&](int frame) {
        if (frame != 1) return;
        savedFirst = fs::exists(files() / "Setup.ini") && fs::exists(gameFolder() / "nuscores.dat");
        logAtShow = ReadLines(files() / "Debug.txt");
        headless::SetKey(kKeyA, true);  // held through the release wait: ends it later
    });
    const int start = Millis();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(savedFirst);
    const std::vector<std::string> farewell = {"Closing Up", "", "Bye!", "", "Play again, soon!!"};
    ASSERT_GE(logAtShow.size(), farewell.size());
    EXPECT_EQ(std::vector<std::string>(logAtShow.end() - 5, logAtShow.end()), farewell);
    EXPECT_FALSE(LogIsOpen());
    EXPECT_FALSE(headless::WindowIsOpen());
    EXPECT_TRUE(headless::PointerVisible());
    // A key held for good is taken as let go after the release wait, then as the press.
    EXPECT_EQ(Millis() - start, kReleaseWaitMs);
}

// The marker of a display set-up still loading, when the window is closed during it.
TEST_F(ShutdownTest, ClosingWhileLoadingLeavesNoCrashMarker) {
    std::ofstream(gameFolder() / kCrashMarker).put('\n');
    headless::RequestClose();
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(fs::exists(gameFolder() / kCrashMarker));
}

TEST_F(ShutdownTest, WaitsForEverythingToBeLetGoThenForAPress) {
    constexpr int kPressAfterPasses = 3;
    for (const Input& input : kInputs) {
        HeadlessFixture::TearDown();
        SetUp();
        // Held from before the screen (the press that asked to leave), let go as it shows.
        input.set(true);
        int shown = 0;
        headless::SetPresentHook([&](int) {
            ++shown;
            if (shown == 1) input.set(false);
            if (shown == 1 + kPressAfterPasses) input.set(true);
            if (shown > 50) throw Abort{};
        });
        const int start = Millis();
        EXPECT_EQ(Run(), 0) << input.name;
        // One release pass, then press-wait passes until the press is seen.
        EXPECT_EQ(Millis() - start, kThanksPassMs * (1 + kPressAfterPasses)) << input.name;
    }
}

TEST_F(ShutdownTest, InputHeldFromTheStartWaitsOutTheReleaseWait) {
    for (const Input& input : kInputs) {
        HeadlessFixture::TearDown();
        SetUp();
        input.set(true);
        const int start = Millis();
        EXPECT_EQ(Run(), 0) << input.name;
        EXPECT_EQ(Millis() - start, kReleaseWaitMs) << input.name;
    }
}

TEST_F(ShutdownTest, ASecondCloseRequestEndsTheThanksScreen) {
    int shown = 0;
    headless::SetPresentHook([&](int) {
        if (++shown == 3) headless::RequestClose();
        if (shown > 50) throw Abort{};
    });
    const int start = Millis();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(Millis() - start, kThanksPassMs * 3);
}

// F11 and F12 belong to the screenshot and the overlay, so they are no press here.
TEST_F(ShutdownTest, F11AndF12DoNotEndTheThanksScreen) {
    int shown = 0;
    headless::SetPresentHook([&](int) {
        ++shown;
        if (shown == 2) headless::SetKey(kKeyF11, true);
        if (shown == 3) headless::SetKey(kKeyF12, true);
        if (shown == 5) {
            headless::SetKey(kKeyF11, false);
            headless::SetKey(kKeyF12, false);
            headless::SetKey(kKeyA, true);
        }
        if (shown > 50) throw Abort{};
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(shown, 5);
}

}  // namespace
