// The platform's audio: WAV decoding, the software mixer, the driver registry with the headless
// twin's recording drivers, and the two real drivers where this machine lets them open.
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "headless_fixture.h"
#include "platform/audio.h"
#include "platform/audio_sdl/mixer.h"
#include "platform/headless/audio_record.h"
#include "wav_bytes.h"

namespace {

using namespace wavbytes;

bool Decode(const Bytes& bytes, plat::Pcm& pcm) {
    return plat::DecodeWav(bytes.data(), bytes.size(), pcm);
}

// ---------------------------------------------------------------------------------------------
// WAV decoding
// ---------------------------------------------------------------------------------------------

TEST(WavDecode, ReadsPcmOfEveryWidthAndLayout) {
    const Bytes eightBit = {0, 128, 255, 64};
    const Bytes listOdd = {'a', 'b', 'c'};  // an odd chunk and its pad byte come before the data
    Bytes extensible = Fmt(0xFFFE, 2, 8000, 16);
    extensible.resize(40, 0);
    extensible[24] = 1;  // sub-format: PCM
    struct Case {
        const char* what;
        Bytes file;
        int rate, channels;
        std::vector<int16_t> samples;
    } cases[] = {
        {"16-bit mono", Wav16(1, 44100, {0, 32767, -32768}), 44100, 1, {0, 32767, -32768}},
        {"16-bit stereo", Wav16(2, 22050, {1, -1, 2, -2}), 22050, 2, {1, -1, 2, -2}},
        {"8-bit mono", Riff({Chunk("fmt ", Fmt(1, 1, 11025, 8)), Chunk("data", eightBit)}),
         11025, 1, {-32768, 0, 32512, -16384}},
        {"8-bit stereo", Riff({Chunk("fmt ", Fmt(1, 2, 8000, 8)), Chunk("data", eightBit)}),
         8000, 2, {-32768, 0, 32512, -16384}},
        {"odd chunk before data",
         Riff({Chunk("fmt ", Fmt(1, 1, 8000, 16)), Chunk("LIST", listOdd),
               Chunk("data", Pcm16({7, 8}))}),
         8000, 1, {7, 8}},
        {"fmt after data",
         Riff({Chunk("data", Pcm16({5})), Chunk("fmt ", Fmt(1, 1, 8000, 16))}), 8000, 1, {5}},
        {"extensible PCM", Riff({Chunk("fmt ", extensible), Chunk("data", Pcm16({3, 4}))}),
         8000, 2, {3, 4}},
        {"data longer than the file keeps whole frames",
         Riff({Chunk("fmt ", Fmt(1, 2, 8000, 16)), Chunk("data", Pcm16({1, 2, 3}), 1000)}),
         8000, 2, {1, 2}},
    };
    for (const Case& c : cases) {
        plat::Pcm pcm;
        ASSERT_TRUE(Decode(c.file, pcm)) << c.what;
        EXPECT_EQ(pcm.rate, c.rate) << c.what;
        EXPECT_EQ(pcm.channels, c.channels) << c.what;
        EXPECT_EQ(pcm.samples, c.samples) << c.what;
    }
}

TEST(WavDecode, RejectsWhatIsNotPlayablePcm) {
    const Bytes fmt = Chunk("fmt ", Fmt(1, 1, 8000, 16));
    const Bytes data = Chunk("data", Pcm16({1, 2}));
    Bytes wrongRiff = Wav16(1, 8000, {1});
    wrongRiff[0] = 'X';
    Bytes notWave = Wav16(1, 8000, {1});
    notWave[8] = 'X';
    Bytes shortFmt = Fmt(1, 1, 8000, 16);
    shortFmt.resize(12);
    Bytes shortExtensible = Fmt(0xFFFE, 1, 8000, 16);
    shortExtensible.resize(24);
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"RIFF header only", {'R', 'I', 'F', 'F', 4, 0, 0, 0}},
        {"not RIFF", wrongRiff},
        {"not WAVE", notWave},
        {"no fmt", Riff({data})},
        {"no data", Riff({fmt})},
        {"fmt too short", Riff({Chunk("fmt ", shortFmt), data})},
        {"extensible fmt too short", Riff({Chunk("fmt ", shortExtensible), data})},
        {"float samples", Riff({Chunk("fmt ", Fmt(3, 1, 8000, 32)), data})},
        {"24-bit", Riff({Chunk("fmt ", Fmt(1, 1, 8000, 24)), Chunk("data", Bytes(6, 1))})},
        {"three channels", Riff({Chunk("fmt ", Fmt(1, 3, 8000, 16)), Chunk("data", Bytes(12, 1))})},
        {"rate 0", Riff({Chunk("fmt ", Fmt(1, 1, 0, 16)), data})},
        {"rate above int range", Riff({Chunk("fmt ", Fmt(1, 1, 0x80000000u, 16)), data})},
        {"empty data", Riff({fmt, Chunk("data", {})})},
        {"half a frame", Riff({Chunk("fmt ", Fmt(1, 2, 8000, 16)), Chunk("data", {1, 2})})},
        {"huge chunk hides the data", Riff({fmt, Chunk("LIST", {1, 2}, 0xFFFFFFFF), data})},
        {"fmt cut short by the file", Riff({Chunk("fmt ", Bytes(8, 1), 16)})},
    };
    for (const Case& c : cases) {
        plat::Pcm pcm;
        EXPECT_FALSE(Decode(c.file, pcm)) << c.what;
        EXPECT_TRUE(pcm.samples.empty()) << c.what;
    }
    plat::Pcm pcm;
    EXPECT_FALSE(plat::DecodeWav(nullptr, 100, pcm));
}

