// F11: the back buffer saved as an opaque PNG in "Files/", named after the game and the moment,
// with a "Saving Screenshot" message on screen while the file is written.
#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/pause.h"
#include "game/objects.h"
#include "platform/platform.h"

namespace {

constexpr int kPngLevel = 9;
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr int kSavingFont = 5;      // Fonts slot of "Saving Screenshot"
constexpr int kPatienceFont = 6;    // Fonts slot of the line under it
constexpr int kMessageOffset = 30;  // virtual units above and below the middle

// The last component of a folder path, without trailing slashes.
std::string LastFolderName(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CleanFileName(const std::string& text) {
    static const std::string kUnsafe = "#',`.\\/:|*?\"";
    std::string clean;
    for (char c : text)
        if (kUnsafe.find(c) == std::string::npos) clean += c;
    return clean;
}

std::string ScreenshotFileName() {
    return CleanFileName(GameNameA + " " + GameNameB + " (Screenshot_" + CurrentDateText() + "_" +
                         CurrentTimeText() + ")") +
           ".png";
}

void TakeScreenshot() {
    WriteLog("");
    WriteLog("\tScreenshot");
    // Screenshots go beside Debug.txt. When start-up found no game folder we are there already:
    // stepping up regardless would put the file outside "Files/" and leave every later file
    // operation one folder too high.
    const std::string before = CurrentFolder();
    const bool inGameFolder = LastFolderName(before) == LastFolderName(GameFolder());
    if (inGameFolder) ChangeFolder("..");
    WriteLog("\tGrabbing Screenshot");

    Pixels pixels = GrabScreenPixels(0, 0, DisplayWidth, DisplayHeight);
    ResetDrawState();
    // Row by row, the order the pixels lie in memory.
    for (uint32_t& argb : pixels.argb) argb |= kOpaque;

    SelectFont(Fonts[kSavingFont]);
    DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 - kMessageOffset, "Saving Screenshot",
                    kAlignCentre, kAlignCentre);
    SelectFont(Fonts[kPatienceFont]);
    DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 + kMessageOffset,
                    "Sometimes, this takes a while!", kAlignCentre, kAlignCentre);
    Present(-1);

    const std::string name = ScreenshotFileName();
    WriteLog("\tSaving Screenshot : " + name);
    const bool saved = SavePixelsAsPng(pixels, name, kPngLevel);
    WriteLog(std::string("\tSaved Screenshot ") + (saved ? "1" : "0"));
    WriteLog("");

    if (inGameFolder && !ChangeFolder(before)) ChangeFolder(GameFolder());
    // A player who saw "Saved" would look for a file that is not there.
    PostNotice(saved ? "Saved Screenshot" : "Screenshot Not Saved", 1);
}
