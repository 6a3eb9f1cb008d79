// The software mixer's cost per device buffer with many effects sounding at once (the ring allows
// 236), and WAV decoding of a one-second stereo effect.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_sdl/mixer.h"

namespace {

constexpr int kOutputRate = 48000;
constexpr int kBufferFrames = 512;

plat::Pcm Tone(int channels, int rate, int frames) {
    plat::Pcm pcm;
    pcm.rate = rate;
    pcm.channels = channels;
    for (int i = 0; i < frames * channels; ++i) {
        pcm.samples.push_back(int16_t((i * 37) % 20000 - 10000));
    }
    return pcm;
}

void BM_MixBuffer(benchmark::State& state) {
    plat::Mixer mixer(kOutputRate);
    const int mono = mixer.AddSample(Tone(1, 22050, 22050 * 60));
    const int stereo = mixer.AddSample(Tone(2, 44100, 44100 * 60));
    std::vector<int> voices;
    for (int v = 0; v < state.range(0); ++v) {
        const int voice = mixer.AddVoice();
        voices.push_back(voice);
        mixer.Cue(voice, v % 2 ? stereo : mono);
        mixer.SetRate(voice, 0.8f + 0.4f * float(v % 7) / 7);
        mixer.SetPan(voice, float(v % 5) / 2 - 1);
        mixer.Resume(voice);
    }
    std::vector<float> out(2 * kBufferFrames);
    for (auto _ : state) {
        mixer.Mix(out.data(), kBufferFrames);
        benchmark::DoNotOptimize(out.data());
        // Keep every voice sounding however long the run: a finished voice costs nothing.
        for (size_t v = 0; v < voices.size(); ++v) {
            if (!mixer.IsPlaying(voices[v])) {
                mixer.Cue(voices[v], v % 2 ? stereo : mono);
                mixer.Resume(voices[v]);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kBufferFrames * state.range(0));
}
BENCHMARK(BM_MixBuffer)->Arg(1)->Arg(16)->Arg(236);

void BM_DecodeWav(benchmark::State& state) {
    const int frames = 44100;
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
                                 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0,
                                 'd', 'a', 't', 'a'};
    const uint32_t bytes = frames * 4;
    for (int shift = 0; shift < 32; shift += 8) file.push_back(uint8_t(bytes >> shift));
    file.resize(file.size() + bytes, 0x11);
    for (auto _ : state) {
        plat::Pcm pcm;
        benchmark::DoNotOptimize(plat::DecodeWav(file.data(), file.size(), pcm));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}
BENCHMARK(BM_DecodeWav);

}  // namespace
