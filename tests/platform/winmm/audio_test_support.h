// Test support for the multimedia layer: Standard MIDI and WAV files made on the spot, and
// the loudness of what an audio sink recorded.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "platform/fs/fs.h"

namespace testing_support {

struct MidiNote {
  std::uint32_t startMs = 0;
  std::uint32_t lengthMs = 0;
  std::uint8_t channel = 0;  // 9 is the General MIDI drum channel
  std::uint8_t key = 60;
  std::uint8_t velocity = 100;
};

namespace midi_detail {

inline void PutVariableLength(std::string& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(static_cast<char>(groups[--count] | 0x80));
  out.push_back(static_cast<char>(groups[0]));
}

inline void PutBigEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace midi_detail

// A format-0 Standard MIDI File: one track, 1000 ticks per quarter note at a tempo of one
// quarter note per second, so a tick is a millisecond. Every used channel gets `program`.
inline std::string MakeMidiFile(const std::vector<MidiNote>& notes, std::uint8_t program = 0) {
  using midi_detail::PutBigEndian;
  using midi_detail::PutVariableLength;
  struct Event {
    std::uint32_t time;
    int order;  // note-offs before note-ons at the same time
    std::string bytes;
  };
  std::vector<Event> events;
  std::vector<bool> channelUsed(16, false);
  for (const MidiNote& note : notes) {
    channelUsed[note.channel & 0x0F] = true;
    const char channel = static_cast<char>(note.channel & 0x0F);
    events.push_back({note.startMs,
                      1,
                      {static_cast<char>(0x90 | channel), static_cast<char>(note.key),
                       static_cast<char>(note.velocity)}});
    events.push_back({note.startMs + note.lengthMs,
                      0,
                      {static_cast<char>(0x80 | channel), static_cast<char>(note.key), 0}});
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.time != b.time ? a.time < b.time : a.order < b.order;
  });

  std::string track;
  track += std::string("\x00\xFF\x51\x03", 4);  // tempo: 1,000,000 us per quarter note
  PutBigEndian(track, 1000000, 3);
  for (int channel = 0; channel < 16; ++channel) {
    if (!channelUsed[static_cast<std::size_t>(channel)] || channel == 9) continue;
    track.push_back(0);
    track.push_back(static_cast<char>(0xC0 | channel));
    track.push_back(static_cast<char>(program));
  }
  std::uint32_t now = 0;
  for (const Event& event : events) {
    PutVariableLength(track, event.time - now);
    now = event.time;
    track += event.bytes;
  }
  track += std::string("\x00\xFF\x2F\x00", 4);  // end of track

  std::string file = "MThd";
  PutBigEndian(file, 6, 4);
  PutBigEndian(file, 0, 2);     // format 0
  PutBigEndian(file, 1, 2);     // one track
  PutBigEndian(file, 1000, 2);  // ticks per quarter note
  file += "MTrk";
  PutBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
  return file + track;
}

// `count` loud piano notes of `noteMs` each, one after the other.
inline std::string MakeMelody(int count, std::uint32_t noteMs) {
  std::vector<MidiNote> notes;
  for (int i = 0; i < count; ++i) {
    notes.push_back({static_cast<std::uint32_t>(i) * noteMs, noteMs, 0,
                     static_cast<std::uint8_t>(60 + 2 * (i % 8)), 110});
  }
  return MakeMidiFile(notes);
}

// A 16-bit mono PCM WAV at 22050 Hz: a sine of `hz` at `amplitude` (0 gives silence).
inline std::string MakeWav(std::uint32_t ms, double hz, double amplitude) {
  using midi_detail::PutBigEndian;
  const std::uint32_t rate = 22050;
  const std::uint32_t frames = rate * ms / 1000;
  auto little = [](std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  std::string wav = "RIFF";
  little(wav, 36 + frames * 2, 4);
  wav += "WAVEfmt ";
  little(wav, 16, 4);
  little(wav, 1, 2);  // PCM
  little(wav, 1, 2);  // mono
  little(wav, rate, 4);
  little(wav, rate * 2, 4);
  little(wav, 2, 2);
  little(wav, 16, 2);
  wav += "data";
  little(wav, frames * 2, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double value = amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * hz * i / rate);
    little(wav, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)) & 0xFFFF, 2);
  }
  return wav;
}

// `path` is UTF-8 on every system.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  platform::WriteWholeFileAtomic(path, bytes);
}

// The 16-bit little-endian samples of a raw recording; none when it cannot be read.
inline std::vector<std::int16_t> ReadSamples(const std::string& file) {
  const std::string bytes = platform::ReadWholeFile(file).value_or("");
  std::vector<std::int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                           (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return samples;
}

inline int PeakOf(const std::vector<std::int16_t>& samples, std::size_t begin = 0,
                  std::size_t end = SIZE_MAX) {
  int peak = 0;
  end = std::min(end, samples.size());
  for (std::size_t i = begin; i < end; ++i) peak = std::max(peak, std::abs(int{samples[i]}));
  return peak;
}

// How long a test waits for the audio to reach a state before it fails. Only a failure
// waits this long: a wait returns as soon as its state is there, however loaded the machine.
inline constexpr int kAudioWaitLimitMs = 30000;

// Waits in real time, polling `done` every 10 ms, for at most `limitMs`; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs) {
  for (int waited = 0; waited < limitMs; waited += 10) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

// Clearly audible: a peak above 1/30 of full scale.
inline constexpr int kAudiblePeak = 1000;

}  // namespace testing_support
