// The headless twin's audio: drivers that play nothing and record every call, so tests can check
// what was loaded, cued, resumed and stopped and at which volume, pan and rate, and decide when a
// channel's sound has finished.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace headless {

struct AudioEvent {
    enum Kind { Load, Free, Allocate, Cue, Resume, Stop, Volume, Pan, Rate };
    Kind kind = Load;
    int channel = 0;
    int sample = 0;
    float value = 0;   // Volume, Pan, Rate
    std::string name;  // Load: the file
};

struct RecordedChannel {
    int sample = 0;  // cued sample, 0 before the first cue
    float volume = 1;
    float pan = 0;
    float rate = 1;
    bool playing = false;  // resumed and neither finished nor stopped
};

// Everything the recording drivers were asked. Reset by InstallRecordingAudio (so by Install).
struct AudioRecord {
    std::vector<AudioEvent> events;
    std::map<int, std::string> samples;       // loaded and not freed: id -> file
    std::map<int, RecordedChannel> channels;  // allocated and not stopped
    int channelLimit = 0;  // a test may set it: AllocateChannel answers 0 beyond it (0 = no limit)
};
AudioRecord& Audio();

// Events of one kind, in order.
std::vector<AudioEvent> AudioEventsOf(AudioEvent::Kind kind);
// The sound on `channel` reaches its end: ChannelIsPlaying answers false from now on.
void FinishChannel(int channel);
void FinishAllChannels();

// Offers recording drivers under `names` (the platform lists them in this order); names in
// `unavailable` fail to open, as on a machine without that device. Clears the record. Until the
// program selects one, the first that opens is used. Install calls this with the defaults.
void InstallRecordingAudio(const std::vector<std::string>& names = {"OpenAL", "SDL Mixer",
                                                                    "Silent"},
                           const std::set<std::string>& unavailable = {});

}  // namespace headless
