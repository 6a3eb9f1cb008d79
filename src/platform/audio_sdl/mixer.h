// Our own software mixer behind the "SDL Mixer" driver: any number of voices, each resampled by
// linear interpolation to the output rate, panned by gain, scaled by volume and summed into
// interleaved stereo float that never leaves -1..1. Not locked: its owner serialises the calls.
#pragma once

#include <map>
#include <memory>

#include "platform/audio.h"

namespace plat {

class Mixer {
public:
    explicit Mixer(int outputRate);

    int OutputRate() const { return outputRate_; }
    // The same id rules as AudioDriver: from 1, never reused, unknown ids ignored.
    int AddSample(const Pcm& pcm);
    void RemoveSample(int sample);  // voices playing it stop and lose it
    int AddVoice();
    void RemoveVoice(int voice);
    bool Cue(int voice, int sample);
    void Resume(int voice);
    bool IsPlaying(int voice) const;
    void SetVolume(int voice, float volume);
    void SetPan(int voice, float pan);
    void SetRate(int voice, float rate);
    int VoiceCount() const { return int(voices_.size()); }

    // Writes `frames` stereo frames (2 x frames floats), replacing what `out` held. Allocates
    // nothing, so it is safe on the audio thread.
    void Mix(float* out, int frames);

private:
    struct Voice {
        std::shared_ptr<const Pcm> pcm;
        double position = 0;  // source frames from the start
        bool playing = false;
        float volume = 1;
        float pan = 0;
        float rate = 1;
    };
    void MixVoice(Voice& voice, float* out, int frames);

    int outputRate_;
    int lastId_ = 0;
    std::map<int, std::shared_ptr<const Pcm>> samples_;
    std::map<int, Voice> voices_;
};

}  // namespace plat
