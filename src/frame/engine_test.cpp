// EngineTest: the logos slide in over the backdrop, then each measurement step draws 500 more
// invisible sprites for ten frames and reads the smoothed frame rate FramePresent keeps.
#include "frame/engine_test.h"

#include <algorithm>
#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "platform/platform.h"

int TargetFrameRate = 0;

namespace {

constexpr int kSettleMs = 250;
constexpr float kLogoScale = 1.5f;
constexpr float kLogoRest = 0.3f;  // the logos rest at 0.3 and 0.7 of the virtual screen
constexpr int kSlideSteps = 15;
constexpr int kTestSpriteFrame = 0;
// Budgets while the test runs, so the loading screen's own drawing stays light.
constexpr int kTestImageBudget = 500;
constexpr int kTestGlowBudget = 500;
constexpr int kTestParticleBudget = 250;
constexpr int kGlowBudget = 500;
constexpr int kParticleBudget = 500;

// The logos at slide position t: from off screen (t < 0) to their resting places (t = 1).
void DrawLogos(float t) {
    SetScale(kLogoScale);
    DrawImageFrame(CommonLogo, float(VirtualWidth) * kLogoRest * t, float(VirtualHeight) * kLogoRest,
                   0);
    DrawImageFrame(PartnerLogo, float(VirtualWidth) - float(VirtualWidth) * kLogoRest * t,
                   float(VirtualHeight) - float(VirtualHeight) * kLogoRest, 0);
    SetScale(1);
}

void StartFrame() {
    BeginFrame();
    ResetDrawState();
    DrawBackground();
}

void Intro() {
    for (int n = kEngineTestStep; n <= kEngineTestStep * kEngineTestIntroFrames;
         n += kEngineTestStep) {
        StartFrame();
        const float t = float(n / kEngineTestStep) / float(kSlideSteps) - 1.0f;
        DrawLogos(std::clamp(t, -1.0f, 1.0f));
        FramePresent(0);
    }
}

// One measured frame of count + 1 sprites. They go straight to the platform, past the budgets,
// and are fully transparent: only the work of drawing them shows, as a falling frame rate.
void MeasuredFrame(int count, int spriteScale) {
    StartFrame();
    DrawLogos(1.0f);
    // Colour and scale are the same for every sprite, so they are set once.
    SetColour(0, 0, 0, 0);
    SetScale(float(spriteScale));
    for (int i = 0; i <= count; ++i) {
        SetRotation(float(RandomInt(1, 360)));
        const int y = RandomInt(1, VirtualHeight);
        const int x = RandomInt(1, VirtualWidth);
        DrawImageFrame(IconStripSharp, float(x), float(y), kTestSpriteFrame);
    }
    FramePresent(0);
}

// The largest sprite count past the first step whose frames kept the rate; 0 when none did.
int Measure(int target, int spriteScale) {
    int best = 0;
    for (int n = kEngineTestStep; n <= kEngineTestMaxSprites; n += kEngineTestStep) {
        for (int frame = 0; frame < kEngineTestStepFrames; ++frame) MeasuredFrame(n, spriteScale);
        // The first step only warms the rate up; at exactly target - 6 the step both counts and
        // ends the test.
        if (n == kEngineTestStep) continue;
        if (FrameRate >= target - kEngineTestRateMargin) best = n;
        if (FrameRate <= target - kEngineTestRateMargin) break;
    }
    return best;
}

void LogResults(int target) {
    for (const char* line : {"", "Engine Test Results", ""}) WriteLog(line);
    WriteLog("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second");
    WriteLog("\tMain sprites : " + std::to_string(DrawBudgets[kCountImages]));
    WriteLog("\tGlowy Sprites : " + std::to_string(DrawBudgets[kCountGlow]));
    WriteLog("\tParticles : " + std::to_string(DrawBudgets[kCountParticles]));
    WriteLog("");
}

}  // namespace

void EngineTest(int targetFps, int spriteScale) {
    Present(-1);
    Sleep(kSettleMs);
    ShowStats = 0;
    const int target = Settings[SlowSystem] == 1 ? kSlowSystemFrameRate : targetFps;
    TargetFrameRate = target;
    DrawBudgets[kCountImages] = kTestImageBudget;
    DrawBudgets[kCountGlow] = kTestGlowBudget;
    DrawBudgets[kCountParticles] = kTestParticleBudget;
    WriteLog("Starting Engine Test");
    WriteLog("Aiming for " + std::to_string(target) + "," + std::to_string(spriteScale));

    Intro();
    const int best = Measure(target, spriteScale);
    WriteLog("Test Complete");

    // Nine tenths in single precision, multiplied in double: 1500 gives 1349, one under 1350.
    DrawBudgets[kCountImages] = int(double(0.9f) * double(best));
    DrawBudgets[kCountGlow] = kGlowBudget;
    DrawBudgets[kCountParticles] = kParticleBudget;
    LogResults(target);

    if (DrawBudgets[kCountImages] < kMinImageBudget) {
        DrawBudgets[kCountImages] = kMinImageBudget;
        TargetFrameRate = kSlowSystemFrameRate;
        Settings[SlowSystem] = 1;
    }
    DrawBudgets[kCountGlow] = std::max(DrawBudgets[kCountGlow], kMinGlowBudget);
    DrawBudgets[kCountParticles] = std::max(DrawBudgets[kCountParticles], kMinParticleBudget);
    if (TargetFrameRate == kSlowSystemFrameRate)
        WriteLog("Settings Overwritten, Set to Default Lower Limits at 30fps.");
    WriteLog("");
    ShowStats = 0;
}
