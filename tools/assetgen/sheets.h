// Every image the game loads, each drawn by its own function into a fresh canvas.
#pragma once

#include "raster.h"

namespace gen {

Canvas DrawIcons();        // Common/icons.png: 64 glyphs of 16 x 16 in an 8 x 8 grid
Canvas DrawMakerLogo();    // Common/logo.png
Canvas DrawPartnerLogo();  // Common/Hearthside.png
Canvas DrawBadges();       // 295/badges.png: 16 badges of 64 x 64 in a 4 x 4 grid
Canvas DrawTitleLogo();    // 295/logo.png
Canvas DrawMenuStrip();    // 295/menu.png: 4 landscape layers of 64 x 64 in a row
Canvas DrawGameSheet();    // 295/gfx.png: 100 cells of 32 x 32 in a 10 x 10 grid
Canvas DrawTwirl();        // 295/twirl.png

}  // namespace gen