// Every prefix of a file, and files with bytes flipped at random, decode to a sound or to nothing,
// never past the buffer (the sanitizer build turns any overread into a failure).
TEST(WavDecode, AnyBytesAreSafe) {
    const Bytes good = Riff({Chunk("fmt ", Fmt(1, 2, 8000, 16)), Chunk("LIST", {1, 2, 3}),
                             Chunk("data", Pcm16({1, 2, 3, 4, 5, 6}))});
    for (size_t length = 0; length <= good.size(); ++length) {
        const Bytes prefix(good.begin(), good.begin() + long(length));
        plat::Pcm pcm;
        if (Decode(prefix, pcm)) {
            EXPECT_EQ(pcm.samples.size() % 2, 0u) << length;
            EXPECT_LE(pcm.samples.size(), 6u) << length;
        }
    }
    std::mt19937 random(295);
    for (int round = 0; round < 2000; ++round) {
        Bytes mangled = good;
        for (int flip = 0; flip < 4; ++flip) mangled[random() % mangled.size()] = uint8_t(random());
        // Exactly sized copy, so an overread leaves the allocation.
        auto exact = std::make_unique<uint8_t[]>(mangled.size());
        std::copy(mangled.begin(), mangled.end(), exact.get());
        plat::Pcm pcm;
        if (plat::DecodeWav(exact.get(), mangled.size(), pcm)) {
            EXPECT_GT(pcm.Frames(), 0);
            EXPECT_EQ(pcm.samples.size() % size_t(pcm.channels), 0u);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The software mixer
// ---------------------------------------------------------------------------------------------

class MixerTest : public ::testing::Test {
protected:
    static constexpr int kRate = 8000;
    plat::Mixer mixer{kRate};

    int Voice(const std::vector<int16_t>& samples, int channels = 1, int rate = kRate) {
        plat::Pcm pcm;
        pcm.rate = rate;
        pcm.channels = channels;
        pcm.samples = samples;
        const int voice = mixer.AddVoice();
        EXPECT_TRUE(mixer.Cue(voice, mixer.AddSample(pcm)));
        return voice;
    }
    std::vector<float> Mix(int frames) {
        std::vector<float> out(size_t(2 * frames), 99.0f);
        mixer.Mix(out.data(), frames);
        return out;
    }
};

TEST_F(MixerTest, RateStretchesAndInterpolatesBetweenFrames) {
    const int voice = Voice({0, 16384, 0});
    mixer.SetRate(voice, 0.5f);
    mixer.Resume(voice);
    const std::vector<float> out = Mix(6);
    const float expected[] = {0, 0.25f, 0.5f, 0.25f, 0, 0};
    for (int f = 0; f < 6; ++f) {
        EXPECT_FLOAT_EQ(out[2 * f], expected[f]) << f;
        EXPECT_FLOAT_EQ(out[2 * f + 1], expected[f]) << f;
    }
    EXPECT_FALSE(mixer.IsPlaying(voice));
}

TEST_F(MixerTest, SampleRateAndRateSetTheLength) {
    struct Case {
        int sampleRate;
        float rate;
        int playsFor;  // output frames
    } cases[] = {{kRate, 1, 100}, {kRate, 2, 50}, {kRate / 2, 1, 200}, {kRate * 2, 0.5f, 100}};
    for (const Case& c : cases) {
        const int voice = Voice(std::vector<int16_t>(100, 1000), 1, c.sampleRate);
        mixer.SetRate(voice, c.rate);
        mixer.Resume(voice);
        Mix(c.playsFor - 1);
        EXPECT_TRUE(mixer.IsPlaying(voice)) << c.sampleRate << " " << c.rate;
        Mix(1);
        EXPECT_FALSE(mixer.IsPlaying(voice)) << c.sampleRate << " " << c.rate;
        mixer.RemoveVoice(voice);
    }
}

TEST_F(MixerTest, VolumeAndPanSetEachSide) {
    struct Case {
        float volume, pan;
        float left, right;
    } cases[] = {{1, 0, 0.5f, 0.5f}, {0.5f, 0, 0.25f, 0.25f}, {1, -1, 0.5f, 0},
                 {1, 1, 0, 0.5f},    {1, 0.5f, 0.25f, 0.5f},  {0, 0, 0, 0}};
    for (const Case& c : cases) {
        const int voice = Voice({16384, 16384});
        mixer.SetVolume(voice, c.volume);
        mixer.SetPan(voice, c.pan);
        mixer.Resume(voice);
        const std::vector<float> out = Mix(1);
        EXPECT_FLOAT_EQ(out[0], c.left) << c.volume << " " << c.pan;
        EXPECT_FLOAT_EQ(out[1], c.right) << c.volume << " " << c.pan;
        mixer.RemoveVoice(voice);
    }
}

TEST_F(MixerTest, StereoKeepsItsSidesAndLoudVoicesClip) {
    const int stereo = Voice({8192, -8192}, 2);
    mixer.Resume(stereo);
    std::vector<float> out = Mix(1);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.25f);

    for (int i = 0; i < 10; ++i) mixer.Resume(Voice({32767, -32768}));
    out = Mix(2);
    EXPECT_FLOAT_EQ(out[0], 1.0f);
    EXPECT_FLOAT_EQ(out[1], 1.0f);
    EXPECT_FLOAT_EQ(out[2], -1.0f);
    EXPECT_FLOAT_EQ(out[3], -1.0f);
}

TEST_F(MixerTest, CuedRemovedAndUnknownVoicesAreSilent) {
    const int cued = Voice({16384});
    EXPECT_FALSE(mixer.IsPlaying(cued));
    EXPECT_EQ(Mix(1), std::vector<float>(2, 0.0f));

    plat::Pcm pcm;
    pcm.rate = kRate;
    pcm.channels = 1;
    pcm.samples = std::vector<int16_t>(50, 16384);
    const int sample = mixer.AddSample(pcm);
    const int voice = mixer.AddVoice();
    ASSERT_TRUE(mixer.Cue(voice, sample));
    mixer.Resume(voice);
    mixer.RemoveSample(sample);  // taken off the voice that plays it
    EXPECT_FALSE(mixer.IsPlaying(voice));
    EXPECT_FALSE(mixer.Cue(voice, sample));
    EXPECT_EQ(Mix(1), std::vector<float>(2, 0.0f));

    mixer.Resume(12345);
    mixer.SetVolume(12345, 1);
    EXPECT_FALSE(mixer.Cue(12345, sample));
    EXPECT_EQ(mixer.AddSample(plat::Pcm{}), 0);
}

// ---------------------------------------------------------------------------------------------
// The platform operations over the headless twin's recording drivers
// ---------------------------------------------------------------------------------------------

class AudioLayerTest : public HeadlessFixture {
protected:
    std::string WriteWav(const std::string& name, const Bytes& bytes) {
        const auto path = root / name;
        WriteFile(path, bytes);
        return path.string();
    }
};

TEST_F(AudioLayerTest, ListsAndSelectsOnlyDriversThatOpen) {
    headless::InstallRecordingAudio({"OpenAL", "SDL Mixer", "Silent"}, {"OpenAL"});
    EXPECT_EQ(ListAudioDrivers(), (std::vector<std::string>{"SDL Mixer", "Silent"}));
    EXPECT_FALSE(OpenALAvailable());
    EXPECT_FALSE(AudioDriverExists("OpenAL"));
    EXPECT_TRUE(AudioDriverExists("Silent"));
    EXPECT_FALSE(AudioDriverExists("DirectSound"));
    EXPECT_EQ(ActiveAudioDriverName(), "SDL Mixer");  // the first that opens

    SelectAudioDriver("Silent");
    EXPECT_EQ(ActiveAudioDriverName(), "Silent");
    SelectAudioDriver("DirectSound");  // unknown: the current driver stays
    EXPECT_EQ(ActiveAudioDriverName(), "Silent");

    headless::InstallRecordingAudio();
    EXPECT_TRUE(OpenALAvailable());
    EXPECT_EQ(ListAudioDrivers(), (std::vector<std::string>{"OpenAL", "SDL Mixer", "Silent"}));
}

TEST_F(AudioLayerTest, LoadSampleRecordsGoodFilesAndRejectsOthers) {
    const std::string good = WriteWav("good.wav", Wav16(1, 8000, {1, 2}));
    const std::string bad =
        WriteWav("bad.wav", Bytes{'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W'});
    const int sample = LoadSample(good);
    EXPECT_NE(sample, 0);
    EXPECT_EQ(LoadSample(bad), 0);
    EXPECT_EQ(LoadSample((root / "missing.wav").string()), 0);
    EXPECT_EQ(LoadSample(root.string()), 0);  // a folder
    EXPECT_EQ(headless::Audio().samples, (std::map<int, std::string>{{sample, good}}));

    FreeSample(sample);
    EXPECT_TRUE(headless::Audio().samples.empty());
    EXPECT_EQ(CueOnChannel(sample), 0);
}

TEST_F(AudioLayerTest, CueOnChannelMakesOrReusesAChannel) {
    const int sample = LoadSample(WriteWav("a.wav", Wav16(1, 8000, {1, 2})));
    const int channel = CueOnChannel(sample);
    ASSERT_NE(channel, 0);
    EXPECT_FALSE(ChannelIsPlaying(channel));
    ResumeChannel(channel);
    EXPECT_TRUE(ChannelIsPlaying(channel));
    EXPECT_EQ(CueOnChannel(sample, channel), channel);
    EXPECT_FALSE(ChannelIsPlaying(channel));  // cued again: back to the start, paused
    ResumeChannel(channel);
    headless::FinishChannel(channel);
    EXPECT_FALSE(ChannelIsPlaying(channel));

    // A channel made for a sample that cannot be cued is not left behind.
    const size_t channelsBefore = headless::Audio().channels.size();
    EXPECT_EQ(CueOnChannel(sample + 1000), 0);
    EXPECT_EQ(headless::Audio().channels.size(), channelsBefore);

    StopChannel(channel);
    EXPECT_FALSE(ChannelIsPlaying(channel));
    EXPECT_EQ(headless::Audio().channels.count(channel), 0u);
    ResumeChannel(channel);  // stale ids do nothing
    SetChannelVolume(channel, 1);
    EXPECT_FALSE(ChannelIsPlaying(channel));
}

TEST_F(AudioLayerTest, ChannelSettingsReachTheDriverWithinRange) {
    const int channel = CueOnChannel(LoadSample(WriteWav("a.wav", Wav16(1, 8000, {1}))));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float volume, pan, rate;
        float wantVolume, wantPan, wantRate;
    } cases[] = {{0.5f, -0.5f, 2, 0.5f, -0.5f, 2},
                 {7, 9, 1000, 1, 1, 16},
                 {-1, -9, 0, 0, -1, 1.0f / 16},
                 {nan, nan, nan, 0, 0, 1}};
    for (const Case& c : cases) {
        SetChannelVolume(channel, c.volume);
        SetChannelPan(channel, c.pan);
        SetChannelRate(channel, c.rate);
        const headless::RecordedChannel& got = headless::Audio().channels.at(channel);
        EXPECT_FLOAT_EQ(got.volume, c.wantVolume) << c.volume;
        EXPECT_FLOAT_EQ(got.pan, c.wantPan) << c.pan;
        EXPECT_FLOAT_EQ(got.rate, c.wantRate) << c.rate;
    }
}

// ---------------------------------------------------------------------------------------------
// The real drivers, where this machine has a device for them
// ---------------------------------------------------------------------------------------------

// Loads a short tone, checks the channel life cycle and waits (bounded) for the natural end.
void PlaysAShortSample(plat::AudioDriver& driver) {
    plat::Pcm pcm;
    pcm.rate = 22050;
    pcm.channels = 2;
    for (int i = 0; i < 2205; ++i) {  // 0.1 s
        pcm.samples.push_back(int16_t((i % 50) * 400 - 10000));
        pcm.samples.push_back(int16_t(10000 - (i % 50) * 400));
    }
    const int sample = driver.LoadSample(pcm, "tone");
    ASSERT_NE(sample, 0);
    const int channel = driver.AllocateChannel();
    ASSERT_NE(channel, 0);
    ASSERT_TRUE(driver.Cue(channel, sample));
    EXPECT_FALSE(driver.IsPlaying(channel));
    driver.SetVolume(channel, 0.1f);
    driver.SetPan(channel, -0.5f);
    driver.SetRate(channel, 2);
    driver.Resume(channel);
    EXPECT_TRUE(driver.IsPlaying(channel));
    bool ended = false;
    for (int waited = 0; waited < 5000 && !ended; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ended = !driver.IsPlaying(channel);
    }
    EXPECT_TRUE(ended) << driver.Name() << ": a 0.05 s sound was still playing after 5 s";

    ASSERT_TRUE(driver.Cue(channel, sample));
    driver.Resume(channel);
    driver.Stop(channel);
    EXPECT_FALSE(driver.IsPlaying(channel));
    EXPECT_FALSE(driver.Cue(channel, sample));  // a stopped channel is released

    // Freeing a sample that a channel is playing silences the channel first.
    const int other = driver.AllocateChannel();
    ASSERT_TRUE(driver.Cue(other, sample));
    driver.Resume(other);
    driver.FreeSample(sample);
    EXPECT_FALSE(driver.IsPlaying(other));
    EXPECT_FALSE(driver.Cue(other, sample));
    driver.Close();
}

TEST(RealAudioDrivers, OpenALPlaysASample) {
    auto driver = plat::MakeOpenALDriver();
    // OpenAL reads its back-end list when the library loads, too early for the test to change it.
    if (!driver->Open()) {
        GTEST_SKIP() << "OpenAL could not open a device or a context here; without a sound card, "
                        "run with ALSOFT_DRIVERS=null to test on OpenAL's silent output";
    }
    PlaysAShortSample(*driver);
}

TEST(RealAudioDrivers, SdlMixerPlaysASample) {
    auto driver = plat::MakeSdlMixerDriver();
    if (!driver->Open()) {
        // No device: SDL's dummy output still calls the mixer at the device's pace.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        driver = plat::MakeSdlMixerDriver();
        const bool opened = driver->Open();
        unsetenv("SDL_AUDIODRIVER");
        if (!opened) GTEST_SKIP() << "SDL audio could not open a device, not even the dummy one";
    }
    PlaysAShortSample(*driver);
}

}  // namespace
