// The software renderer under the loads the program puts on it: frames of the engine test's
// invisible turned sprites, and the striped backdrop most screens clear to.
#include <benchmark/benchmark.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int kDisplayWidth = 800;
constexpr int kDisplayHeight = 600;
constexpr int kVirtualWidth = 1280;
constexpr int kVirtualHeight = 960;

// A display as the program sets it up, on the headless twin with the software renderer.
void OpenBenchDisplay() {
    headless::Install();
    SelectDirect3D7Backend();
    OpenDisplay(kDisplayWidth, kDisplayHeight, 0, 60);
    SetVirtualResolution(kVirtualWidth, kVirtualHeight);
    SetDrawRotation(0);
    SetDrawScale(1, 1);
    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1);
    SetDrawBlend(kBlendAlpha);
}

// A 16 x 16 sprite with a transparent border, grabbed from the screen.
int MakeSprite(int flags) {
    SetAutoCentreHandle(true);
    const int sprite = CreateBlankImage(16, 16, 1, flags);
    ClearScreen();
    SetDrawColor(200, 120, 40);
    SetVirtualResolution(kDisplayWidth, kDisplayHeight);
    DrawFilledRect(2, 2, 12, 12);
    GrabScreenToImage(sprite, 0, 0, 0);
    SetVirtualResolution(kVirtualWidth, kVirtualHeight);
    return sprite;
}

// One engine-test frame per iteration: n + 1 sprites at scale 2, each at a random rotation and
// place, black at alpha 0, alpha blended.
void EngineTestSprites(benchmark::State& state, int flags) {
    OpenBenchDisplay();
    const int sprite = MakeSprite(flags);
    const int n = int(state.range(0));
    SeedRandom(1234);
    for (auto _ : state) {
        ClearScreen();
        for (int i = 0; i <= n; ++i) {
            SetDrawRotation(float(RandomInt(1, 360)));
            SetDrawColor(0, 0, 0);
            SetDrawAlpha(0);
            SetDrawScale(2, 2);
            const int y = RandomInt(1, kVirtualHeight);
            DrawImageFrame(sprite, float(RandomInt(1, kVirtualWidth)), float(y), 0);
        }
        Present(0);
    }
    state.SetItemsProcessed(state.iterations() * (n + 1));
    state.counters["frames_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    CloseDisplay();
}

void BM_EngineTestSprites(benchmark::State& state) { EngineTestSprites(state, 0); }
void BM_EngineTestSpritesFiltered(benchmark::State& state) { EngineTestSprites(state, kImageFiltered); }
// Process CPU time, so the second filling thread is counted as well.
BENCHMARK(BM_EngineTestSprites)->Arg(2000)->Arg(5000)->Arg(10000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineTestSpritesFiltered)->Arg(2000)->Arg(5000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Unturned, unscaled opaque sprites on a 1:1 display: the blit path.
void BM_PlainBlits(benchmark::State& state) {
    OpenBenchDisplay();
    SetVirtualResolution(kDisplayWidth, kDisplayHeight);
    const int sprite = MakeSprite(0);
    SetVirtualResolution(kDisplayWidth, kDisplayHeight);
    SetDrawColor(255, 255, 255);
    for (auto _ : state) {
        ClearScreen();
        for (int i = 0; i < 2000; ++i)
            DrawImageFrame(sprite, float(16 + (i * 37) % 760), float(16 + (i * 53) % 560), 0);
        Present(0);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
    CloseDisplay();
}
BENCHMARK(BM_PlainBlits)->Unit(benchmark::kMillisecond);

// A full-screen clear and the 97 diagonal stripes of the backdrop.
void BM_ClearAndBackdrop(benchmark::State& state) {
    OpenBenchDisplay();
    for (auto _ : state) {
        ClearScreen();
        SetDrawRotation(-45);
        int brightness = 25;
        for (int i = 0; i <= kVirtualHeight; i += 10) {
            ++brightness;
            SetDrawColor(brightness / 5, 0, brightness);
            DrawFilledRect(-100, float(i * 3), float(kVirtualWidth + 1800), 30);
        }
        Present(0);
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    CloseDisplay();
}
BENCHMARK(BM_ClearAndBackdrop)->Unit(benchmark::kMillisecond);

}  // namespace
