// Stand-in until the asset loader lands: fonts and icons from "../Common/" when present, the first
// loading screen, and the score file.
#include "app/assets.h"

#include "app/state.h"
#include "frame/draw.h"
#include "platform/platform.h"
#include "scores/scores.h"

int Fonts[20];
int FontGrid[100];
int IconStrip = 0;
int IconStripSharp = 0;
int CommonLogo = 0;
int PartnerLogo = 0;
int BadgeSound = 0;
int BadgeImages = 0;

void LoadCommonAssets() {
    SetAutoCentreHandle(true);
    if (ChangeFolder("../Common/")) {
        const char* face = DisplayWidth <= 800 ? "SVBasicManual.ttf" : "November.ttf";
        for (int slot = 1; slot <= 13; ++slot)
            Fonts[slot] = LoadFont(face, slot == 1 ? 24 : 16, kFontSmooth);
        const int sizes[9] = {8, 12, 18, 24, 32, 40, 52, 64, 96};
        for (int typeface = 0; typeface < 3; ++typeface)
            for (int step = 0; step < 9; ++step)
                FontGrid[typeface * 10 + step] = LoadFont(face, sizes[step], kFontSmooth);
        IconStrip = LoadImageStrip("icons.png", 16, 16, 0, 64, kImageMasked | kImageFiltered);
        IconStripSharp = LoadImageStrip("icons.png", 16, 16, 0, 64, kImageMasked);
        ChangeFolder("../" + GameFolder());
    }
    if (DisplayOpened == 0) {
        BeginFrame();
        DrawBackground();
        Present(-1);
        DisplayOpened = 1;
    }
    LoadScores();
}
