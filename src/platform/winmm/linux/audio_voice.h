// The completion sound's one voice on the process's audio device. Until music is asked for,
// the device is SDL's own and the voice is copied into it as it plays; once the mixer is
// loaded for music, the mixer holds the device and the voice plays on a mixer channel of
// its own (a voice that was playing carries on there from where it was).
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The device's format: 44.1 kHz, signed 16-bit samples in the machine's order, stereo.
inline constexpr int kDeviceFrequency = 44100;
inline constexpr int kDeviceChannels = 2;

// Replaces the voice playing with `pcm` (in the device's format), opening the device if
// need be. False when there is no device; the voice playing then plays on.
bool PlayVoice(std::vector<std::uint8_t> pcm);

// True while the voice has samples left to hand to the device.
bool VoicePlaying();

// Silences the voice and frees its samples.
void StopVoice();

}  // namespace platform
