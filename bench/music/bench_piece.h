// A piece like ordinary background music, for the measurements: melody, chords, bass and
// drums at 120 beats per minute on General MIDI instruments, `seconds` long.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/winmm/audio_test_support.h"

namespace music_bench {

inline std::string MakeBenchmarkPiece(std::uint32_t seconds) {
  using testing_support::MidiNote;
  std::vector<MidiNote> notes;
  const std::uint8_t chordRoots[] = {60, 57, 53, 55};  // C, Am, F, G
  const std::uint32_t beat = 500;
  for (std::uint32_t t = 0; t + beat <= seconds * 1000; t += beat) {
    const std::uint32_t beatIndex = t / beat;
    const std::uint8_t root = chordRoots[(beatIndex / 4) % 4];
    // Melody in eighths.
    for (std::uint32_t half = 0; half < 2; ++half) {
      const std::uint8_t step = static_cast<std::uint8_t>((beatIndex * 2 + half) * 5 % 12);
      notes.push_back({t + half * beat / 2, beat / 2, 0, static_cast<std::uint8_t>(72 + step), 90});
    }
    // A chord held for each bar, a bass note on each beat.
    if (beatIndex % 4 == 0) {
      for (const std::uint8_t offset : {0, 4, 7}) {
        notes.push_back({t, 4 * beat, 1, static_cast<std::uint8_t>(root + offset), 60});
      }
    }
    notes.push_back({t, beat, 2, static_cast<std::uint8_t>(root - 24), 90});
    // Kick on odd beats, snare on even ones, hi-hat in eighths.
    notes.push_back({t, 100, 9, static_cast<std::uint8_t>(beatIndex % 2 ? 38 : 36), 100});
    notes.push_back({t, 50, 9, 42, 70});
    notes.push_back({t + beat / 2, 50, 9, 42, 70});
  }
  return testing_support::MakeMidiFile(notes, 0);
}

}  // namespace music_bench
