// Cost of one frame of the plainest screen loop (BeginFrame, DrawBackground, FramePresent) on the
// software renderer, on the headless twin. The twin's Sleep only advances its virtual clock, so
// the time measured is drawing and presenting alone; pacing shows up as virtual milliseconds
// slept per frame (about 15, in 1 ms sleeps on the real host, never a busy wait).
#include <benchmark/benchmark.h>

#include "bench_fixtures.h"

#include <filesystem>
#include <string>

#include "app/log.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

void TitleLoop(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("crockery-bench-" + std::to_string(width));
    if (!benchfix::OpenHeadlessDisplay(state, root, width, height)) return;
    VirtualWidth = width * 9 / 16 == height ? 1600 : 1280;
    VirtualHeight = width * 9 / 16 == height ? 900 : 960;
    SetVirtualResolution(VirtualWidth, VirtualHeight);
    LastFrameEnd = Millis();

    const int clockBefore = Millis();
    for (auto _ : state) {
        BeginFrame();
        DrawBackground();
        FramePresent(1);
    }
    const double frames = double(state.iterations());
    state.counters["frames_per_cpu_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["virtual_ms_per_frame"] = (Millis() - clockBefore) / frames;
    CloseDisplay();
    headless::Install();
    std::filesystem::remove_all(root);
}

BENCHMARK(TitleLoop)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
