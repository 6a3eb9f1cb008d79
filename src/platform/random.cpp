// The one global random generator: the minimal standard generator (multiplier 48271, modulus
// 2^31-1) stepped by Schrage's method so no product overflows 32 bits.
#include "platform/platform.h"

namespace {

constexpr int32_t kModulus = 2147483647;
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = 44488;   // kModulus / kMultiplier
constexpr int32_t kRemainder = 3399;   // kModulus % kMultiplier
constexpr int32_t kStartState = 4660;
constexpr int32_t kHighBitsA = 536870908;
constexpr int32_t kHighBitsB = 536870904;

int32_t gState = kStartState;  // written by SeedRandom and every draw; 4660 at program start

int32_t Step() {
    gState = (gState % kQuotient) * kMultiplier - (gState / kQuotient) * kRemainder;
    if (gState < 0) gState += kModulus;
    return gState;
}

}  // namespace

void SeedRandom(int32_t seed) {
    gState = seed & kModulus;
    // Both would leave the generator stuck (0) or outside its cycle (the modulus itself).
    if (gState == 0 || gState == kModulus) gState = kStartState;
}

int32_t RandomState() { return gState; }

double RandomUnit() {
    const int32_t a = Step() & kHighBitsA;
    const int32_t b = Step() & kHighBitsB;
    return (a + b / 134217728.0) / 536870912.0;
}

float RandomFloat(float min, float max) {
    const double u = RandomUnit();
    if (max > min) return static_cast<float>(min + u * (max - min));
    return static_cast<float>(max + u * (min - max));
}

int RandomInt(int min, int max) {
    const double u = RandomUnit();
    const int64_t range = static_cast<int64_t>(max) - min;
    if (range > 0) return static_cast<int>(min + static_cast<int64_t>(u * (range + 1)));
    return static_cast<int>(max + static_cast<int64_t>(u * (1 - range)));
}
