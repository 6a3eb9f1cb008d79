// CPU time of one game frame on the headless twin with a busy board: 4 plates (one held), 50
// pickups, 60 intruders and 20 bursts. The rules alone with no display (drawing calls return at
// once), the rules with the software renderer drawing, and the whole frame with backdrop and
// FramePresent.
#include <benchmark/benchmark.h>

#include "bench_fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <list>
#include <string>

#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "game/objects.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int kW = 1280, kH = 960;

using benchfix::BusyBoard;

void Prepare(bool withDisplay) {
    static std::string root;
    if (root.empty()) {
        root = (std::filesystem::temp_directory_path() / "crockery-bench").string();
        std::filesystem::create_directories(root);
    }
    headless::Install(root);
    ResetProcessState();
    VirtualWidth = kW;
    VirtualHeight = kH;
    GameSheet = TwirlImage = 0;
    if (withDisplay) {
        SelectDirect3D7Backend();
        OpenDisplay(kW, kH, 0, 60);
        DisplayWidth = kW;
        DisplayHeight = kH;
        SetVirtualResolution(kW, kH);
        SetAutoCentreHandle(true);
        const std::string folder = std::string(CD_GAME_DIR) + "/Files/295/";
        GameSheet = LoadImageStrip(folder + "gfx.png", 32, 32, 0, 100,
                                   kImageMasked | kImageFiltered);
        TwirlImage = LoadImageFile(folder + "twirl.png", kImageMasked | kImageFiltered);
    }
}

void Hold(GameRun& run) {
    run.held = &GameObjects.front();
    run.holding = true;
    run.latch = true;
    run.quota = 60;
    run.sx = 0.5f;  // enough motion to keep the held plate from fading
}

void RunFrames(benchmark::State& state, bool withDisplay, bool wholeFrame) {
    Prepare(withDisplay);
    Difficulty = 1;
    headless::SetMouse(210, 210);
    headless::SetMouseButton(1, true);
    const std::list<ect> board = BusyBoard();
    GameRun run;
    StartGame(run);
    for (auto _ : state) {
        state.PauseTiming();
        GameObjects = board;
        Hold(run);
        state.ResumeTiming();
        if (wholeFrame) RunGameFrame(run); else RunGameRules(run);
        benchmark::DoNotOptimize(GameObjects.size());
    }
    state.counters["objects"] = double(board.size());
    if (withDisplay) CloseDisplay();
}

void BM_GameRules(benchmark::State& state) { RunFrames(state, false, false); }
void BM_GameRulesDrawing(benchmark::State& state) { RunFrames(state, true, false); }
void BM_GameFrameDrawing(benchmark::State& state) { RunFrames(state, true, true); }

}  // namespace

BENCHMARK(BM_GameRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameRulesDrawing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameFrameDrawing)->Unit(benchmark::kMicrosecond);
