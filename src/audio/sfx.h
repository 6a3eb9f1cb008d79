// Numbered sound effects and the ring of channel slots they are played on.
#pragma once

constexpr int kSoundEffectCount = 201;  // ids 1..200; entry 0 stays empty
constexpr int kSfxChannelSlots = 260;
constexpr int kFirstSfxSlot = 20;        // PlaySfx uses slots 20..255
constexpr int kSfxRingEnd = 256;         // the cursor wraps to kFirstSfxSlot on reaching this
constexpr int kJingleSlot = 256;         // the start-up jingle's channel; PlaySfx never uses it

// Sample ids of the effects 001.wav..200.wav, 0 where the file was missing. Written by the asset
// loader on every display (re)open; reset by ResetSoundEffects.
extern int SoundEffects[kSoundEffectCount];
// Platform channels per slot, 0 when empty. Written by PlaySfx (slots 20..255) and by the asset
// loader (kJingleSlot); reset by ResetSoundEffects.
extern int SfxChannels[kSfxChannelSlots];
// The slot PlaySfx used last; starts at kFirstSfxSlot so the first effect takes slot 21.
extern int SfxCursor;

// Plays effect `id` (1..200) at `rate` (1 = own pitch), `volume` (0..1) and `pan` (-1 left ..
// 1 right), scaled by the Master and Sound volume settings. Silently does nothing when the Sound
// volume is 0 or less, the effect was not loaded or no channel can be had.
void PlaySfx(int id, float rate, float volume, float pan);

// The start-up jingle: cues `sample` on a new channel kept in kJingleSlot and starts it at the
// effects' volume factor. No channel (or no sample): no jingle.
void PlayStartupJingle(int sample);

// Releases the loaded effects and empties SoundEffects, before a reload puts new samples there.
void FreeSoundEffects();

// The effects' volume factor from the settings: MasterVolume x SoundVolume / 100 / 100.
float SfxVolumeScale();

// Empties the tables and puts the cursor back to its start (the process's initial state).
void ResetSoundEffects();
