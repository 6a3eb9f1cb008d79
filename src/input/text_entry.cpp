// EditLine and the name entry screen shown after every game.
#include "input/text_entry.h"

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "platform/platform.h"

namespace {

constexpr int kFirstPrintable = 32;
constexpr int kLastLatin1 = 255;
constexpr char kFieldSeparator = '|';
constexpr int kCursorBlinkMs = 300;
constexpr int kTitleRise = 100;

bool ConfirmInputHeld() { return KeyIsDown(kKeyEscape) || MouseIsDown(1) || KeyIsDown(kKeyReturn); }

// The key or click that ended the game, or confirmed the name, must be let go before anything
// else happens. A window closed meanwhile ends the wait so the next frame can shut down.
void WaitForConfirmRelease() {
    while (ConfirmInputHeld() && !CloseRequested()) Sleep(1);
}

}  // namespace

bool AcceptsTypedChar(int code) {
    return code >= kFirstPrintable && code <= kLastLatin1 && code != kFieldSeparator;
}

std::string EditLine(std::string text) {
    const int c = NextTypedChar();
    if (AcceptsTypedChar(c)) text += char(c);
    if (KeyHits(kKeyBackspace) != 0 && !text.empty()) text.pop_back();
    return text;
}

void EnterNameScreen() {
    FlushKeyboard();
    WaitForConfirmRelease();
    bool done = false;
    while (!done) {
        ClearScreen();
        DrawBackground();
        PlayerName = EditLine(PlayerName);

        SetColour(0, 255, 0);
        SelectFont(Fonts[6]);
        DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 - kTitleRise, "Enter Your Name",
                        kAlignCentre, kAlignCentre);
        SelectFont(Fonts[5]);
        const char* cursor = Milliseconds() % (2 * kCursorBlinkMs) < kCursorBlinkMs ? "_" : " ";
        DrawTextAligned(VirtualWidth / 2 - TextWidthOf(PlayerName) / 2, VirtualHeight / 2,
                        PlayerName + cursor, kAlignStart, kAlignCentre);

        done = KeyHits(kKeyReturn) != 0 || MouseIsDown(1) || KeyIsDown(kKeyEscape);
        FramePresent(1);
    }
    SeedRandom(Milliseconds());
    WaitForConfirmRelease();
}
