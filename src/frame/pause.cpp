// The pause menu: the frozen game frame spinning and pulsing behind a scatter of the window title,
// with "Continue" and "Quit" on a dark panel. A nested frame loop inside FramePresent.
#include "frame/pause.h"

#include <cmath>
#include <numbers>
#include <string>

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "input/controls.h"
#include "platform/platform.h"

namespace {

// Keys read by the menu besides Escape.
constexpr int kKeySpace = 32;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

constexpr int kScatterSeed = 37171650;  // the same title scatter every frame
constexpr int kPlayers = 4;
constexpr float kSpinPerFrame = 0.1f;    // degrees
constexpr float kPhasePerFrame = 0.4f;   // degrees
constexpr int kScatterFirstPart = 140;   // title copies drawn under the panel
constexpr int kScatterLast = 180;        // the rest are drawn over it
constexpr int kScatterShades = 5;        // each colour channel is 50 x 1..5
constexpr float kScatterAlpha = 0.4f;
constexpr int kItemStep = 60;            // virtual units between the items
constexpr int kItemIndent = 20;          // the highlighted item moves right by this
constexpr int kItemMargin = 10;
constexpr int kMenuFont = 7;             // Fonts slot of the items and the scatter

// Held inputs of one frame, sampled once so every sub-step of the frame agrees.
struct MenuInput {
    bool up = false;
    bool down = false;
    bool select = false;
};

bool AnyPlayerHolds(int control) {
    for (int player = 1; player <= kPlayers; ++player)
        if (ControlDown(control, player)) return true;
    return false;
}

MenuInput ReadMenuInput() {
    MenuInput input;
    input.up = AnyPlayerHolds(kControlUp) || KeyIsDown(kKeyUp);
    input.down = AnyPlayerHolds(kControlDown) || KeyIsDown(kKeyDown);
    input.select =
        AnyPlayerHolds(kControlAction1) || AnyPlayerHolds(kControlAction2) || KeyIsDown(kKeySpace);
    return input;
}

// Escape opens the menu and may close it; either way it must be let go first so that one press
// does not act twice. A close request stops the wait: the next FramePresent acts on it.
void AwaitEscapeRelease() {
    for (int pass = 0; pass < kPauseReleasePasses && KeyIsDown(kKeyEscape) && !CloseRequested(); ++pass)
        Sleep(kPauseReleasePassMs);
}

float SinDegrees(float degrees) { return std::sin(degrees * std::numbers::pi_v<float> / 180.0f); }

void SetPulseScale(float phase) {
    SetScale(1.5f + 0.5f * SinDegrees(phase), 1.5f + 0.5f * SinDegrees(1.3f * phase));
}

// Copies first..last of the scatter. The caller seeds the generator, so every frame draws the
// same positions and colours; only the spin and the pulse move them.
void DrawTitleScatter(int first, int last, float spin) {
    for (int i = first; i <= last; ++i) {
        SetRotation(spin + 2.0f * float(i));
        const int blue = RandomInt(1, kScatterShades);
        const int green = RandomInt(1, kScatterShades);
        const int red = RandomInt(1, kScatterShades);
        SetColour(float(red * 50), float(green * 50), float(blue * 50), kScatterAlpha);
        const int y = RandomInt(0, VirtualHeight);
        const int x = RandomInt(0, VirtualWidth);
        DrawTextAligned(x, y, WindowTitle, kAlignCentre, kAlignCentre);
    }
}

}  // namespace

int PauseMenu() {
    AwaitEscapeRelease();

    // Pause screens are centre-handled like every image of the program, so the snapshot turns
    // about the middle of the screen.
    SetAutoCentreHandle(true);
    const int snapshot = CreateBlankImage(DisplayWidth, DisplayHeight, 1, kImageFiltered);
    GrabScreenToImage(snapshot, 0, 0, 0);

    float spin = 0.0f;
    float phase = 0.0f;
    int selection = 0;  // 0 "Continue", 1 "Quit"; 2 for one frame after moving down from "Quit"
    int latch = 1;      // set while the input that last acted is held; Space held at entry waits
    int result = 0;
    do {
        BeginFrame();
        ResetDrawState();
        SetBlendMode(kBlendCodeAlpha);

        phase += kPhasePerFrame;
        SetPulseScale(phase);
        spin += kSpinPerFrame;
        SetRotation(spin);
        SelectFont(Fonts[kMenuFont]);
        DrawImageFrame(snapshot, float(VirtualWidth / 2), float(VirtualHeight / 2), 0);

        SeedRandom(kScatterSeed);
        DrawTitleScatter(1, kScatterFirstPart, spin);

        SetRotation(0);
        SetScale(1);
        SetColour(0, 0, 0, 0.5f);
        const float panelX = float(VirtualWidth) * 0.1f;
        DrawFilledRect(panelX, float(VirtualHeight) * 0.375f, float(VirtualWidth / 6),
                       float(VirtualHeight / 4));

        const MenuInput input = ReadMenuInput();
        if (input.up && latch == 0) {
            selection -= 1;
            latch = 1;
        }
        if (input.down && latch == 0) {
            selection += 1;
            latch = 1;
        }
        if (!input.select && !input.down && !input.up) latch = 0;

        int y = int(float(VirtualHeight) * 0.375f);
        SetColour(255, 255, 255);
        SelectFont(Fonts[kMenuFont]);
        if (selection < 0) selection = 1;
        auto drawItem = [&](const char* label, int index, int choice) {
            y += kItemStep;
            int indent = 0;
            SetColour(255, 255, 255, 1);
            if (selection == index) {
                SetColour(255, 255, 0, 1);
                indent = kItemIndent;
                if (input.select && latch == 0) {
                    latch = 1;
                    result = choice;
                }
            }
            DrawTextAligned(int(panelX + float(indent + kItemMargin)), y, label, kAlignStart,
                            kAlignStart);
        };
        drawItem("Continue", 0, kPauseContinue);
        drawItem("Quit", 1, kPauseQuit);
        // Moving down from "Quit" shows one frame with nothing highlighted before wrapping.
        if (selection > 1) selection = 0;

        SetPulseScale(phase);
        DrawTitleScatter(kScatterFirstPart + 1, kScatterLast, spin);

        FramePresent(1);

        if (KeyIsDown(kKeyEscape)) result = selection == 1 ? kPauseQuit : kPauseContinue;
    } while (result == 0);

    FreeImage(snapshot);
    // The scatter's fixed seed must not carry over into the game.
    SeedRandom(Milliseconds());
    AwaitEscapeRelease();
    return result;
}
