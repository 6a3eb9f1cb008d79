// The recording audio drivers of the headless twin. One record serves all of them, and ids come
// from one sequence, so samples and channels of different drivers are never confused.
#include "platform/headless/audio_record.h"

#include "platform/audio.h"

namespace headless {
namespace {

AudioRecord gRecord;
int gLastId = 0;

void Log(AudioEvent::Kind kind, int channel, int sample, float value = 0, std::string name = "") {
    gRecord.events.push_back({kind, channel, sample, value, std::move(name)});
}

class RecordingDriver final : public plat::AudioDriver {
public:
    RecordingDriver(std::string name, bool opens) : name_(std::move(name)), opens_(opens) {}
    const char* Name() const override { return name_.c_str(); }

    bool Open() override { return opens_; }
    void Close() override {
        for (int id : mine_) {
            gRecord.samples.erase(id);
            gRecord.channels.erase(id);
        }
        mine_.clear();
    }
    int LoadSample(const plat::Pcm&, const std::string& file) override {
        const int id = Take();
        gRecord.samples[id] = file;
        Log(AudioEvent::Load, 0, id, 0, file);
        return id;
    }
    void FreeSample(int sample) override {
        if (!Owns(sample) || gRecord.samples.erase(sample) == 0) return;
        for (auto& [id, channel] : gRecord.channels) {
            if (channel.sample == sample) channel = RecordedChannel{};
        }
        Log(AudioEvent::Free, 0, sample);
    }
    int AllocateChannel() override {
        if (gRecord.channelLimit > 0 && int(gRecord.channels.size()) >= gRecord.channelLimit)
            return 0;
        const int id = Take();
        gRecord.channels[id] = RecordedChannel{};
        Log(AudioEvent::Allocate, id, 0);
        return id;
    }
    bool Cue(int channel, int sample) override {
        RecordedChannel* c = Channel(channel);
        if (c == nullptr || !Owns(sample) || gRecord.samples.count(sample) == 0) return false;
        c->sample = sample;
        c->playing = false;
        Log(AudioEvent::Cue, channel, sample);
        return true;
    }
    void Resume(int channel) override {
        RecordedChannel* c = Channel(channel);
        if (c == nullptr || c->sample == 0) return;
        c->playing = true;
        Log(AudioEvent::Resume, channel, c->sample);
    }
    void Stop(int channel) override {
        if (Channel(channel) == nullptr) return;
        gRecord.channels.erase(channel);
        Log(AudioEvent::Stop, channel, 0);
    }
    bool IsPlaying(int channel) override {
        RecordedChannel* c = Channel(channel);
        return c != nullptr && c->playing;
    }
    void SetVolume(int channel, float volume) override {
        if (RecordedChannel* c = Channel(channel)) {
            c->volume = volume;
            Log(AudioEvent::Volume, channel, c->sample, volume);
        }
    }
    void SetPan(int channel, float pan) override {
        if (RecordedChannel* c = Channel(channel)) {
            c->pan = pan;
            Log(AudioEvent::Pan, channel, c->sample, pan);
        }
    }
    void SetRate(int channel, float rate) override {
        if (RecordedChannel* c = Channel(channel)) {
            c->rate = rate;
            Log(AudioEvent::Rate, channel, c->sample, rate);
        }
    }

private:
    int Take() {
        mine_.insert(++gLastId);
        return gLastId;
    }
    bool Owns(int id) const { return mine_.count(id) != 0; }
    RecordedChannel* Channel(int channel) {
        if (!Owns(channel)) return nullptr;
        auto found = gRecord.channels.find(channel);
        return found == gRecord.channels.end() ? nullptr : &found->second;
    }

    std::string name_;
    bool opens_;
    std::set<int> mine_;
};

}  // namespace

AudioRecord& Audio() { return gRecord; }

std::vector<AudioEvent> AudioEventsOf(AudioEvent::Kind kind) {
    std::vector<AudioEvent> found;
    for (const AudioEvent& e : gRecord.events) {
        if (e.kind == kind) found.push_back(e);
    }
    return found;
}

void FinishChannel(int channel) {
    auto found = gRecord.channels.find(channel);
    if (found != gRecord.channels.end()) found->second.playing = false;
}

void FinishAllChannels() {
    for (auto& [id, channel] : gRecord.channels) channel.playing = false;
}

void InstallRecordingAudio(const std::vector<std::string>& names,
                           const std::set<std::string>& unavailable) {
    std::vector<plat::AudioDriverEntry> entries;
    for (const std::string& name : names) {
        const bool opens = unavailable.count(name) == 0;
        entries.push_back(
            {name, [name, opens] { return std::make_unique<RecordingDriver>(name, opens); }});
    }
    plat::InstallAudioDrivers(std::move(entries));
    gRecord = AudioRecord{};
}

}  // namespace headless
