// The "SDL Mixer" driver: an SDL audio device in float stereo fed by our Mixer. SDL runs the
// callback on its own thread with the device lock held; every program-thread call takes the same
// lock, so the mixer never sees a half-made change.
#include <SDL.h>

#include "platform/audio.h"
#include "platform/audio_sdl/mixer.h"

namespace plat {
namespace {

constexpr int kPreferredRate = 48000;
constexpr int kBufferFrames = 512;  // about 11 ms: short enough for effects to feel immediate

class SdlMixerDriver final : public AudioDriver {
public:
    ~SdlMixerDriver() override { Close(); }
    const char* Name() const override { return "SDL Mixer"; }

    bool Open() override {
        if (device_ != 0) return true;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = kPreferredRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kBufferFrames;
        want.callback = &SdlMixerDriver::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        mixer_ = std::make_unique<Mixer>(have.freq);
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void Close() override {
        if (device_ == 0) return;
        SDL_CloseAudioDevice(device_);  // waits for a running callback to return
        device_ = 0;
        mixer_.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    int LoadSample(const Pcm& pcm, const std::string&) override {
        Locked lock(device_);
        return mixer_ ? mixer_->AddSample(pcm) : 0;
    }
    void FreeSample(int sample) override {
        Locked lock(device_);
        if (mixer_) mixer_->RemoveSample(sample);
    }
    int AllocateChannel() override {
        Locked lock(device_);
        return mixer_ ? mixer_->AddVoice() : 0;
    }
    bool Cue(int channel, int sample) override {
        Locked lock(device_);
        return mixer_ && mixer_->Cue(channel, sample);
    }
    void Resume(int channel) override {
        Locked lock(device_);
        if (mixer_) mixer_->Resume(channel);
    }
    void Stop(int channel) override {
        Locked lock(device_);
        if (mixer_) mixer_->RemoveVoice(channel);
    }
    bool IsPlaying(int channel) override {
        Locked lock(device_);
        return mixer_ && mixer_->IsPlaying(channel);
    }
    void SetVolume(int channel, float volume) override {
        Locked lock(device_);
        if (mixer_) mixer_->SetVolume(channel, volume);
    }
    void SetPan(int channel, float pan) override {
        Locked lock(device_);
        if (mixer_) mixer_->SetPan(channel, pan);
    }
    void SetRate(int channel, float rate) override {
        Locked lock(device_);
        if (mixer_) mixer_->SetRate(channel, rate);
    }

private:
    struct Locked {
        explicit Locked(SDL_AudioDeviceID device) : device_(device) {
            if (device_ != 0) SDL_LockAudioDevice(device_);
        }
        ~Locked() {
            if (device_ != 0) SDL_UnlockAudioDevice(device_);
        }
        SDL_AudioDeviceID device_;
    };

    static void SDLCALL Callback(void* userdata, Uint8* stream, int bytes) {
        auto* self = static_cast<SdlMixerDriver*>(userdata);
        const int frames = bytes / int(2 * sizeof(float));
        if (self->mixer_) {
            self->mixer_->Mix(reinterpret_cast<float*>(stream), frames);
        } else {
            SDL_memset(stream, 0, size_t(bytes));
        }
    }

    SDL_AudioDeviceID device_ = 0;
    std::unique_ptr<Mixer> mixer_;
};

}  // namespace

std::unique_ptr<AudioDriver> MakeSdlMixerDriver() { return std::make_unique<SdlMixerDriver>(); }

}  // namespace plat
