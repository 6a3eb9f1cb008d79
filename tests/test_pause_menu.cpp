// The pause menu played frame by frame on the headless twin: navigation with latches, the frame
// with nothing highlighted, Escape confirming, and the result reaching FramePresent's caller.
#include <functional>
#include <string>
#include <vector>

#include "app/assets.h"
#include "frame/pause.h"
#include "frame/present.h"
#include "headless_fixture.h"
#include "input/controls.h"

namespace {

constexpr int kEscape = 27, kSpace = 32, kUp = 38, kDown = 40, kZ = 90;
constexpr int kJoystickButton0 = 330;  // port 0, button 0

struct Abort {};  // thrown by the present hook when a script runs away

class PauseMenuTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(kSize, kSize * 3 / 4);
        ChangeFolder("Files/Common/");
        Fonts[7] = LoadFont("SVBasicManual.ttf", 16, kFontSmooth);
        ChangeFolder("../295/");
        LastFrameEnd = Millis();
    }
    void TearDown() override {
        headless::SetPresentHook(nullptr);
        HeadlessFixture::TearDown();
    }

    // Which item the frame just presented highlights: 'C', 'Q', or '-' for neither. The items
    // are drawn in yellow (no other yellow is on screen); "Continue" lies above "Quit".
    static char Highlighted() {
        const int height = kSize * 3 / 4;
        const int firstItem = height * 3 / 8 + 60, secondItem = firstItem + 60;
        const Pixels screen = GrabScreenPixels(0, 0, kSize, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < kSize; ++x) {
                const uint32_t p = ReadPixelArgb(screen, x, y);
                if (Red(p) > 200 && Green(p) > 200 && Blue(p) < 80)
                    return y < secondItem && y >= firstItem - 4 ? 'C' : y >= secondItem ? 'Q' : '?';
            }
        return '-';
    }

    static void Hold(const std::string& keys, bool down) {
        for (char k : keys) {
            switch (k) {
                case 'U': headless::SetKey(kUp, down); break;
                case 'D': headless::SetKey(kDown, down); break;
                case 'S': headless::SetKey(kSpace, down); break;
                case 'Z': headless::SetKey(kZ, down); break;
                case 'J': {
                    plat::JoystickReading pad;
                    pad.buttonMask = 0xF;
                    pad.buttons = down ? 1u : 0u;
                    headless::SetJoysticks({pad});
                    break;
                }
                default: break;
            }
        }
    }

    static constexpr int kSize = 320;
};

// frames[n] is what is held during menu frame n + 1; Escape is pressed right after the frame
// escapeAfter. highlights has one letter per presented menu frame.
struct Script {
    const char* name;
    std::vector<std::string> frames;
    int escapeAfter;
    const char* highlights;
    int result;
};

TEST_F(PauseMenuTest, NavigatesOneStepPerPressAndConfirms) {
    if (Fonts[7] == 0) GTEST_SKIP() << "no font file to draw the items with";
    // Player 2's second action button is a joystick button here, to show every player counts.
    plat::JoystickReading pad;
    pad.buttonMask = 0xF;
    headless::SetJoysticks({pad});
    ProbeJoysticks();
    SetDefaultBindings();
    Bindings[20 + kControlAction2] = kJoystickButton0;

    const Script scripts[] = {
        {"Space confirms Continue", {"", "S"}, 0, "CC", kPauseContinue},
        {"Space held at opening waits for a new press", {"S", "S", "", "S"}, 0, "CCCC",
         kPauseContinue},
        {"Up from Continue highlights Quit at once", {"", "U", "", "S"}, 0, "CQQQ", kPauseQuit},
        {"Down held at opening waits, then a held Down steps once",
         {"D", "", "D", "D", "D", "", "Z"}, 0, "CCQQQQQ", kPauseQuit},
        {"Down from Quit shows one frame with nothing highlighted",
         {"", "D", "", "D", "", "DS", "", "S"}, 0, "CQQ-CQQQ", kPauseQuit},
        {"a joystick button of player 2 confirms", {"U", "", "J"}, 0, "CCC", kPauseContinue},
        {"Escape confirms Quit", {"", "U", ""}, 3, "CQQ", kPauseQuit},
        {"Escape confirms Continue", {"", ""}, 2, "CC", kPauseContinue},
        {"Escape on the frame with nothing highlighted continues", {"", "U", "", "D"}, 4, "CQQ-",
         kPauseContinue},
    };
    for (const Script& s : scripts) {
        std::string seen;
        headless::SetPresentHook([&](int) {
            seen += Highlighted();
            const size_t frame = seen.size();
            if (frame > s.frames.size() + 3) throw Abort{};
            Hold("UDSZJ", false);
            if (frame == size_t(s.escapeAfter))
                headless::SetKey(kEscape, true);
            else if (frame < s.frames.size())
                Hold(s.frames[frame], true);
        });
        ClearScreen();  // the menu freezes what is on screen: not the previous script's menu
        Hold(s.frames.front(), true);
        PauseState = 2;
        int result = -1;
        try {
            result = PauseMenu();
        } catch (const Abort&) {
        }
        EXPECT_EQ(result, s.result) << s.name;
        EXPECT_EQ(seen, s.highlights) << s.name;
        headless::SetKey(kEscape, false);
        Hold("UDSZJ", false);
    }
}

TEST_F(PauseMenuTest, QuitReachesTheCallerOfFramePresent) {
    // The game frame the menu freezes: solid red.
    SetDrawColor(255, 0, 0);
    DrawFilledRect(0, 0, kSize, kSize);
    PauseState = 1;
    headless::SetKey(kEscape, true);
    const int opened = Millis();
    int menuFrames = 0;
    int redPixels = 0;
    int firstMenuFrameAt = 0, lastMenuFrameAt = 0;
    headless::SetPresentHook([&](int) {
        if (PauseState != 2) return;
        lastMenuFrameAt = Millis();
        if (++menuFrames == 1) {
            firstMenuFrameAt = Millis();
            for (uint32_t p : GrabScreenPixels(0, 0, kSize, kSize * 3 / 4).argb)
                redPixels += Red(p) > 150 && Green(p) < 100;
            headless::SetKey(kEscape, false);
            headless::SetKey(kUp, true);
        }
        if (menuFrames == 2) headless::SetKey(kUp, false);
        if (menuFrames == 3) headless::SetKey(kSpace, true);
        if (menuFrames > 10) throw Abort{};
    });

    EXPECT_EQ(FramePresent(0), kPauseQuit);
    EXPECT_EQ(PauseState, 1);
    EXPECT_EQ(menuFrames, 4);
    // Escape was never let go before the menu: it showed after the bounded wait.
    EXPECT_GE(firstMenuFrameAt - opened, kPauseReleasePasses * kPauseReleasePassMs);
    EXPECT_GT(redPixels, kSize * kSize * 3 / 8) << "the frozen frame is drawn behind the menu";
    // The scatter's fixed seed does not leak into the game: the generator restarts from the clock
    // as it read when the menu closed.
    EXPECT_EQ(RandomState(), lastMenuFrameAt);
}

}  // namespace
