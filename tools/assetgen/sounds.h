// Every sound the game loads, synthesised as mono samples at kSampleRate, peak-normalised and
// faded in and out so no effect clicks when it starts or ends.
#pragma once

#include <vector>

namespace gen {

std::vector<float> BadgeJingle();  // Common/badgeget.wav
std::vector<float> PlateGrab();    // 295/003.wav
std::vector<float> IntruderZap();  // 295/005.wav
std::vector<float> PickupPlink();  // 295/008.wav
std::vector<float> HeadCrash();    // 295/031.wav
std::vector<float> MenuBlip();     // 295/098.wav

}  // namespace gen
