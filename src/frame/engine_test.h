// The engine test: measures the machine at every display set-up and sets the sprite budgets.
// Stand-in until the engine test lands: keeps the start-up budgets.
#pragma once

// 0 until the engine test sets 60 (or 30 on a slow machine).
extern int TargetFrameRate;

void EngineTest(int targetFps, int spriteScale);
