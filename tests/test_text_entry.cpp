// One-line text entry and the name entry screen, on the headless twin.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/state.h"
#include "frame/present.h"
#include "headless_fixture.h"
#include "input/text_entry.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

using TextEntryTest = HeadlessFixture;

TEST_F(TextEntryTest, EditLineTakesOneCharacterAndOneBackspaceACall) {
    const struct {
        std::string before, typed;
        int backspaces;
        std::string after;
    } cases[] = {
        {"Player", "x", 0, "Playerx"},
        {"Player", "xy", 0, "Playerx"},       // the second waits for the next call
        {"Player", "", 3, "Playe"},           // one character per call however many presses
        {"P", "", 1, ""},
        {"", "", 1, ""},
        {"ab", "c", 1, "ab"},                 // typed first, then erased
        {"ab", "\x7f", 0, "ab\x7f"},
        {"ab", "\xe9", 0, "ab\xe9"},
        {"ab", "\xff", 0, "ab\xff"},
        {"ab", "\r", 0, "ab"},                // control codes never enter
        {"ab", "\x1b", 0, "ab"},
        {"ab", "|", 0, "ab"},                 // would split the score record
    };
    for (const auto& c : cases) {
        FlushKeyboard();
        headless::TypeText(c.typed);
        for (int i = 0; i < c.backspaces; ++i) headless::PressKey(kKeyBackspace);
        EXPECT_EQ(EditLine(c.before), c.after) << "'" << c.before << "' + '" << c.typed << "'";
    }
}

TEST_F(TextEntryTest, BackspacesEmptyTheNameOneAFrame) {
    std::string name = "Playerx";
    for (int i = 0; i < 7; ++i) {
        headless::PressKey(kKeyBackspace);
        name = EditLine(name);
        EXPECT_EQ(name.size(), 6u - i);
    }
    headless::PressKey(kKeyBackspace);
    EXPECT_EQ(EditLine(name), "");
}

// A host whose every sleep runs a script, so input can change while the screen waits for keys to
// be let go without presenting anything.
class SleepScriptedHost : public plat::Host {
public:
    bool IsHeadless() const override { return true; }
    int Milliseconds() override { return clock; }
    void Sleep(int milliseconds) override {
        if (milliseconds > 0) clock += milliseconds;
        if (onSleep) onSleep();
    }
    std::string DateText() override { return "09 Dec 2025"; }
    std::string TimeText() override { return "14:30:05"; }
    void PumpEvents() override {}
    std::vector<DisplayMode> DisplayModes() override { return {}; }
    bool OpenWindow(int, int, bool, bool, SDL_Window** window, std::string&) override {
        *window = nullptr;
        return true;
    }
    void CloseWindow() override {}
    void SetTitle(const std::string&) override {}
    void SetPointerVisible(bool) override {}
    void AfterPresent() override {
        ++presents;
        if (onPresent) onPresent();
    }
    int JoystickCount() override { return 0; }
    plat::JoystickReading Joystick(int) override { return {}; }

    int clock = 0;
    int presents = 0;
    std::function<void()> onSleep, onPresent;
};

// Return still held from the game's end must be let go before the screen shows, and Escape held
// to confirm must be let go before the screen returns.
TEST_F(TextEntryTest, WaitsForKeysStillHeldAtBothEnds) {
    auto owned = std::make_unique<SleepScriptedHost>();
    SleepScriptedHost& host = *owned;
    plat::SetHost(std::move(owned));
    plat::InputState& in = plat::Input();
    in.keyDown[kKeyReturn] = true;
    in.keyHits[kKeyReturn] = 1;

    int returnReleasedAt = -1, firstPresentAt = -1, confirmedAt = -1, escapeReleasedAt = -1;
    host.onSleep = [&] {
        if (returnReleasedAt < 0 && host.clock >= 500) {
            in.keyDown[kKeyReturn] = false;
            returnReleasedAt = host.clock;
        }
        if (confirmedAt >= 0 && escapeReleasedAt < 0 && host.clock >= confirmedAt + 300) {
            in.keyDown[kKeyEscape] = false;
            escapeReleasedAt = host.clock;
        }
    };
    host.onPresent = [&] {
        if (firstPresentAt < 0) firstPresentAt = host.clock;
        if (host.presents == 3) in.keyDown[kKeyEscape] = true;
        if (host.presents == 4) confirmedAt = host.clock;
    };
    PlayerName = "Player";
    EnterNameScreen();

    EXPECT_EQ(host.presents, 4);  // the Return press from before the screen never confirmed
    EXPECT_GE(returnReleasedAt, 500);
    EXPECT_GE(firstPresentAt, returnReleasedAt);
    EXPECT_GE(escapeReleasedAt, confirmedAt + 300);
    EXPECT_EQ(host.clock, escapeReleasedAt);
    EXPECT_EQ(PlayerName, "Player");
}

class NameEntryTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(320, 240);
        PlayerName = "Player";
    }
    // Runs the screen; `script` is called after each presented frame with its number (from 1)
    // and the name as it stood.
    void Run(const std::function<void(int)>& script) {
        frames = 0;
        names.clear();
        headless::SetPresentHook([&](int) {
            ++frames;
            names.push_back(PlayerName);
            script(frames);
        });
        EnterNameScreen();
        headless::SetPresentHook(nullptr);
    }
    int frames = 0;
    std::vector<std::string> names;
};

TEST_F(NameEntryTest, TypedTextArrivesOneCharacterAFrameUntilConfirmed) {
    const struct {
        const char* how;
        std::function<void()> confirm;
        std::function<void()> letGo;
    } cases[] = {
        {"Return", [] { headless::PressKey(kKeyReturn); }, [] {}},
        {"click", [] { headless::SetMouseButton(1, true); }, [] { headless::SetMouseButton(1, false); }},
        {"Escape", [] { headless::SetKey(kKeyEscape, true); }, [] { headless::SetKey(kKeyEscape, false); }},
    };
    for (const auto& c : cases) {
        PlayerName = "Player";
        Run([&](int frame) {
            if (frame == 1) headless::TypeText("ab");
            if (frame == 4) c.confirm();
            if (frame == 5) c.letGo();  // released in the screen's last frame
        });
        EXPECT_EQ(frames, 5) << c.how;
        ASSERT_GE(names.size(), 3u);
        EXPECT_EQ(names[0], "Player") << c.how;
        EXPECT_EQ(names[1], "Playera") << c.how;
        EXPECT_EQ(names[2], "Playerab") << c.how;
        EXPECT_EQ(PlayerName, "Playerab") << c.how;
    }
}

TEST_F(NameEntryTest, PressMadeBeforeTheScreenOpensIsForgotten) {
    headless::PressKey(kKeyReturn);
    headless::TypeText("zz");
    Run([&](int frame) {
        if (frame == 3) headless::PressKey(kKeyReturn);
    });
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(PlayerName, "Player");
}

TEST_F(NameEntryTest, ReseedsTheGeneratorFromTheClockOnLeaving) {
    Run([&](int frame) {
        if (frame == 2) headless::PressKey(kKeyReturn);
    });
    const int32_t after = RandomState();
    SeedRandom(Milliseconds());
    EXPECT_EQ(after, RandomState());
}

}  // namespace
