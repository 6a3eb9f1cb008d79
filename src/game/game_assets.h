// The game's own images, loaded at every display set-up after the engine test, and its palette of
// 28 numbered colours, each easing toward a target.
#pragma once

// The game's own image ids (0 = none: the file was missing or unreadable, and drawing it shows
// nothing). Replaced by LoadGameAssets at every display set-up; all from the game folder.
extern int TitleLogo;       // "logo.png": the title screen's logo
extern int MenuStrip;       // "menu.png": 4 cells of 64 x 64, filtered (the soft copy)
extern int MenuStripSharp;  // "menu.png": the same cells unfiltered (the crisp copy)
extern int GameSheet;   // "gfx.png", 32 x 32 cells: head 0-7, plate 10, intruder 11, pickup 13
extern int TwirlImage;  // "twirl.png": the burst effects' swirl

// Current colour components at 0..83 (colour k at 3k..3k+2), targets at 200..283; the rest stays
// 0. Targets set by InitPalette at start-up, current values moved by StepPalette.
extern int Palette[400];
constexpr int kPaletteColours = 28;
constexpr int kPaletteTargetBase = 200;
constexpr int kPaletteFallbackColour = 13;  // mid grey, drawn for colour numbers out of range

// The engine test (EngineTest(60, 2)), then the game's images.
void LoadGameAssets();
// The game's images alone, in their fixed order; each one that fails leaves 0 and one log line.
void LoadGameImages();

void InitPalette();
void SetPaletteTarget(int k, int r, int g, int b);
// Moves every current component toward its target by `step`, stopping on it; step <= 0: nothing.
void StepPalette(int step);
// Draw colour = current value of colour k (out of 0..27: colour 13), alpha 1.
void SetPaletteColour(int k);
