// What several benchmarks build the same way: a headless display on the software renderer, a
// list of score records, and a busy game board.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <list>
#include <string>

#include "app/state.h"
#include "game/objects.h"
#include "game/play.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "scores/scores.h"

namespace benchfix {

// The headless twin in a fresh temporary game folder named by `tag`, the process state reset,
// and a width x height display opened on the software renderer. False (and the benchmark marked
// skipped) when no display opens. The caller chooses the virtual resolution.
inline bool OpenHeadlessDisplay(benchmark::State& state, const std::filesystem::path& root, int width,
                                int height) {
    std::filesystem::create_directories(root);
    headless::Install(root.string());
    ResetProcessState();
    ChangeFolder("Files/295/");
    SelectDirect3D7Backend();
    if (!OpenDisplay(width, height, 0, 60)) {
        state.SkipWithError("no display");
        return false;
    }
    DisplayWidth = width;
    DisplayHeight = height;
    return true;
}

// n records, newest first, with distinct names, scores and badges; `gameModeOf(i)` puts record i
// into a selection.
inline std::list<Scores> MakeRecords(int n, const std::function<int(int)>& gameModeOf) {
    std::list<Scores> out;
    for (int i = 0; i < n; ++i) {
        Scores s;
        s.Score = (i * 7919) % 100000;
        s.Timestamp = 62353036800LL + n - i;
        s.Name = "Player number " + std::to_string(i);
        s.Badges = i & 0xFFFF;
        s.GameMode = gameModeOf(i);
        for (int k = 1; k <= 30; ++k) s.Best[k] = i + k;
        out.push_back(s);
    }
    return out;
}

inline ect MakeObject(int kind, float x, float y, float xs = 0, float ys = 0) {
    ect o;
    o.t = kind;
    o.x = x;
    o.y = y;
    o.xs = xs;
    o.ys = ys;
    o.health = 100;
    return o;
}

// The board every iteration starts from. Intruders stand still far from the head and bursts are
// young, so the board keeps its make-up however often it is replayed.
inline std::list<ect> BusyBoard() {
    std::list<ect> board;
    board.push_back(MakeObject(kPlate, 200, 200));  // the held one
    for (int i = 1; i < 4; ++i) board.push_back(MakeObject(kPlate, 560 + 60.0f * i, 400));
    for (int i = 0; i < 50; ++i)
        board.push_back(MakeObject(kPickup, 260 + 15.0f * i, i % 2 ? 100 : 860));
    for (int i = 0; i < 60; ++i) board.push_back(MakeObject(kIntruder, 20.0f * i, 10));
    for (int i = 0; i < 20; ++i)
        board.push_back(MakeObject(i % 2 ? kIntruderBurst : kPickupBurst, 100 + 50.0f * i, 700, 8, 8));
    return board;
}

}  // namespace benchfix
