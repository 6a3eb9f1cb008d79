// The driver that is always there: it keeps samples and channels as ids so every caller works
// unchanged, and plays nothing. No channel is ever playing, so callers reuse their channels.
#include <set>

#include "platform/audio.h"

namespace plat {
namespace {

class SilentDriver final : public AudioDriver {
public:
    const char* Name() const override { return "Silent"; }
    bool Open() override { return true; }
    void Close() override {
        samples_.clear();
        channels_.clear();
    }
    int LoadSample(const Pcm&, const std::string&) override {
        samples_.insert(++lastId_);
        return lastId_;
    }
    void FreeSample(int sample) override { samples_.erase(sample); }
    int AllocateChannel() override {
        channels_.insert(++lastId_);
        return lastId_;
    }
    bool Cue(int channel, int sample) override {
        return channels_.count(channel) != 0 && samples_.count(sample) != 0;
    }
    void Resume(int) override {}
    void Stop(int channel) override { channels_.erase(channel); }
    bool IsPlaying(int) override { return false; }
    void SetVolume(int, float) override {}
    void SetPan(int, float) override {}
    void SetRate(int, float) override {}

private:
    int lastId_ = 0;  // samples and channels share one sequence, so ids are never confused
    std::set<int> samples_;
    std::set<int> channels_;
};

}  // namespace

std::unique_ptr<AudioDriver> MakeSilentDriver() { return std::make_unique<SilentDriver>(); }

}  // namespace plat
