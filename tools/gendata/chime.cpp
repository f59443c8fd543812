#include "chime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gendata {

std::vector<std::int16_t> SynthesiseChime() {
  struct Note {
    double start, frequency, gain;
  };
  // A rising major arpeggio; the last note rings longest and a little softer.
  const Note notes[] = {{0.00, 659.26, 0.9}, {0.11, 783.99, 0.9}, {0.22, 1046.50, 0.8}};
  // Bell partials: the octave and twelfth, and a slightly stretched fourth for shimmer.
  struct Partial {
    double ratio, gain, decay;  // decay: time constant in seconds
  };
  const Partial partials[] = {
      {1.0, 1.0, 0.26}, {2.0, 0.28, 0.14}, {3.0, 0.09, 0.09}, {4.17, 0.04, 0.06}};
  constexpr double kAttack = 0.008;  // raised-cosine rise, long enough never to click
  constexpr double kRelease = 0.18;  // raised-cosine fade to silence at the very end

  const int count = static_cast<int>(kChimeSeconds * kChimeRate);
  std::vector<double> mix(static_cast<std::size_t>(count), 0.0);
  for (const Note& n : notes)
    for (int i = static_cast<int>(n.start * kChimeRate); i < count; ++i) {
      const double t = static_cast<double>(i) / kChimeRate - n.start;
      const double rise = t < kAttack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / kAttack) : 1.0;
      double v = 0;
      for (const Partial& p : partials)
        v += p.gain * std::exp(-t / p.decay) *
             std::sin(2 * std::numbers::pi * n.frequency * p.ratio * t);
      mix[static_cast<std::size_t>(i)] += n.gain * rise * v;
    }
  double peak = 0;
  for (double v : mix) peak = std::max(peak, std::abs(v));
  const double scale = peak > 0 ? 0.5 * 32767.0 / peak : 0.0;

  std::vector<std::int16_t> out(mix.size());
  for (int i = 0; i < count; ++i) {
    const double left = static_cast<double>(count - 1 - i) / kChimeRate;
    const double fade =
        left < kRelease ? 0.5 - 0.5 * std::cos(std::numbers::pi * left / kRelease) : 1.0;
    out[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(std::lround(mix[static_cast<std::size_t>(i)] * scale * fade));
  }
  return out;
}

std::vector<std::uint8_t> EncodeWav16Mono(const std::vector<std::int16_t>& samples, int rate) {
  std::vector<std::uint8_t> out;
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };
  const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size() * 2);
  tag("RIFF");
  put(36 + dataSize, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<std::uint32_t>(rate), 4);
  put(static_cast<std::uint32_t>(rate) * 2, 4);  // bytes per second
  put(2, 2);                                     // bytes per frame
  put(16, 2);                                    // bits per sample
  tag("data");
  put(dataSize, 4);
  for (std::int16_t s : samples) put(static_cast<std::uint16_t>(s), 2);
  return out;
}

}  // namespace gendata
