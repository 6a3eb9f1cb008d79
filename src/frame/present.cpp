// FramePresent: the fixed order of per-frame services that ends every frame of every screen.
#include "frame/present.h"

#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "app/shutdown.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/pause.h"
#include "game/objects.h"
#include "platform/platform.h"
#include "screens/settings_menu.h"

int LastFrameEnd = 0;
int FrameTime = 0;
int FrameRate = 0;
int SkipFrame = 0;
int ShowStats = 1;
int CollectedCount = 0;
int PauseState = 0;
int SettingsMenuOpen = 0;
int FrameMouseX = 0, FrameMouseY = 0;
int FrameClickLeft = 0, FrameClickRight = 0;

namespace {

constexpr float kOverlayScale = 1.5f;
constexpr int kOverlayX = 2;
constexpr int kPointerFrame = 63;
constexpr int kPointerOffset = 12;  // half of the 16-pixel frame at the overlay's scale 1.5

void DrawStatsOverlay() {
    DrawTextAligned(kOverlayX, 2, std::to_string(FrameRate), kAlignStart, kAlignStart);
    SelectFont(Fonts[2]);
    const std::string lines[] = {
        "Collection : " + std::to_string(CollectedCount),
        "Used Memory : " + std::to_string(MemoryInUse()),
        "Drawn Images : " + std::to_string(DrawCounts[kCountImages]) + "/" +
            std::to_string(DrawBudgets[kCountImages]),
        "Drawn Glow : " + std::to_string(DrawCounts[kCountGlow]) + "/" +
            std::to_string(DrawBudgets[kCountGlow]),
        "Drawn Particles : " + std::to_string(DrawCounts[kCountParticles]) + "/" +
            std::to_string(DrawBudgets[kCountParticles]),
    };
    int y = 40;
    for (const std::string& line : lines) {
        DrawTextAligned(kOverlayX, y, line, kAlignStart, kAlignStart);
        y += 20;
    }
    DrawTextAligned(kOverlayX, 150, "Hit F12 to remove this", kAlignStart, kAlignStart);
}

bool AltF4Down() {
    return KeyIsDown(kKeyF4) && (KeyIsDown(kKeyLeftAlt) || KeyIsDown(kKeyRightAlt));
}

}  // namespace

void ResetFrameState() {
    LastFrameEnd = 0;
    FrameTime = 0;
    FrameRate = 0;
    SkipFrame = 0;
    ShowStats = 1;
    CollectedCount = 0;
    PauseState = 0;
    SettingsMenuOpen = 0;
    FrameMouseX = FrameMouseY = 0;
    FrameClickLeft = FrameClickRight = 0;
}

int FramePresent(int showPointer) {
    int result = 0;

    DrawPointPopups();

    if (KeyHits(kKeyTab) > 0) {
        SettingsMenuOpen = 1 - SettingsMenuOpen;
        WriteSetup();
    }

    if (SkipFrame == 1) CollectedCount = CollectGarbage();

    // On the skipped frames of slow-system mode F11 and Escape stay unread, so a press made then
    // is still counted on the next presented frame.
    if (SkipFrame == 0 || Settings[SlowSystem] == 0) {
        if (KeyHits(kKeyF11) > 0) TakeScreenshot();
        if (KeyIsDown(kKeyEscape) && PauseState == 1) {
            PauseState = 2;
            result = PauseMenu();
            PauseState = 1;
        }
    }

    SettingsMenu();

    ResetDrawState();
    SetDrawScale(kOverlayScale, kOverlayScale);
    SelectFont(Fonts[1]);
    if (KeyHits(kKeyF12) > 0) ShowStats = 1 - ShowStats;
    if (ShowStats == 1) DrawStatsOverlay();

    if (showPointer == 1 || SettingsMenuOpen == 1)
        DrawImageFrame(IconStrip, VirtualMouseX() + kPointerOffset,
                       VirtualMouseY() + kPointerOffset, kPointerFrame);

    FrameMouseX = int(VirtualMouseX());
    FrameMouseY = int(VirtualMouseY());
    FrameClickLeft = MouseHits(1);
    FrameClickRight = MouseHits(2);

    // The frame is drawn but for the notices: let the device rasterise it while we sleep.
    FlushDrawing();

    // Sleeping 1 ms at a time instead of waiting for the vertical blank keeps 60 frames a second
    // on any refresh rate; the 2 ms allowance absorbs the sleep's overshoot.
    const double frameDue = LastFrameEnd - kPacingAllowanceMs + 1000.0 / kPacedFrameRate;
    do {
        Sleep(1);
    } while (Millis() < frameDue);

    SetDrawScale(1, 1);
    DrawNotices();

    if (Settings[SlowSystem] == 0 || SkipFrame == 0) Present(0);

    FrameTime = Millis() - LastFrameEnd;
    // The pacing makes FrameTime at least 15 ms; the guard only matters for a clock that jumps.
    FrameRate = (1000 / (FrameTime > 0 ? FrameTime : 1) + 2 * FrameRate) / 3;
    LastFrameEnd = Millis();

    SkipFrame = 1 - SkipFrame;

    if (AltF4Down() || CloseRequested()) Shutdown();
    return result;
}
