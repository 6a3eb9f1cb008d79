// The audio side of the platform layer: decoded sample data, the `AudioDriver` interface that
// every audio back end implements (OpenAL, our SDL mixer, silent, the test recorder), and the
// registry from which platform/audio.cpp lists, probes and selects them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// A sample decoded to the one format every driver takes: signed 16-bit, interleaved.
struct Pcm {
    int rate = 0;      // frames per second
    int channels = 0;  // 1 mono, 2 stereo (left first)
    std::vector<int16_t> samples;
    int Frames() const { return channels > 0 ? int(samples.size() / size_t(channels)) : 0; }
};

// Largest file LoadSample reads; a bigger "sound effect" is a broken or foreign file.
constexpr size_t kMaxWavBytes = 64u * 1024u * 1024u;

// RIFF WAVE with PCM 8- or 16-bit, mono or stereo, any positive rate. Any bytes are safe: a file
// that is not such a WAV, lacks its fmt or data chunk or has no whole frame gives false. A data
// chunk that claims more bytes than the file holds keeps the whole frames that are there.
bool DecodeWav(const uint8_t* bytes, size_t size, Pcm& out);

// One audio back end. Ids of samples and channels start at 1 and are never reused by the same
// driver; every operation accepts 0 or an unknown id and then does nothing (or answers 0/false).
// A channel is a voice: it holds at most one sample, is cued (rewound and paused), resumed,
// and finishes on its own at the sample's end. All calls come from the program thread.
class AudioDriver {
public:
    virtual ~AudioDriver() = default;
    virtual const char* Name() const = 0;

    // Starts the device. False when this back end cannot play here; the driver is then unused.
    virtual bool Open() = 0;
    // Releases the device and everything loaded; ids become unknown.
    virtual void Close() = 0;

    // `file` names the source for drivers that report what they were given.
    virtual int LoadSample(const Pcm& pcm, const std::string& file) = 0;
    // A sample still on channels is taken off them first (they stop).
    virtual void FreeSample(int sample) = 0;

    virtual int AllocateChannel() = 0;  // 0 when the back end has no voice left
    // Puts `sample` on the channel at its start, paused. False (channel unchanged) for an
    // unknown sample or channel.
    virtual bool Cue(int channel, int sample) = 0;
    virtual void Resume(int channel) = 0;
    // Stops the channel and releases it: the id becomes unknown, its voice goes back to the pool.
    virtual void Stop(int channel) = 0;
    // True from Resume until the sample ends or the channel stops; a cued channel is not playing.
    virtual bool IsPlaying(int channel) = 0;
    virtual void SetVolume(int channel, float volume) = 0;  // 0..1
    virtual void SetPan(int channel, float pan) = 0;        // -1 left .. 1 right
    virtual void SetRate(int channel, float rate) = 0;      // 1 = the sample's own pitch
};

// A named back end the layer can offer. `make` builds an unopened driver.
struct AudioDriverEntry {
    std::string name;
    std::function<std::unique_ptr<AudioDriver>()> make;
};

// The back ends of a real machine, in the order the layer lists them: "OpenAL", "SDL Mixer",
// "Silent". Automatic choice prefers the first one that opens.
std::vector<AudioDriverEntry> RealAudioDrivers();

// Replaces the registry (closing the active driver) and forgets earlier probes. The headless twin
// installs its recording drivers this way; `defaultName` is the driver used before any
// SelectAudioDriver ("" = the first entry that opens).
void InstallAudioDrivers(std::vector<AudioDriverEntry> entries,
                         const std::string& defaultName = "");
// Closes the active driver (the device is released); the next audio call opens the default again.
void ShutdownAudio();

std::unique_ptr<AudioDriver> MakeOpenALDriver();
std::unique_ptr<AudioDriver> MakeSdlMixerDriver();
std::unique_ptr<AudioDriver> MakeSilentDriver();

}  // namespace plat
