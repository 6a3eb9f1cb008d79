// The "OpenAL" driver: one OpenAL source per channel, one buffer per sample. Pitch gives the rate,
// gain the volume, and pan is a position on a unit circle around the listener, relative to it,
// with no distance attenuation, so only the direction (and thus the left-right balance) changes.
// Stereo samples are mixed down to mono on load: OpenAL pans only mono buffers.
#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/audio.h"

namespace plat {
namespace {

struct Source {
    ALuint id = 0;
    int sample = 0;
};

class OpenALDriver final : public AudioDriver {
public:
    ~OpenALDriver() override { Close(); }
    const char* Name() const override { return "OpenAL"; }

    bool Open() override {
        if (context_ != nullptr) return true;
        device_ = alcOpenDevice(nullptr);
        if (device_ == nullptr) return false;
        context_ = alcCreateContext(device_, nullptr);
        if (context_ == nullptr || alcMakeContextCurrent(context_) != ALC_TRUE) {
            if (context_ != nullptr) alcDestroyContext(context_);
            context_ = nullptr;
            alcCloseDevice(device_);
            device_ = nullptr;
            return false;
        }
        alDistanceModel(AL_NONE);
        alGetError();
        return true;
    }

    void Close() override {
        if (context_ == nullptr) return;
        for (auto& [id, source] : sources_) {
            alSourceStop(source.id);
            alDeleteSources(1, &source.id);
        }
        for (auto& [id, buffer] : buffers_) alDeleteBuffers(1, &buffer);
        sources_.clear();
        buffers_.clear();
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
        context_ = nullptr;
        device_ = nullptr;
    }

    int LoadSample(const Pcm& pcm, const std::string&) override {
        if (context_ == nullptr || pcm.Frames() == 0) return 0;
        std::vector<int16_t> mono;
        const std::vector<int16_t>* data = &pcm.samples;
        if (pcm.channels == 2) {
            mono.resize(size_t(pcm.Frames()));
            for (size_t i = 0; i < mono.size(); ++i) {
                mono[i] = int16_t((int(pcm.samples[2 * i]) + int(pcm.samples[2 * i + 1])) / 2);
            }
            data = &mono;
        }
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) return 0;
        alBufferData(buffer, AL_FORMAT_MONO16, data->data(),
                     ALsizei(data->size() * sizeof(int16_t)), ALsizei(pcm.rate));
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            return 0;
        }
        buffers_[++lastId_] = buffer;
        return lastId_;
    }

    void FreeSample(int sample) override {
        auto found = buffers_.find(sample);
        if (found == buffers_.end()) return;
        // OpenAL refuses to delete a buffer that a source still holds.
        for (auto& [id, source] : sources_) {
            if (source.sample == sample) {
                alSourceStop(source.id);
                alSourcei(source.id, AL_BUFFER, 0);
                source.sample = 0;
            }
        }
        alDeleteBuffers(1, &found->second);
        buffers_.erase(found);
    }

    int AllocateChannel() override {
        if (context_ == nullptr) return 0;
        alGetError();
        Source source;
        alGenSources(1, &source.id);
        if (alGetError() != AL_NO_ERROR) return 0;  // the device's voices are all taken
        alSourcei(source.id, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source.id, AL_ROLLOFF_FACTOR, 0.0f);
        PlaceForPan(source.id, 0.0f);
        sources_[++lastId_] = source;
        return lastId_;
    }

    bool Cue(int channel, int sample) override {
        Source* source = Find(channel);
        auto buffer = buffers_.find(sample);
        if (source == nullptr || buffer == buffers_.end()) return false;
        alSourceStop(source->id);
        alSourcei(source->id, AL_BUFFER, ALint(buffer->second));
        alSourceRewind(source->id);
        source->sample = sample;
        return true;
    }

    void Resume(int channel) override {
        Source* source = Find(channel);
        if (source != nullptr && source->sample != 0) alSourcePlay(source->id);
    }

    void Stop(int channel) override {
        auto found = sources_.find(channel);
        if (found == sources_.end()) return;
        alSourceStop(found->second.id);
        alDeleteSources(1, &found->second.id);
        sources_.erase(found);
    }

    bool IsPlaying(int channel) override {
        Source* source = Find(channel);
        if (source == nullptr) return false;
        ALint state = AL_STOPPED;
        alGetSourcei(source->id, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }

    void SetVolume(int channel, float volume) override {
        if (Source* source = Find(channel)) alSourcef(source->id, AL_GAIN, volume);
    }
    void SetPan(int channel, float pan) override {
        if (Source* source = Find(channel)) PlaceForPan(source->id, pan);
    }
    void SetRate(int channel, float rate) override {
        if (Source* source = Find(channel)) alSourcef(source->id, AL_PITCH, rate);
    }

private:
    Source* Find(int channel) {
        auto found = sources_.find(channel);
        return found == sources_.end() ? nullptr : &found->second;
    }

    // x = pan on the unit circle in front of the listener: the distance stays 1 (no change in
    // loudness), and full pan puts the sound straight to that side.
    static void PlaceForPan(ALuint source, float pan) {
        const float front = std::sqrt(std::max(0.0f, 1.0f - pan * pan));
        alSource3f(source, AL_POSITION, pan, 0.0f, -front);
    }

    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    int lastId_ = 0;
    std::map<int, ALuint> buffers_;
    std::map<int, Source> sources_;
};

}  // namespace

std::unique_ptr<AudioDriver> MakeOpenALDriver() { return std::make_unique<OpenALDriver>(); }

}  // namespace plat
