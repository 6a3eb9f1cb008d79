// Shared assets loaded at every display set-up: fonts, icon strips, logos, badge sound and images,
// the numbered sound effects; on the first run also the loading screen, the jingle and the scores.
#pragma once

#include <string>

// Font ids (0 = none). Fonts: fixed roles in slots 1-13. FontGrid: (typeface - 1) * 10 + step for
// typefaces 1-3 and size steps 0-8. Written by LoadCommonAssets at every display set-up.
constexpr int kFontSlots = 20;
constexpr int kFontGridSlots = 100;
constexpr int kFixedFonts = 13;
constexpr int kFontGridSteps = 9;
extern int Fonts[kFontSlots];
extern int FontGrid[kFontGridSlots];
// Image and sample ids (0 = none: missing or unreadable file), replaced at every display set-up.
extern int IconStrip;       // "icons.png", 64 frames of 16 x 16, filtered; frame 63 is the pointer
extern int IconStripSharp;  // the same frames, unfiltered
extern int CommonLogo;      // "logo.png" (or "logo50.png" for the 50th game) from Common/
extern int PartnerLogo;     // "Hearthside.png"
extern int BadgeSound;      // "badgeget.wav": the start-up jingle
extern int BadgeImages;     // "badges.png" from the game folder, 16 frames of 64 x 64

// Font scale factors and typeface A, both chosen from the display's width in pixels.
struct FontFactors {
    float large = 0;  // headline and grid sizes
    float small = 0;  // the overlay and notice fonts
};
FontFactors ChooseFontFactors(int displayWidth);
std::string TypefaceAFile(int displayWidth);  // "SVBasicManual.ttf" up to 800, else "November.ttf"

// One font to load: file in the common folder and pixel size; an empty file leaves the slot empty.
struct FontSpec {
    std::string file;
    int pixelSize = 0;
};
// Every font LoadCommonAssets loads for a display of this width, by slot.
struct CommonFontPlan {
    FontSpec fixed[kFontSlots];
    FontSpec grid[kFontGridSlots];
};
CommonFontPlan PlanCommonFonts(int displayWidth);

// Loaders that write one log line naming the file when it cannot be used (missing, truncated or
// corrupt), and give 0 then. Images are loaded with the handle at their centre (see below).
int LoadImageLogged(const std::string& file, int flags);
int LoadStripLogged(const std::string& file, int frameWidth, int frameHeight, int frameCount,
                    int flags);
int LoadSampleLogged(const std::string& file);

// Loads all of the above from "../Common/" and the game folder; expects the display open and the
// game folder current, and leaves it current. First run (DisplayOpened 0): the loading screen, the
// jingle, and LocalScores from the score file; later runs keep this run's LocalScores.
void LoadCommonAssets();
