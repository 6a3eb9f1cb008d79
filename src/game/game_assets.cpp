// Stand-in until the game's assets land: the palette, and the engine test in place of loading.
#include "game/game_assets.h"

#include "frame/draw.h"
#include "frame/engine_test.h"

int GameSheet = 0;
int TwirlImage = 0;
int Palette[400];

void LoadGameAssets() { EngineTest(60, 2); }

void SetPaletteTarget(int k, int r, int g, int b) {
    if (k < 0 || k > 27) return;
    Palette[200 + 3 * k] = r;
    Palette[201 + 3 * k] = g;
    Palette[202 + 3 * k] = b;
}

void InitPalette() {
    const int level[3] = {0, 128, 255};
    for (int k = 0; k < 27; ++k) SetPaletteTarget(k, level[(k / 3) % 3], level[k / 9], level[k % 3]);
    SetPaletteTarget(27, 255, 100, 100);
}

void StepPalette(int step) {
    if (step <= 0) return;
    for (int i = 0; i <= 90; ++i) {
        int& value = Palette[i];
        const int target = Palette[200 + i];
        if (value < target) value = value + step > target ? target : value + step;
        if (value > target) value = value - step < target ? target : value - step;
    }
}

void SetPaletteColour(int k) {
    if (k < 0 || k > 27) k = 13;
    SetColour(Palette[3 * k], Palette[3 * k + 1], Palette[3 * k + 2], 1.0f);
}
