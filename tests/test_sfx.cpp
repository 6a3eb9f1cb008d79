// PlaySfx on the headless twin's recording driver: the slot ring, clamping, the volume formula
// and the cases that play nothing.
#include <cmath>
#include <limits>

#include "audio/sfx.h"
#include "headless_fixture.h"
#include "platform/headless/audio_record.h"
#include "wav_bytes.h"

namespace {

using headless::AudioEvent;
using headless::AudioEventsOf;

constexpr int kBeep = 3;

class SfxTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        ResetSoundEffects();
        const auto file = root / "beep.wav";
        wavbytes::WriteFile(file, wavbytes::Wav16(1, 22050, {0, 1000, -1000, 0}));
        SoundEffects[kBeep] = LoadSample(file.string());
        ASSERT_NE(SoundEffects[kBeep], 0);
        headless::Audio().events.clear();
    }

    // The last value the recorder saw for the channel of `slot`.
    static const headless::RecordedChannel& SlotChannel(int slot) {
        return headless::Audio().channels.at(SfxChannels[slot]);
    }
};

TEST_F(SfxTest, SlotsRunFrom21To255ThenWrapTo20) {
    std::vector<int> slotOfCall;  // slot used by call n (from 1)
    for (int call = 1; call <= 237; ++call) {
        PlaySfx(kBeep, 1, 1, 0);
        slotOfCall.push_back(SfxCursor);
    }
    EXPECT_EQ(slotOfCall[0], 21);
    EXPECT_EQ(slotOfCall[234], 255);
    EXPECT_EQ(slotOfCall[235], 20);
    EXPECT_EQ(slotOfCall[236], 21);
    EXPECT_EQ(SfxChannels[kJingleSlot], 0);
    for (int slot = 0; slot < kFirstSfxSlot; ++slot) EXPECT_EQ(SfxChannels[slot], 0) << slot;

    // Nothing has finished, so the 237th effect cut the oldest: slot 21's first channel.
    const auto stops = AudioEventsOf(AudioEvent::Stop);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].channel, AudioEventsOf(AudioEvent::Allocate)[0].channel);
    EXPECT_EQ(AudioEventsOf(AudioEvent::Allocate).size(), 237u);
    EXPECT_TRUE(SlotChannel(21).playing);
}

TEST_F(SfxTest, FinishedChannelsAreReusedWithoutAllocating) {
    for (int call = 0; call < 236; ++call) PlaySfx(kBeep, 1, 1, 0);
    const int firstChannel = SfxChannels[21];
    headless::FinishAllChannels();
    headless::Audio().events.clear();

    for (int call = 0; call < 236; ++call) PlaySfx(kBeep, 1, 1, 0);
    EXPECT_TRUE(AudioEventsOf(AudioEvent::Allocate).empty());
    EXPECT_TRUE(AudioEventsOf(AudioEvent::Stop).empty());
    EXPECT_EQ(AudioEventsOf(AudioEvent::Resume).size(), 236u);
    EXPECT_EQ(SfxChannels[21], firstChannel);
}

TEST_F(SfxTest, EachEffectIsCuedSetAndThenResumed) {
    PlaySfx(kBeep, 1.5f, 1, 0.25f);
    std::vector<AudioEvent::Kind> kinds;
    for (const AudioEvent& e : headless::Audio().events) {
        if (e.kind != AudioEvent::Allocate) {
            kinds.push_back(e.kind);
            EXPECT_EQ(e.channel, SfxChannels[21]);
        }
    }
    const std::vector<AudioEvent::Kind> expected = {AudioEvent::Cue, AudioEvent::Volume,
                                                    AudioEvent::Pan, AudioEvent::Rate,
                                                    AudioEvent::Resume};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(SlotChannel(21).sample, SoundEffects[kBeep]);
}

