// The game's images and the palette: 27 colours from three levels per component (k = 9G + 3R + B)
// and one warm pink, each with a current value that eases toward its target.
#include "game/game_assets.h"

#include "app/assets.h"
#include "frame/draw.h"
#include "frame/engine_test.h"
#include "platform/platform.h"

int TitleLogo = 0;
int MenuStrip = 0;
int MenuStripSharp = 0;
int GameSheet = 0;
int TwirlImage = 0;
int Palette[400];

namespace {
constexpr int kEngineTestFps = 60;
constexpr int kEngineTestSpriteScale = 2;
constexpr int kMenuCell = 64;
constexpr int kMenuCells = 4;
constexpr int kSheetCell = 32;
constexpr int kSheetCells = 100;
constexpr int kPaletteValues = 3 * kPaletteColours;  // 84 current components
constexpr int kLevels[3] = {0, 128, 255};
}  // namespace

void LoadGameImages() {
    const int smooth = kImageMasked | kImageFiltered;
    TitleLogo = LoadImageLogged("logo.png", smooth);
    MenuStrip = LoadStripLogged("menu.png", kMenuCell, kMenuCell, kMenuCells, smooth);
    MenuStripSharp = LoadStripLogged("menu.png", kMenuCell, kMenuCell, kMenuCells, kImageMasked);
    GameSheet = LoadStripLogged("gfx.png", kSheetCell, kSheetCell, kSheetCells, smooth);
    TwirlImage = LoadImageLogged("twirl.png", smooth);
}

void LoadGameAssets() {
    EngineTest(kEngineTestFps, kEngineTestSpriteScale);
    LoadGameImages();
}

void SetPaletteTarget(int k, int r, int g, int b) {
    if (k < 0 || k >= kPaletteColours) return;
    Palette[kPaletteTargetBase + 3 * k] = r;
    Palette[kPaletteTargetBase + 3 * k + 1] = g;
    Palette[kPaletteTargetBase + 3 * k + 2] = b;
}

void InitPalette() {
    for (int k = 0; k < 27; ++k) SetPaletteTarget(k, kLevels[(k / 3) % 3], kLevels[k / 9], kLevels[k % 3]);
    SetPaletteTarget(27, 255, 100, 100);
}

void StepPalette(int step) {
    if (step <= 0) return;
    for (int i = 0; i < kPaletteValues; ++i) {
        int& value = Palette[i];
        const int target = Palette[kPaletteTargetBase + i];
        // Compared before adding, so a huge step cannot overflow past the target.
        if (value < target) value = target - value <= step ? target : value + step;
        if (value > target) value = value - target <= step ? target : value - step;
    }
}

void SetPaletteColour(int k) {
    if (k < 0 || k >= kPaletteColours) k = kPaletteFallbackColour;
    SetColour(float(Palette[3 * k]), float(Palette[3 * k + 1]), float(Palette[3 * k + 2]), 1.0f);
}
