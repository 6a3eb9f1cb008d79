// Loading time of everything that belongs to a display, without the engine test: opening it, the
// shared fonts, icons, logos, jingle, badges, sound effects and score file, and the game's images,
// from the built data files on the headless twin (software renderer, recording audio driver).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/state.h"
#include "audio/sfx.h"
#include "game/game_assets.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

void LoadingWithoutEngineTest(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    const fs::path root = fs::temp_directory_path() / ("crockery-bench-loading-" + std::to_string(width));
    fs::remove_all(root);
    fs::create_directories(root);
#ifdef CD_GAME_DIR
    std::error_code ignored;
    fs::copy(fs::path(CD_GAME_DIR) / "Files", root / "Files", fs::copy_options::recursive, ignored);
#endif
    headless::Install(root.string());
    ResetProcessState();
    ResetSoundEffects();
    if (PathKind("Files/Common/icons.png") != 1) {
        state.SkipWithError("the game's data files have not been built");
        headless::Install();
        return;
    }
    ChangeFolder("Files/");
    OpenLog();
    ChangeFolder(GameFolder());
    DisplayWidth = width;
    DisplayHeight = height;
    VirtualWidth = width * 9 / 16 == height ? 1600 : 1280;
    VirtualHeight = width * 9 / 16 == height ? 900 : 960;

    for (auto _ : state) {
        DisplayOpened = 0;  // each round is a first run: loading screen, jingle, score file
        SelectDirect3D7Backend();
        if (!OpenDisplay(width, height, 0, 60)) {
            state.SkipWithError("no display");
            break;
        }
        SetVirtualResolution(VirtualWidth, VirtualHeight);
        LoadCommonAssets();
        LoadGameImages();
        CloseDisplay();
    }
    CloseLog();
    headless::Install();
    fs::remove_all(root);
}

BENCHMARK(LoadingWithoutEngineTest)
    ->Args({800, 600})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
