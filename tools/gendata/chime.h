// The completion chime: three bell-like notes rising E5, G5, C6, under one second.
#pragma once

#include <cstdint>
#include <vector>

namespace gendata {

inline constexpr int kChimeRate = 44100;
inline constexpr double kChimeSeconds = 0.9;

// Mono 16-bit samples, starting and ending at silence.
std::vector<std::int16_t> SynthesiseChime();

// A canonical 44-byte-header PCM WAV file: RIFF, "fmt " (PCM, mono, 16 bit), "data".
std::vector<std::uint8_t> EncodeWav16Mono(const std::vector<std::int16_t>& samples, int rate);

}  // namespace gendata
