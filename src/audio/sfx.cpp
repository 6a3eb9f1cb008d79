// PlaySfx: a ring of channel slots so effects overlap and the oldest still sounding is cut when
// the ring comes round. A finished channel stays in its slot and is reused, so after one lap of
// the ring no call allocates.
#include "audio/sfx.h"

#include <algorithm>
#include <cmath>

#include "app/state.h"
#include "platform/platform.h"

int SoundEffects[kSoundEffectCount];
int SfxChannels[kSfxChannelSlots];
int SfxCursor = kFirstSfxSlot;

namespace {
constexpr float kMinSfxRate = 0.25f;
constexpr float kMaxSfxRate = 4.0f;

// std::clamp passes NaN through; an effect asked with NaN gets the lower bound instead.
float ClampOrLow(float value, float low, float high) {
    return value >= low ? std::min(value, high) : low;
}
}  // namespace

float SfxVolumeScale() {
    return float(Settings[MasterVolume]) * float(Settings[SoundVolume]) / 100.0f / 100.0f;
}

void PlaySfx(int id, float rate, float volume, float pan) {
    if (Settings[SoundVolume] <= 0) return;
    if (id < 1 || id >= kSoundEffectCount || SoundEffects[id] == 0) return;

    ++SfxCursor;
    if (SfxCursor >= kSfxRingEnd || SfxCursor < kFirstSfxSlot) SfxCursor = kFirstSfxSlot;
    volume = ClampOrLow(volume, 0.0f, 1.0f);
    rate = ClampOrLow(rate, kMinSfxRate, kMaxSfxRate);
    pan = std::isnan(pan) ? 0.0f : std::clamp(pan, -1.0f, 1.0f);

    int& slot = SfxChannels[SfxCursor];
    if (slot != 0 && ChannelIsPlaying(slot)) {
        StopChannel(slot);
        slot = 0;
    }
    if (slot == 0) slot = AllocateChannel();
    if (slot == 0) return;
    if (CueOnChannel(SoundEffects[id], slot) == 0) return;
    SetChannelVolume(slot, SfxVolumeScale() * volume);
    SetChannelPan(slot, pan);
    SetChannelRate(slot, rate);
    ResumeChannel(slot);
}

void PlayStartupJingle(int sample) {
    SfxChannels[kJingleSlot] = CueOnChannel(sample);
    if (SfxChannels[kJingleSlot] == 0) return;
    SetChannelVolume(SfxChannels[kJingleSlot], SfxVolumeScale());
    ResumeChannel(SfxChannels[kJingleSlot]);
}

void FreeSoundEffects() {
    for (int& sample : SoundEffects) {
        FreeSample(sample);
        sample = 0;
    }
}

void ResetSoundEffects() {
    std::fill(std::begin(SoundEffects), std::end(SoundEffects), 0);
    std::fill(std::begin(SfxChannels), std::end(SfxChannels), 0);
    SfxCursor = kFirstSfxSlot;
}