TEST_F(SfxTest, VolumeRateAndPanAreScaledAndClamped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int master, sound;
        float rate, volume, pan;
        float wantRate, wantVolume, wantPan;
    } cases[] = {
        {50, 50, 1, 1, 0, 1, 0.25f, 0},           // the defaults quarter the volume
        {100, 100, 10, 2, -3, 4, 1, -1},          // everything beyond its range
        {100, 100, 0.1f, -1, 3, 0.25f, 0, 1},     // and below it
        {0, 80, 1, 1, 0, 1, 0, 0},                // master 0 still starts the effect, silently
        {80, 25, 0.8f, 0.7f, -0.8f, 0.8f, 0.14f, -0.8f},
        {100, 100, nan, nan, nan, 0.25f, 0, 0},   // NaN never reaches the driver
    };
    for (const Case& c : cases) {
        Settings[MasterVolume] = c.master;
        Settings[SoundVolume] = c.sound;
        PlaySfx(kBeep, c.rate, c.volume, c.pan);
        const headless::RecordedChannel& played = SlotChannel(SfxCursor);
        EXPECT_TRUE(played.playing);
        EXPECT_FLOAT_EQ(played.rate, c.wantRate) << c.master << " " << c.sound;
        EXPECT_FLOAT_EQ(played.volume, c.wantVolume) << c.master << " " << c.sound;
        EXPECT_FLOAT_EQ(played.pan, c.wantPan) << c.master << " " << c.sound;
    }
}

TEST_F(SfxTest, NothingPlaysWithoutSoundVolumeOrSample) {
    struct Case {
        int sound;
        int id;
    } cases[] = {
        {0, kBeep}, {-5, kBeep},             // the Sound setting gates every effect
        {50, 4}, {50, 0}, {50, 201}, {50, -1},  // no sample loaded for the id
    };
    for (const Case& c : cases) {
        Settings[MasterVolume] = 100;
        Settings[SoundVolume] = c.sound;
        PlaySfx(c.id, 1, 1, 0);
        EXPECT_TRUE(headless::Audio().events.empty()) << c.sound << " " << c.id;
        EXPECT_EQ(SfxCursor, kFirstSfxSlot) << c.sound << " " << c.id;
    }
}

TEST_F(SfxTest, NoChannelLeftSkipsTheEffect) {
    headless::Audio().channelLimit = 2;
    for (int call = 0; call < 3; ++call) PlaySfx(kBeep, 1, 1, 0);
    EXPECT_EQ(AudioEventsOf(AudioEvent::Resume).size(), 2u);
    EXPECT_EQ(SfxChannels[23], 0);
    // The ring moves on past the effect that could not be played.
    headless::Audio().channelLimit = 0;
    PlaySfx(kBeep, 1, 1, 0);
    EXPECT_NE(SfxChannels[24], 0);
}

TEST_F(SfxTest, JingleKeepsItsChannelInItsOwnSlot) {
    Settings[SoundVolume] = 0;  // the jingle is not gated, only scaled
    PlayStartupJingle(SoundEffects[kBeep]);
    ASSERT_NE(SfxChannels[kJingleSlot], 0);
    EXPECT_TRUE(SlotChannel(kJingleSlot).playing);
    EXPECT_FLOAT_EQ(SlotChannel(kJingleSlot).volume, 0);
    Settings[SoundVolume] = 50;
    PlayStartupJingle(SoundEffects[kBeep]);
    EXPECT_FLOAT_EQ(SlotChannel(kJingleSlot).volume, 0.25f);
    EXPECT_EQ(SfxCursor, kFirstSfxSlot);

    PlayStartupJingle(0);  // no badge sound loaded
    EXPECT_EQ(SfxChannels[kJingleSlot], 0);
    headless::Audio().channelLimit = int(headless::Audio().channels.size());
    PlayStartupJingle(SoundEffects[kBeep]);
    EXPECT_EQ(SfxChannels[kJingleSlot], 0);
}

TEST_F(SfxTest, FreedEffectsAreReleasedAndNoLongerPlay) {
    FreeSoundEffects();
    EXPECT_TRUE(headless::Audio().samples.empty());
    EXPECT_EQ(SoundEffects[kBeep], 0);
    PlaySfx(kBeep, 1, 1, 0);
    EXPECT_TRUE(AudioEventsOf(AudioEvent::Resume).empty());
}

}  // namespace
