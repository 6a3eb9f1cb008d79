// Cost of the high-score tab per frame over 500 records (ranking only, drawn with pruning, drawn
// in steady state) on the software renderer of the headless twin, and of reading a score file of
// 1,000 records.
#include <benchmark/benchmark.h>

#include "bench_fixtures.h"

#include <filesystem>
#include <list>
#include <string>

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "scores/score_table.h"
#include "scores/scores.h"
#include "scores/scramble.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1280, kHeight = 960;

// n records, newest first; every `otherEvery`-th belongs to another selection (0: none does).
std::list<Scores> MakeRecords(int n, int otherEvery) {
    return benchfix::MakeRecords(
        n, [otherEvery](int i) { return otherEvery > 0 && i % otherEvery != 0 ? 1 + i % 2 : 0; });
}

// The headless twin with a software display, a marker strip and, when the built game folder has
// them, a real font in the table's three font slots.
void SetUpTable(const std::string& tag, bool withDisplay = true) {
    const fs::path root = fs::temp_directory_path() / ("crockery-bench-scores-" + tag);
    fs::create_directories(root);
    headless::Install(root.string());
    ResetProcessState();
    SelectDirect3D7Backend();
    if (withDisplay) OpenDisplay(kWidth, kHeight, 0, 60);
    DisplayWidth = VirtualWidth = kWidth;
    DisplayHeight = VirtualHeight = kHeight;
    SetVirtualResolution(kWidth, kHeight);
    SetAutoCentreHandle(true);
    IconStrip = CreateBlankImage(16, 16, 64, 0);
    BadgeImages = CreateBlankImage(64, 64, 16, 0);
#ifdef CD_GAME_DIR
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(fs::path(CD_GAME_DIR) / "Files/Common", ignored))
        if (entry.path().extension() == ".ttf") {
            Fonts[1] = Fonts[3] = Fonts[4] = LoadFont(entry.path().string(), 16, kFontSmooth);
            break;
        }
#endif
    GraphScroll = 0;
    PinnedEntry = 1001;  // the detail box is drawn too
    FrameMouseX = FrameMouseY = -100;
}

void ScoreTableRankingOnly(benchmark::State& state) {
    SetUpTable("rank");
    LocalScores = MakeRecords(500, 0);
    for (auto _ : state) {
        DrawScoreTable(100, 400, 0, 0, 0, 0);
        benchmark::DoNotOptimize(RankSlots[1]);
    }
    CloseDisplay();
}
BENCHMARK(ScoreTableRankingOnly)->Unit(benchmark::kMicrosecond);

// 500 games of the shown selection: the first frame after loading, which also prunes 425.
// Argument 1: on the software renderer; 0: without a display, the table's own work alone.
void ScoreTableDrawnFirstFrame(benchmark::State& state) {
    SetUpTable("first", state.range(0) != 0);
    const std::list<Scores> records = MakeRecords(500, 0);
    for (auto _ : state) {
        state.PauseTiming();
        LocalScores = records;
        DrawCounts[kCountImages] = 0;  // as BeginFrame does, without timing its screen clear
        state.ResumeTiming();
        DrawScoreTable(100, 400, 0, 0, 0, 1);
    }
    CloseDisplay();
}
BENCHMARK(ScoreTableDrawnFirstFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// 500 games, 75 of them in the shown selection: every later frame, nothing left to prune.
void ScoreTableDrawnSteady(benchmark::State& state) {
    SetUpTable("steady", state.range(0) != 0);
    LocalScores = MakeRecords(500, 7);
    DrawScoreTable(100, 400, 0, 0, 0, 1);
    state.counters["records"] = static_cast<double>(LocalScores.size());
    for (auto _ : state) {
        DrawCounts[kCountImages] = 0;  // as BeginFrame does, without timing its screen clear
        DrawScoreTable(100, 400, 0, 0, 0, 1);
    }
    CloseDisplay();
}
BENCHMARK(ScoreTableDrawnSteady)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void LoadScoresOf1000(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / "crockery-bench-scores-load";
    fs::create_directories(root);
    headless::Install(root.string());
    ResetProcessState();
    BuildDefaultKey();
    LocalScores = MakeRecords(1000, 0);
    SaveScores();
    for (auto _ : state) {
        LoadScores();
        benchmark::DoNotOptimize(LocalScores.size());
    }
    if (LocalScores.size() != 1000) state.SkipWithError("records lost");
    LocalScores.clear();
}
BENCHMARK(LoadScoresOf1000)->Unit(benchmark::kMillisecond);

}  // namespace
