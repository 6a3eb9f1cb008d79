// The public audio operations of platform.h: the driver registry with its probes, the choice of
// the active driver, and LoadSample's file reading. Everything else is handed to the driver.
// Before any SelectAudioDriver the first driver that opens is used, so sound works (or stays
// silent) whatever start-up chose; a missing device never stops the program.
#include <fstream>

#include "platform/audio.h"
#include "platform/platform.h"

namespace plat {
namespace {

struct RegisteredDriver {
    AudioDriverEntry entry;
    int probe = -1;  // -1 not yet tried, 0 cannot open here, 1 opens
};

// The audio layer's whole state. Written by InstallAudioDrivers, SelectAudioDriver and the first
// audio call; lives for the process.
struct AudioLayer {
    std::vector<RegisteredDriver> drivers;
    bool installed = false;
    std::string defaultName;
    std::unique_ptr<AudioDriver> active;
    std::string activeName;

    ~AudioLayer() {
        if (active) active->Close();
    }
};

AudioLayer& Layer() {
    static AudioLayer layer;
    if (!layer.installed) {
        layer.installed = true;
        for (auto& entry : RealAudioDrivers()) layer.drivers.push_back({std::move(entry), -1});
    }
    return layer;
}

RegisteredDriver* Find(const std::string& name) {
    for (auto& d : Layer().drivers) {
        if (d.entry.name == name) return &d;
    }
    return nullptr;
}

// Opens the driver, or answers null. The probe result is remembered so that listing the drivers
// opens each device only once.
std::unique_ptr<AudioDriver> OpenDriver(RegisteredDriver& d) {
    if (d.probe == 0 || !d.entry.make) return nullptr;
    auto driver = d.entry.make();
    if (driver && driver->Open()) {
        d.probe = 1;
        return driver;
    }
    d.probe = 0;
    return nullptr;
}

// Rates beyond these are inaudible or alias into noise; no caller asks for them.
constexpr float kMinRate = 1.0f / 16;
constexpr float kMaxRate = 16.0f;

float Bounded(float value, float low, float high, float whenNaN) {
    if (value != value) return whenNaN;
    return value < low ? low : value > high ? high : value;
}

bool Probe(RegisteredDriver& d) {
    if (d.probe < 0) {
        auto driver = OpenDriver(d);
        if (driver) driver->Close();
    }
    return d.probe == 1;
}

void Activate(std::unique_ptr<AudioDriver> driver, const std::string& name) {
    AudioLayer& layer = Layer();
    if (layer.active) layer.active->Close();
    layer.active = std::move(driver);
    layer.activeName = layer.active ? name : "";
}

// The driver every operation talks to: the selected one, else the default, else the first that
// opens. Null only when not even a silent driver is registered.
AudioDriver* Active() {
    AudioLayer& layer = Layer();
    if (layer.active) return layer.active.get();
    if (RegisteredDriver* preferred = Find(layer.defaultName)) {
        if (auto driver = OpenDriver(*preferred)) {
            Activate(std::move(driver), preferred->entry.name);
            return layer.active.get();
        }
    }
    for (auto& d : layer.drivers) {
        if (auto driver = OpenDriver(d)) {
            Activate(std::move(driver), d.entry.name);
            return layer.active.get();
        }
    }
    return nullptr;
}

}  // namespace

std::vector<AudioDriverEntry> RealAudioDrivers() {
    return {{"OpenAL", MakeOpenALDriver},
            {"SDL Mixer", MakeSdlMixerDriver},
            {"Silent", MakeSilentDriver}};
}

void InstallAudioDrivers(std::vector<AudioDriverEntry> entries, const std::string& defaultName) {
    AudioLayer& layer = Layer();
    Activate(nullptr, "");
    layer.drivers.clear();
    for (auto& entry : entries) layer.drivers.push_back({std::move(entry), -1});
    layer.defaultName = defaultName;
}

void ShutdownAudio() { Activate(nullptr, ""); }

}  // namespace plat

using plat::Active;

std::vector<std::string> ListAudioDrivers() {
    std::vector<std::string> names;
    for (auto& d : plat::Layer().drivers) {
        // The active driver holds its device; probing it again could fail for that reason alone.
        if (d.entry.name == plat::Layer().activeName || plat::Probe(d))
            names.push_back(d.entry.name);
    }
    return names;
}

bool AudioDriverExists(const std::string& name) {
    plat::RegisteredDriver* d = plat::Find(name);
    return d != nullptr && (name == plat::Layer().activeName || plat::Probe(*d));
}

void SelectAudioDriver(const std::string& name) {
    plat::AudioLayer& layer = plat::Layer();
    plat::RegisteredDriver* d = plat::Find(name);
    if (d == nullptr || name == layer.activeName) return;
    // Release the current device first: some systems allow only one open at a time.
    plat::Activate(nullptr, "");
    if (auto driver = plat::OpenDriver(*d)) plat::Activate(std::move(driver), name);
}

bool OpenALAvailable() {
    plat::RegisteredDriver* d = plat::Find("OpenAL");
    return d != nullptr && ("OpenAL" == plat::Layer().activeName || plat::Probe(*d));
}

std::string ActiveAudioDriverName() {
    Active();
    return plat::Layer().activeName;
}

int LoadSample(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return 0;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length <= 0 || uint64_t(length) > plat::kMaxWavBytes) return 0;
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) return 0;
    plat::Pcm pcm;
    if (!plat::DecodeWav(bytes.data(), bytes.size(), pcm)) return 0;
    plat::AudioDriver* driver = Active();
    return driver ? driver->LoadSample(pcm, file) : 0;
}

void FreeSample(int sample) {
    if (sample == 0) return;
    if (plat::AudioDriver* driver = Active()) driver->FreeSample(sample);
}

int AllocateChannel() {
    plat::AudioDriver* driver = Active();
    return driver ? driver->AllocateChannel() : 0;
}

int CueOnChannel(int sample, int channel) {
    plat::AudioDriver* driver = Active();
    if (driver == nullptr || sample == 0) return 0;
    const bool fresh = channel == 0;
    if (fresh) channel = driver->AllocateChannel();
    if (channel == 0) return 0;
    if (driver->Cue(channel, sample)) return channel;
    // A channel made for a sample that cannot be cued would otherwise never be released.
    if (fresh) driver->Stop(channel);
    return 0;
}

void ResumeChannel(int channel) {
    if (plat::AudioDriver* driver = Active()) driver->Resume(channel);
}

void StopChannel(int channel) {
    if (plat::AudioDriver* driver = Active()) driver->Stop(channel);
}

bool ChannelIsPlaying(int channel) {
    plat::AudioDriver* driver = Active();
    return driver != nullptr && driver->IsPlaying(channel);
}

// Drivers get values inside their documented ranges; NaN takes the neutral value.
void SetChannelVolume(int channel, float volume) {
    if (plat::AudioDriver* driver = Active())
        driver->SetVolume(channel, plat::Bounded(volume, 0, 1, 0));
}

void SetChannelPan(int channel, float pan) {
    if (plat::AudioDriver* driver = Active()) driver->SetPan(channel, plat::Bounded(pan, -1, 1, 0));
}

void SetChannelRate(int channel, float rate) {
    if (plat::AudioDriver* driver = Active()) {
        driver->SetRate(channel, plat::Bounded(rate, plat::kMinRate, plat::kMaxRate, 1));
    }
}
