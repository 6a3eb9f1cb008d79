// Shutdown: everything is saved before the thanks screen shows, so a player who kills the program
// there loses nothing; the screen then only waits for a release and a press.
#include "app/shutdown.h"

#include "app/assets.h"
#include "app/display.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "input/controls.h"
#include "platform/platform.h"
#include "scores/scores.h"

namespace {

constexpr int kLogoInset = 256;  // both logos' centres, from the top and the nearer side
constexpr int kTextLeft = 40;
constexpr int kTypefaceA = 1;
constexpr int kTypefaceB = 2;
constexpr int kHeadingStep = 6;
constexpr int kBodyStep = 5;

struct ThanksLine {
    const char* text;
    int below;  // virtual units below the middle of the screen
    int r, g, b;
};

constexpr ThanksLine kThanksLines[] = {
    {"Why not take the next few minutes to hop back to the site", 40, 255, 255, 180},
    {"where you found this game, and leave a comment.", 80, 255, 255, 180},
    {"Good or bad, every little helps.", 130, 255, 255, 180},
    {"There are so many wonderful homebrew communities", 180, 255, 210, 180},
    {"and developers out there, who bring you hundreds", 220, 255, 210, 180},
    {"of free games, every month.", 260, 255, 210, 180},
    {"Give a little back.", 320, 255, 255, 180},
    {"Feedback is King", 380, 180, 255, 255},
};

void DrawThanksScreen() {
    ClearScreen();
    BeginFrame();
    DrawBackground();
    DrawImageFrame(CommonLogo, kLogoInset, kLogoInset, 0);
    DrawImageFrame(PartnerLogo, float(VirtualWidth - kLogoInset), kLogoInset, 0);

    const int middle = VirtualHeight / 2;
    SetFont(kTypefaceA, kHeadingStep);
    SetColour(180, 255, 255);
    DrawTextAligned(VirtualWidth / 2, middle, "Thanks for Playing", kAlignCentre, kAlignCentre);
    SetFont(kTypefaceB, kBodyStep);
    for (const ThanksLine& line : kThanksLines) {
        SetColour(float(line.r), float(line.g), float(line.b));
        DrawTextAligned(kTextLeft, middle + line.below, line.text, kAlignStart, kAlignStart);
    }
}

}  // namespace

bool ThanksInputHeld() {
    return ScanAnyInput() > 0 || MouseIsDown(1) || MouseIsDown(2) ||
           (KeyIsDown(kKeyF4) && (KeyIsDown(kKeyLeftAlt) || KeyIsDown(kKeyRightAlt))) ||
           CloseRequested();
}

void Shutdown() {
    ShowPointer();
    // A close asked for while the display set-up was still loading ends the run here, past the
    // set-up's own removal of the marker; left behind, it would read as a crash and move the next
    // start off a back end that worked.
    DeleteFile(kCrashMarker);
    WriteSetup();
    SaveScores();
    for (const char* line : {"Closing Up", "", "Bye!", "", "Play again, soon!!"}) WriteLog(line);

    DrawThanksScreen();
    Present(-1);

    // Everything must be let go first, so the key that asked to leave does not also end this
    // screen; a key held for good counts as let go after kThanksReleasePasses.
    int passes = 0;
    bool held = true;
    while (held) {
        held = ThanksInputHeld();
        Sleep(kThanksPassMs);
        if (++passes >= kThanksReleasePasses) held = false;
    }
    // Paced and redrawn like any screen rather than spinning a core on a still picture; the
    // redraw also keeps the screen whole when the window is uncovered.
    while (!ThanksInputHeld()) {
        Sleep(kThanksPassMs);
        DrawThanksScreen();
        Present(0);
    }

    CloseDisplay();
    CloseLog();
    EndProcess(0);
}
