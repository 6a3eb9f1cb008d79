// The maker's and the partner's emblems shown by the engine test and the closing screen.
#include "sheets.h"

namespace gen {

Canvas DrawMakerLogo() { return MakeCanvas(256, 256); }
Canvas DrawPartnerLogo() { return MakeCanvas(256, 256); }

}  // namespace gen
