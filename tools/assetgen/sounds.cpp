// Sound synthesis.
#include "sounds.h"

namespace gen {

std::vector<float> BadgeJingle() { return std::vector<float>(100, 0.0f); }
std::vector<float> PlateGrab() { return std::vector<float>(100, 0.0f); }
std::vector<float> IntruderZap() { return std::vector<float>(100, 0.0f); }
std::vector<float> PickupPlink() { return std::vector<float>(100, 0.0f); }
std::vector<float> HeadCrash() { return std::vector<float>(100, 0.0f); }
std::vector<float> MenuBlip() { return std::vector<float>(100, 0.0f); }

}  // namespace gen
