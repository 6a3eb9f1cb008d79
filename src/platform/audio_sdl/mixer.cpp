// The software mixer: per voice a read position in source frames that advances by
// rate x source rate / output rate per output frame, so pitch and length follow the rate.
#include "platform/audio_sdl/mixer.h"

#include <algorithm>

namespace plat {
namespace {
constexpr float kInt16Scale = 1.0f / 32768.0f;
}

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

int Mixer::AddSample(const Pcm& pcm) {
    if (pcm.Frames() == 0 || pcm.rate <= 0) return 0;
    samples_[++lastId_] = std::make_shared<const Pcm>(pcm);
    return lastId_;
}

void Mixer::RemoveSample(int sample) {
    auto found = samples_.find(sample);
    if (found == samples_.end()) return;
    for (auto& [id, voice] : voices_) {
        if (voice.pcm == found->second) {
            voice.pcm.reset();
            voice.playing = false;
        }
    }
    samples_.erase(found);
}

int Mixer::AddVoice() {
    voices_[++lastId_] = Voice{};
    return lastId_;
}

void Mixer::RemoveVoice(int voice) { voices_.erase(voice); }

bool Mixer::Cue(int voice, int sample) {
    auto v = voices_.find(voice);
    auto s = samples_.find(sample);
    if (v == voices_.end() || s == samples_.end()) return false;
    v->second.pcm = s->second;
    v->second.position = 0;
    v->second.playing = false;
    return true;
}

void Mixer::Resume(int voice) {
    auto v = voices_.find(voice);
    if (v != voices_.end() && v->second.pcm) v->second.playing = true;
}

bool Mixer::IsPlaying(int voice) const {
    auto v = voices_.find(voice);
    return v != voices_.end() && v->second.playing;
}

void Mixer::SetVolume(int voice, float volume) {
    auto v = voices_.find(voice);
    if (v != voices_.end()) v->second.volume = std::clamp(volume, 0.0f, 1.0f);
}

void Mixer::SetPan(int voice, float pan) {
    auto v = voices_.find(voice);
    if (v != voices_.end()) v->second.pan = std::clamp(pan, -1.0f, 1.0f);
}

void Mixer::SetRate(int voice, float rate) {
    auto v = voices_.find(voice);
    if (v != voices_.end() && rate > 0) v->second.rate = rate;
}

void Mixer::Mix(float* out, int frames) {
    std::fill(out, out + 2 * size_t(std::max(frames, 0)), 0.0f);
    for (auto& [id, voice] : voices_) {
        if (voice.playing) MixVoice(voice, out, frames);
    }
    // Many loud voices can sum past full scale; clamping keeps the device from wrapping around.
    for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Mixer::MixVoice(Voice& voice, float* out, int frames) {
    const Pcm& pcm = *voice.pcm;
    const int count = pcm.Frames();
    const int channels = pcm.channels;
    const int16_t* data = pcm.samples.data();
    const double step = double(voice.rate) * pcm.rate / outputRate_;
    // Balance law: the centre plays both sides at full volume, a side fades the other out.
    const float left = voice.volume * std::min(1.0f, 1.0f - voice.pan) * kInt16Scale;
    const float right = voice.volume * std::min(1.0f, 1.0f + voice.pan) * kInt16Scale;
    double position = voice.position;
    // Compared as doubles first: a huge rate may step far beyond what an int holds.
    for (int f = 0; f < frames && position < count; ++f) {
        const int i = int(position);
        const float t = float(position - i);
        const int next = i + 1 < count ? i + 1 : i;
        const int16_t* a = data + size_t(i) * channels;
        const int16_t* b = data + size_t(next) * channels;
        const float l = a[0] + (b[0] - a[0]) * t;
        const float r = channels == 2 ? a[1] + (b[1] - a[1]) * t : l;
        out[2 * f] += l * left;
        out[2 * f + 1] += r * right;
        position += step;
    }
    if (position >= count) voice.playing = false;
    voice.position = position;
}

}  // namespace plat
