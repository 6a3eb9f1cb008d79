// One-line text entry and the name entry screen, on the headless twin.
#include <gtest/gtest.h>

#include <vector>

#include "app/state.h"
#include "frame/present.h"
#include "headless_fixture.h"
#include "input/text_entry.h"
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
