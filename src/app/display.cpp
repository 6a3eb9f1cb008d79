// DisplaySetup: turns the display settings into an open window or full screen and loads every
// image, font and sound, bracketed by the crash marker.
#include "app/display.h"

#include <cstdio>
#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/state.h"
#include "game/game_assets.h"
#include "game/objects.h"
#include "platform/platform.h"

namespace {

constexpr int kRefreshRate = 60;
constexpr int kFullscreenDepths[] = {32, 24, 16};
constexpr const char* kSeparator = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";

bool UsableAspect(int w, int h) {
    return w * 10 / 16 == h || w * 9 / 16 == h || w * 3 / 4 == h;
}

bool AlreadyListed(int w, int h) {
    for (int i = 1; i <= DisplayModeCount; ++i)
        if (DisplayModeWidths[i] == w && DisplayModeHeights[i] == h) return true;
    return false;
}

void SelectBackend() {
    switch (Settings[GfxEngine]) {
    case 0:
        SelectOpenGLBackend();
        WriteLog("\tUsing OpenGL Driver");
        break;
    case 1:
        SelectDirect3D9Backend();
        WriteLog("\tUsing DirectX 9 Driver");
        break;
    case 2:
        SelectDirect3D7Backend();
        WriteLog("\tUsing DirectX 7 Driver");
        break;
    default:
        break;
    }
}

// Nothing can be drawn without a display, so the run ends here; the marker stays on disk so the
// next start moves off OpenGL.
[[noreturn]] void FailToOpen() {
    const std::string reason = LastPlatformError();
    const std::string line =
        "Could not open the display: " + (reason.empty() ? "no reason given" : reason);
    std::fprintf(stderr, "%s\n", line.c_str());
    WriteLog("\t" + line);
    CloseLog();
    EndProcess(1);
}

}  // namespace

int ChooseDisplayDepth() {
    if (Settings[Fullscreen] != 1) return 0;
    for (int depth : kFullscreenDepths)
        if (DisplayModeExists(DisplayWidth, DisplayHeight, depth, 0)) return depth;
    PostNotice("Can't set to fullscreen in this resolution.", 1);
    return 0;
}

void ChooseVirtualResolution() {
    Settings[Widescreen] = 0;
    VirtualWidth = 1280;
    VirtualHeight = 960;
    if (DisplayWidth * 9 / 16 == DisplayHeight) {
        Settings[Widescreen] = 1;
        VirtualWidth = 1600;
        VirtualHeight = 900;
        WriteLog("\tWidescreen mode!");
    }
    if (DisplayWidth * 10 / 16 == DisplayHeight) {
        Settings[Widescreen] = 1;
        VirtualWidth = 1440;
        VirtualHeight = 900;
        WriteLog("\tWidescreen mode B (10:16)!");
    }
}

void BuildDisplayModeList() {
    DisplayModeCount = 0;
    const int platformModes = CountDisplayModes();
    for (int i = 0; i < platformModes; ++i) {
        const DisplayMode mode = GetDisplayMode(i);
        const int w = mode.width, h = mode.height;
        if (!UsableAspect(w, h) || AlreadyListed(w, h)) continue;
        // The table keeps its first sizes when a platform reports more than it holds.
        if (DisplayModeCount >= kMaxDisplayModes - 1) break;
        DisplayModeCount += 1;
        DisplayModeWidths[DisplayModeCount] = w;
        DisplayModeHeights[DisplayModeCount] = h;
        if (w == Settings[Width] && h == Settings[Height]) {
            Settings[ModeIndex] = DisplayModeCount;
            DisplayWidth = w;
            DisplayHeight = h;
        }
    }
    Settings[Width] = DisplayWidth;
    Settings[Height] = DisplayHeight;
}

void DisplaySetup() {
    BuildDisplayModeList();
    WriteLog("");
    WriteLog(kSeparator);
    WriteLog("Applying Graphical Settings");
    if (DisplayOpened == 1) {
        CloseDisplay();
        WriteLog("\tChanged Graphics Mode ingame.");
    }
    if (PathKind(kCrashMarker) != 0 && Settings[GfxEngine] == 0) Settings[GfxEngine] = 1;
    SelectBackend();
    const int depth = ChooseDisplayDepth();
    WriteLog("\tResolution : " + std::to_string(DisplayWidth) + "x" + std::to_string(DisplayHeight) +
             "," + std::to_string(depth));

    CloseStream(OpenForWriting(kCrashMarker));
    const bool opened = OpenDisplay(DisplayWidth, DisplayHeight, depth, kRefreshRate);
    for (const std::string& note : DisplayFallbackNotes()) WriteLog("\t" + note);
    if (!opened) FailToOpen();
    ChooseVirtualResolution();
    SetVirtualResolution(VirtualWidth, VirtualHeight);
    LoadCommonAssets();
    LoadGameAssets();
    WriteLog(kSeparator);
    DeleteFile(kCrashMarker);
}
