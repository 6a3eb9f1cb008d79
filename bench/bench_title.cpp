// CPU time of one title-screen frame on the software renderer of the headless twin, with the
// game's real fonts and images, the settings menu out and 500 score records: in steady state
// (75 records of the shown difficulty, the rest of the others) and on a frame that prunes 500
// records of the shown difficulty down to 75. The twin's Sleep only advances its virtual clock,
// so pacing costs nothing here.
#include <benchmark/benchmark.h>

#include "bench_fixtures.h"

#include <filesystem>
#include <list>
#include <string>

#include "app/assets.h"
#include "app/state.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"
#include "screens/title.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 500;

// n records, newest first; the first `shown` of them are Easy games, the rest Medium or Hard.
std::list<Scores> MakeRecords(int n, int shown) {
    return benchfix::MakeRecords(n, [shown](int i) { return i < shown ? 0 : 1 + i % 2; });
}

void TitleFrame(benchmark::State& state) {
    const bool pruning = state.range(0) == 1;
    const fs::path root = fs::temp_directory_path() / "crockery-bench-title";
    fs::create_directories(root);
    headless::Install(root.string());
    std::error_code ignored;
    fs::copy(fs::path(CD_GAME_DIR) / "Files", root / "Files",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, ignored);
    ResetProcessState();
    ResetSettingsMenu();
    ChangeFolder("Files/295/");
    SelectDirect3D7Backend();
    if (!OpenDisplay(800, 600, 0, 60)) {
        state.SkipWithError("no display");
        return;
    }
    DisplayWidth = 800;
    DisplayHeight = 600;
    SetVirtualResolution(VirtualWidth, VirtualHeight);
    DisplayOpened = 1;  // no loading screen, no jingle, no score file
    LoadCommonAssets();
    LoadGameImages();
    InitPalette();
    StepPalette(1024);
    if (Fonts[2] == 0 || IconStripSharp == 0) state.SkipWithError("game files not built");

    const std::list<Scores> records = MakeRecords(kRecords, pruning ? kRecords : 75);
    LocalScores = records;
    Difficulty = 0;
    SettingsMenuOpen = 1;
    headless::SetMouse(300, 200);  // over the stage, away from the start area and the menu
    TitleRun run;
    for (int i = 0; i < 64; ++i) RunTitleFrame(run);  // slide-in and menu at rest

    for (auto _ : state) {
        if (pruning) {
            state.PauseTiming();
            LocalScores = records;
            state.ResumeTiming();
        }
        RunTitleFrame(run);
    }
    state.counters["records_after"] = double(LocalScores.size());
    CloseDisplay();
    headless::Install();
    fs::remove_all(root, ignored);
}

BENCHMARK(TitleFrame)->Arg(0)->Arg(1)->ArgName("pruning")->Unit(benchmark::kMillisecond);

}  // namespace
