// The game's own images and its palette of 28 numbered colours, each easing toward a target.
// Stand-in until the game's assets land: the palette works, no images are loaded.
#pragma once

// The game's own image ids (0 = none), replaced by LoadGameAssets at every display set-up.
extern int GameSheet;   // "gfx.png", 32 x 32 cells: head 0-7, plate 10, intruder 11, pickup 13
extern int TwirlImage;  // "twirl.png": the burst effects' swirl

// Current colour components at 0..83 (colour k at 3k..3k+2), targets at 200..283.
extern int Palette[400];

void LoadGameAssets();
void InitPalette();
void SetPaletteTarget(int k, int r, int g, int b);
void StepPalette(int step);
// Draw colour = current value of colour k (out of 0..27: colour 13), alpha 1.
void SetPaletteColour(int k);
