// The SDL host without a display: events pushed into SDL's queue come out of the polled input
// operations, and a virtual joystick is read, and unplugged, through the joystick operations.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_host.h"

namespace {

class SdlHostTest : public ::testing::Test {
protected:
    void SetUp() override { plat::SetHost(plat::MakeSdlHost()); }
    void TearDown() override { headless::Install(); }

    static void Key(SDL_Scancode code, bool down, bool repeat = false) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = code;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
};

TEST_F(SdlHostTest, KeyRepeatsAreNotPresses) {
    Key(SDL_SCANCODE_A, true);
    Key(SDL_SCANCODE_A, true, true);
    Key(SDL_SCANCODE_A, true, true);
    EXPECT_TRUE(KeyIsDown(65));
    EXPECT_EQ(KeyHits(65), 1);
    Key(SDL_SCANCODE_A, false);
    EXPECT_FALSE(KeyIsDown(65));
    Key(SDL_SCANCODE_F11, true);
    Key(SDL_SCANCODE_F11, false);
    Key(SDL_SCANCODE_F11, true);
    EXPECT_EQ(KeyHits(122), 2);
}

TEST_F(SdlHostTest, EitherSideHoldsTheGenericModifier) {
    Key(SDL_SCANCODE_LSHIFT, true);
    EXPECT_TRUE(KeyIsDown(160));
    EXPECT_TRUE(KeyIsDown(16));
    Key(SDL_SCANCODE_RSHIFT, true);
    Key(SDL_SCANCODE_LSHIFT, false);
    EXPECT_FALSE(KeyIsDown(160));
    EXPECT_TRUE(KeyIsDown(161));
    EXPECT_TRUE(KeyIsDown(16));  // right shift still holds it
    Key(SDL_SCANCODE_RSHIFT, false);
    EXPECT_FALSE(KeyIsDown(16));
    EXPECT_EQ(KeyHits(16), 1);  // one press of "shift", though two keys went down
    EXPECT_EQ(KeyHits(160), 1);
    EXPECT_EQ(KeyHits(161), 1);

    Key(SDL_SCANCODE_RALT, true);
    EXPECT_TRUE(KeyIsDown(165));
    EXPECT_TRUE(KeyIsDown(18));
    EXPECT_FALSE(KeyIsDown(164));
}

TEST_F(SdlHostTest, TypedTextArrivesAsLatin1) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strcpy(e.text.text, "\xc3\xa9|\xe2\x82\xac" "a");  // é | € a
    Push(e);
    EXPECT_EQ(NextTypedChar(), 0xe9);
    EXPECT_EQ(NextTypedChar(), 'a');
    EXPECT_EQ(NextTypedChar(), 0);
}

TEST_F(SdlHostTest, MouseButtonsAndClose) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 40;
    e.button.y = 30;
    Push(e);
    e.type = SDL_MOUSEBUTTONUP;
    Push(e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_MIDDLE;  // no number for it
    Push(e);
    EXPECT_EQ(MouseHits(2), 1);
    EXPECT_FALSE(MouseIsDown(2));
    EXPECT_EQ(MouseX(), 40);  // no window: window pixels are back-buffer pixels
    EXPECT_EQ(MouseY(), 30);

    EXPECT_FALSE(CloseRequested());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    EXPECT_TRUE(CloseRequested());
}

TEST_F(SdlHostTest, FocusLossReleasesHeldKeys) {
    Key(SDL_SCANCODE_LEFT, true);
    EXPECT_TRUE(KeyIsDown(37));
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Push(e);
    EXPECT_FALSE(KeyIsDown(37));
}

TEST_F(SdlHostTest, VirtualJoystickIsReadAndSurvivesUnplugging) {
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 12, 1);
    if (device < 0) GTEST_SKIP() << "no virtual joystick support: " << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr);

    ASSERT_EQ(JoystickCount(), 1);  // seen through the device-added event
    EXPECT_EQ(JoystickButtonMask(0), 0xFFFu);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisHat), -1.0f);

    SDL_JoystickSetVirtualAxis(stick, 0, -32768);
    SDL_JoystickSetVirtualAxis(stick, 5, 32767);
    SDL_JoystickSetVirtualButton(stick, 3, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTUP);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisX), -1.0f);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisV), 1.0f);
    EXPECT_TRUE(JoystickButtonDown(3, 0));
    EXPECT_FALSE(JoystickButtonDown(2, 0));
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisHat), 0.125f);

    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(device);
    EXPECT_EQ(JoystickCount(), 1);  // the port stays, so bindings keep their meaning
    EXPECT_FALSE(JoystickButtonDown(3, 0));
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisX), 0.0f);
    EXPECT_FLOAT_EQ(JoystickAxis(0, kAxisHat), -1.0f);
    EXPECT_FLOAT_EQ(JoystickAxis(1, kAxisHat), -1.0f);
}

TEST_F(SdlHostTest, NoDisplayMeansOpenDisplayFailsWithAReason) {
    if (SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "a display is available";
    SelectDirect3D7Backend();
    EXPECT_FALSE(OpenDisplay(640, 480, 0, 0));
    EXPECT_FALSE(LastPlatformError().empty());
    EXPECT_EQ(CountDisplayModes(), 0);
}

}  // namespace
