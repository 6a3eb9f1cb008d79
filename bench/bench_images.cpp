// The pixel-exact overlap test at the load the game puts on it: a few hundred pairs of 32 x 32
// frames per frame at scale 1.5, turned, in the worst case for it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// A 32 x 32 checkerboard of single pixels: shifted by an odd number of pixels against itself,
// every solid pixel meets a hole, so the test must look at all of them to answer "no".
int MakeChecker() {
    SetAutoCentreHandle(true);
    const int checker = CreateBlankImage(32, 32, 1, 0);
    ClearScreen();
    SetDrawColor(255, 255, 255);
    for (int y = 0; y < 32; ++y)
        for (int x = y % 2; x < 32; x += 2) DrawFilledRect(float(x), float(y), 1, 1);
    GrabScreenToImage(checker, 0, 0, 0);
    // Grabbed black is opaque; make the holes transparent through a masked reload.
    const std::string file = "/tmp/crockery-bench-checker.png";
    SavePixelsAsPng(GrabScreenPixels(0, 0, 32, 32), file, 1);
    FreeImage(checker);
    const int masked = LoadImageFile(file, kImageMasked);
    std::remove(file.c_str());
    return masked;
}

// The worst case: 300 pairs per frame at scale 1.5 whose boxes overlap but pixels never do.
void BM_ImagesOverlapWorstCase(benchmark::State& state) {
    headless::Install();
    SelectDirect3D7Backend();
    OpenDisplay(800, 600, 0, 60);
    const int checker = MakeChecker();
    SetDrawScale(1.5f, 1.5f);
    SetDrawRotation(0);
    int hits = 0;
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i) {
            const float shift = float(1 + 2 * (i % 8)) * 1.5f;  // 1, 3, .. 15 texels
            hits += ImagesOverlap(checker, 400, 300, 0, checker, 400 + shift, 300, 0);
        }
    }
    if (hits) state.SkipWithError("checkerboards shifted by an odd count must not overlap");
    state.SetItemsProcessed(state.iterations() * 300);
    CloseDisplay();
}
BENCHMARK(BM_ImagesOverlapWorstCase)->Unit(benchmark::kMicrosecond);

}  // namespace
