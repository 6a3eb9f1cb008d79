// Stand-in until the engine test lands: no measurement, the overlay switched off as after a test.
#include "frame/engine_test.h"

#include "frame/present.h"

int TargetFrameRate = 0;

void EngineTest(int targetFps, int spriteScale) {
    TargetFrameRate = targetFps;
    ShowStats = 0;
}
