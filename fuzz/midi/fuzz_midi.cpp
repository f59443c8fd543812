// Arbitrary bytes as a Standard MIDI File: measuring the playing time must never read past
// the bytes, hang or produce a negative or non-finite time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/winmm/midi_duration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto ms = platform::MidiDurationMs(bytes)) {
    if (!std::isfinite(*ms) || *ms < 0) std::abort();
  }
  return 0;
}
