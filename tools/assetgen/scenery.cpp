// The game's own pictures besides the sprites: title logo, menu landscape layers and the twirl.
#include "sheets.h"

namespace gen {

Canvas DrawTitleLogo() { return MakeCanvas(512, 128); }
Canvas DrawMenuStrip() { return MakeCanvas(256, 64); }
Canvas DrawTwirl() { return MakeCanvas(256, 256); }

}  // namespace gen
