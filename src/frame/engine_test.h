// The engine test: at every display set-up, measures how many sprites a frame can hold while the
// loop keeps its rate, sets the sprite budgets from it, and falls back to slow-system mode.
#pragma once

// The rate the program aims for: 0 until the engine test sets 60, or 30 in slow-system mode.
// Written only by EngineTest.
extern int TargetFrameRate;

constexpr int kEngineTestStep = 500;        // sprites added per measurement step
constexpr int kEngineTestMaxSprites = 20000;
constexpr int kEngineTestIntroFrames = 30;  // frames of the logos sliding in
constexpr int kEngineTestStepFrames = 10;   // frames measured per step
constexpr int kEngineTestRateMargin = 6;    // frames a second below target still counted as kept
constexpr int kSlowSystemFrameRate = 30;
constexpr int kMinImageBudget = 1000;       // below this the machine runs in slow-system mode
constexpr int kMinGlowBudget = 500;
constexpr int kMinParticleBudget = 250;

// Shows the logos sliding in, then draws ever more invisible sprites of spriteScale until the
// smoothed frame rate falls to targetFps - 6 (or 20000 sprites), and sets DrawBudgets slots 1-3,
// TargetFrameRate and, on a slow machine, the SlowSystem setting. Logs its results.
void EngineTest(int targetFps, int spriteScale);
