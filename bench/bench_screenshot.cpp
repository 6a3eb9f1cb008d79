// Cost of one F11 screenshot at two display sizes on the software renderer, on the headless twin:
// grabbing the back buffer, forcing alpha opaque, and writing the PNG at level 9 (the file is
// replaced each time, as two shots in one second are).
#include <benchmark/benchmark.h>

#include "bench_fixtures.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "frame/draw.h"
#include "frame/pause.h"
#include "game/objects.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// A busy frame, so the compressor has more than flat colour to work on.
void DrawBusyFrame(int width, int height) {
    ClearScreen();
    DrawBackground();
    SetDrawBlend(kBlendAlpha);
    for (int i = 0; i < 400; ++i) {
        SetDrawColor(i * 37 % 256, i * 91 % 256, i * 53 % 256);
        SetDrawAlpha(0.3f + float(i % 7) / 10.0f);
        SetDrawRotation(float(i * 13 % 360));
        DrawFilledRect(float(i * 97 % width), float(i * 61 % height), 40 + i % 60, 8 + i % 30);
    }
    SetDrawRotation(0);
}

void Screenshot(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("crockery-shot-" + std::to_string(width));
    if (!benchfix::OpenHeadlessDisplay(state, root, width, height)) return;
    VirtualWidth = width;
    VirtualHeight = height;
    SetVirtualResolution(width, height);
    DrawBusyFrame(width, height);

    for (auto _ : state) {
        TakeScreenshot();
        Notices.clear();
    }
    const std::filesystem::path shot = root / "Files" / ScreenshotFileName();
    state.counters["png_bytes"] = double(std::filesystem::file_size(shot));
    CloseDisplay();
    headless::Install();
    std::filesystem::remove_all(root);
}

BENCHMARK(Screenshot)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
