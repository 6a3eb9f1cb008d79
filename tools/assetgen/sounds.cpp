// Sound synthesis from a few oscillators, a seeded noise source and one-pole filters. Every
// effect ends in Finish: DC removed, peak at -1 dBFS, short fades at both ends.
#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "output.h"

namespace gen {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kPeak = 0.891f;       // -1 dBFS
constexpr float kFadeInSec = 0.003f;  // long enough to hide a step, short enough to keep the attack
constexpr float kFadeOutSec = 0.010f;

// A fixed-seed xorshift: the noise is part of the sound, so it must be the same at every build.
struct Noise {
    uint32_t state;
    float Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 2147483648.0f - 1.0f;
    }
};

std::vector<float> Silence(float seconds) {
    return std::vector<float>(size_t(seconds * kSampleRate), 0.0f);
}
float TimeOf(size_t i) { return float(i) / kSampleRate; }

// Attack of `attack` seconds, then exponential decay with time constant `tau`.
float Envelope(float t, float attack, float tau) {
    if (t < 0) return 0;
    const float rise = attack > 0 ? std::min(1.0f, t / attack) : 1.0f;
    return rise * std::exp(-std::max(0.0f, t - attack) / tau);
}

// A bell-like tone: fundamental with a little of the octave and twelfth.
void AddBell(std::vector<float>& s, float start, float freq, float gain, float tau) {
    for (size_t i = size_t(start * kSampleRate); i < s.size(); ++i) {
        const float t = TimeOf(i) - start;
        const float ph = 2 * kPi * freq * t;
        const float tone = std::sin(ph) + 0.3f * std::sin(2 * ph) * std::exp(-t / 0.08f) +
                           0.12f * std::sin(3 * ph);
        s[i] += gain * Envelope(t, 0.004f, tau) * tone;
    }
}

struct OnePole {
    float a = 0, y = 0;
    float Low(float x) { return y += a * (x - y); }
};
float PoleFor(float cutoffHz) { return 1.0f - std::exp(-2 * kPi * cutoffHz / kSampleRate); }

std::vector<float> Finish(std::vector<float> s) {
    float mean = 0;
    for (float v : s) mean += v;
    mean /= float(std::max<size_t>(1, s.size()));
    const size_t in = size_t(kFadeInSec * kSampleRate), out = size_t(kFadeOutSec * kSampleRate);
    float peak = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float g = 1;
        if (i < in) g *= 0.5f - 0.5f * std::cos(kPi * float(i) / float(in));
        const size_t left = s.size() - 1 - i;
        if (left < out) g *= 0.5f - 0.5f * std::cos(kPi * float(left) / float(out));
        s[i] = (s[i] - mean) * g;
        peak = std::max(peak, std::fabs(s[i]));
    }
    for (float& v : s) v *= peak > 0 ? kPeak / peak : 0;
    return s;
}

}  // namespace

std::vector<float> BadgeJingle() {
    // A rising major arpeggio; the top note rings on.
    std::vector<float> s = Silence(0.62f);
    const float notes[4] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int k = 0; k < 4; ++k) AddBell(s, 0.08f * float(k), notes[k], 0.6f, k == 3 ? 0.18f : 0.1f);
    AddBell(s, 0.24f, 1567.98f, 0.15f, 0.14f);  // a sparkle a fifth above the top
    return Finish(s);
}

std::vector<float> PlateGrab() {
    // A soft pluck under a short breath of band-limited noise rising in brightness.
    std::vector<float> s = Silence(0.22f);
    Noise n{0x9E3779B9u};
    OnePole low, lowSlow;
    lowSlow.a = PoleFor(300);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = TimeOf(i);
        low.a = PoleFor(800 + 5000 * t / 0.22f);
        const float band = low.Low(n.Next()) - lowSlow.Low(low.y);
        const float whoosh = band * Envelope(t, 0.05f, 0.05f) * 1.4f;
        const float freq = 392.0f * (1.0f + 0.25f * std::exp(-t / 0.01f));
        const float pluck = std::sin(2 * kPi * freq * t) * Envelope(t, 0.002f, 0.045f);
        s[i] = 0.55f * whoosh + 0.6f * pluck;
    }
    return Finish(s);
}

std::vector<float> IntruderZap() {
    // A falling zap followed by a bright two-note chime.
    std::vector<float> s = Silence(0.36f);
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = TimeOf(i);
        const float freq = 2400.0f * std::exp(-t / 0.05f) + 500.0f;
        phase += 2 * kPi * freq / kSampleRate;
        const float saw =
            std::sin(phase) + 0.35f * std::sin(2 * phase) + 0.2f * std::sin(3 * phase);
        s[i] = 0.45f * saw * Envelope(t, 0.002f, 0.04f);
    }
    AddBell(s, 0.03f, 1318.5f, 0.45f, 0.09f);
    AddBell(s, 0.09f, 1975.5f, 0.35f, 0.08f);
    return Finish(s);
}

std::vector<float> PickupPlink() {
    // A tiny, high, glassy tick.
    std::vector<float> s = Silence(0.09f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = TimeOf(i);
        const float ph = 2 * kPi * 2093.0f * t;
        s[i] = (std::sin(ph) + 0.25f * std::sin(2.76f * ph)) * Envelope(t, 0.001f, 0.018f);
    }
    return Finish(s);
}

std::vector<float> HeadCrash() {
    // A low thump dropping in pitch, under a dark crunch of noise.
    std::vector<float> s = Silence(0.7f);
    Noise n{0x2545F491u};
    OnePole dark;
    dark.a = PoleFor(900);
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = TimeOf(i);
        const float freq = 45.0f + 90.0f * std::exp(-t / 0.08f);
        phase += 2 * kPi * freq / kSampleRate;
        const float thump = std::sin(phase) * Envelope(t, 0.003f, 0.22f);
        const float crunch = dark.Low(n.Next()) * Envelope(t, 0.001f, 0.09f) * 2.5f;
        s[i] = 0.8f * thump + 0.5f * crunch;
    }
    return Finish(s);
}

std::vector<float> MenuBlip() {
    // A short click-tone; the title screen plays it at several rates.
    std::vector<float> s = Silence(0.07f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = TimeOf(i);
        const float ph = 2 * kPi * 880.0f * t;
        s[i] = (std::sin(ph) + 0.2f * std::sin(3 * ph)) * Envelope(t, 0.002f, 0.022f);
    }
    return Finish(s);
}

}  // namespace gen
