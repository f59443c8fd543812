#include "platform/winmm/midi_duration.h"

#include <gtest/gtest.h>

#include "platform/winmm/audio_test_support.h"

namespace platform {
namespace {

std::string Chunk(const std::string& id, const std::string& body) {
  std::string chunk = id;
  for (int i = 3; i >= 0; --i) chunk.push_back(static_cast<char>((body.size() >> (8 * i)) & 0xFF));
  return chunk + body;
}

std::string Header(int format, int tracks, int division) {
  return Chunk("MThd", {0, static_cast<char>(format), 0, static_cast<char>(tracks),
                        static_cast<char>(division >> 8), static_cast<char>(division & 0xFF)});
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int value : values) out.push_back(static_cast<char>(value));
  return out;
}

const std::string kEnd = Bytes({0x00, 0xFF, 0x2F, 0x00});

TEST(MidiDuration, FollowsTheTempoMapAndTheLongestTrack) {
  const struct {
    const char* name;
    std::string file;
    double ms;
  } cases[] = {
      {"generated melody: 1 tick = 1 ms", testing_support::MakeMelody(4, 100), 400},
      {"default tempo 120 bpm, 480 ticks = 500 ms",
       Header(0, 1, 480) +
           Chunk("MTrk", Bytes({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0}) + kEnd),
       500},
      {"running status and a late end of track",
       Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0x90, 60, 100, 0x30, 60, 0, 0x30, 62, 100,
                                               0x30, 62, 0, 0x60, 0xFF, 0x2F, 0x00})),
       240 * 500.0 / 96},
      {"tempo doubles halfway",
       Header(0, 1, 100) +
           Chunk("MTrk", Bytes({0x00, 0xC0, 5, 0x64, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // 250000
                                0x64, 0xFF, 0x2F, 0x00})),
       500 + 250},
      {"format 1: tempo in track 1, notes in track 2",
       Header(1, 2, 1000) +
           Chunk("MTrk",
                 Bytes({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00})) +
           Chunk("MTrk", Bytes({0x00, 0x99, 36, 100, 0x87, 0x68, 0x89, 36, 0, 0x00, 0xF0, 0x02,
                                0x01, 0xF7}) +
                             kEnd),
       1000},
      {"an unknown chunk between tracks is skipped",
       Header(0, 1, 1000) + Chunk("XFIH", "junk") +
           Chunk("MTrk", Bytes({0x81, 0x48, 0xFF, 0x2F, 0x00})),
       100},
      {"time-code division: 25 fps x 40 ticks",
       Header(0, 1, 0xE728) + Chunk("MTrk", Bytes({0x87, 0x68, 0xFF, 0x2F, 0x00})), 1000},
  };
  for (const auto& c : cases) {
    const std::optional<double> ms = MidiDurationMs(c.file);
    ASSERT_TRUE(ms.has_value()) << c.name;
    EXPECT_NEAR(*ms, c.ms, 0.5) << c.name;
  }
}

TEST(MidiDuration, MalformedFilesHaveNoDuration) {
  const std::string track = Chunk("MTrk", Bytes({0x00, 0x90, 60, 100, 0x10, 0x80, 60, 0}) + kEnd);
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"empty", ""},
      {"not MIDI", "RIFF....WAVEfmt "},
      {"header cut short", Header(0, 1, 96).substr(0, 10)},
      {"no track", Header(0, 1, 96)},
      {"zero tracks", Header(0, 0, 96) + track},
      {"zero division", Header(0, 1, 0) + track},
      {"track longer than the file", Header(0, 1, 96) + track.substr(0, track.size() - 3)},
      {"event cut inside the track", Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0x90, 60}))},
      {"running status before any status",
       Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 60, 100}) + kEnd)},
      {"system common message", Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0xF2, 0, 0}) + kEnd)},
      {"five-byte delta",
       Header(0, 1, 96) + Chunk("MTrk", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) + kEnd)},
      {"meta length past the track",
       Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0xFF, 0x01, 0x7F, 'a'}))},
  };
  for (const auto& c : cases) EXPECT_FALSE(MidiDurationMs(c.file).has_value()) << c.name;
}

}  // namespace
}  // namespace platform
