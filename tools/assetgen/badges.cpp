// Sixteen badges for the score table's detail box.
#include "sheets.h"

namespace gen {

Canvas DrawBadges() { return MakeCanvas(256, 256); }

}  // namespace gen
