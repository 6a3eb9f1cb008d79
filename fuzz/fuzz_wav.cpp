// WAV bytes decoded in memory and, as a file, loaded through LoadSample on the headless twin's
// recording audio driver and played once.
#include "fuzz_common.h"
#include "platform/audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InputScope scope;
    plat::Pcm pcm;
    if (plat::DecodeWav(data, size, pcm)) {
        fuzz::Expect(pcm.channels == 1 || pcm.channels == 2, "mono or stereo");
        fuzz::Expect(pcm.rate > 0, "a positive rate");
        fuzz::Expect(pcm.Frames() > 0 && pcm.samples.size() % size_t(pcm.channels) == 0,
                     "whole frames only");
        fuzz::Expect(pcm.samples.size() <= size, "no more samples than the bytes could hold");
    } else {
        fuzz::Expect(pcm.samples.empty() && pcm.channels == 0, "a refused file leaves nothing");
    }

    fuzz::WriteBytes("sound.wav", data, size);
    const int sample = LoadSample("sound.wav");
    fuzz::Expect((sample != 0) == (pcm.channels != 0), "LoadSample agrees with the decoder");
    const int channel = CueOnChannel(sample);
    SetChannelRate(channel, 1.5f);
    ResumeChannel(channel);
    StopChannel(channel);
    FreeSample(sample);
    return 0;
}
