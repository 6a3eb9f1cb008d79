// Reading one long line and many short lines through the text streams, and writing an atomic
// file: reading must stay linear in the line length (a 10 MB line is read in one pass).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

// A file of `bytes` bytes in the temporary folder, removed at the end of the benchmark.
struct TempFile {
    explicit TempFile(const std::string& content) {
        path = (fs::temp_directory_path() / ("crockery-bench-" + std::to_string(::getpid()))).string();
        std::ofstream(path, std::ios::binary) << content;
    }
    ~TempFile() { fs::remove(path); }
    std::string path;
};

void BM_ReadOneLongLine(benchmark::State& state) {
    headless::Install();
    const size_t bytes = static_cast<size_t>(state.range(0));
    std::string content(bytes, 'x');
    for (size_t i = 0; i < bytes; i += 97) content[i] = '\r';
    const TempFile file(content);
    for (auto _ : state) {
        const int s = OpenForReading(file.path);
        benchmark::DoNotOptimize(ReadTextLine(s));
        CloseStream(s);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ReadOneLongLine)->RangeMultiplier(10)->Range(10000, 10000000)->Unit(benchmark::kMillisecond);

void BM_ReadShortLines(benchmark::State& state) {
    headless::Install();
    std::string content;
    for (int i = 0; i < 10000; ++i) content += "Score|Player|0|63862383005|0|1|0|0\r\n";
    const TempFile file(content);
    for (auto _ : state) {
        const int s = OpenForReading(file.path);
        int lines = 0;
        do {
            benchmark::DoNotOptimize(ReadTextLine(s));
            ++lines;
        } while (!AtEndOfStream(s));
        CloseStream(s);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(content.size()));
}
BENCHMARK(BM_ReadShortLines)->Unit(benchmark::kMillisecond);

void BM_WriteAtomicFile(benchmark::State& state) {
    headless::Install();
    const std::string path = (fs::temp_directory_path() / ("crockery-bench-w-" + std::to_string(::getpid()))).string();
    const std::string line = "Score|Player|0|63862383005|0|1|0|0";
    for (auto _ : state) {
        const int s = OpenForWriting(path, true);
        for (int i = 0; i < state.range(0); ++i) WriteTextLine(s, line);
        benchmark::DoNotOptimize(CloseStream(s));  // includes the fsync that makes it durable
    }
    fs::remove(path);
}
BENCHMARK(BM_WriteAtomicFile)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
