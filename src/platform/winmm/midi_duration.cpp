#include "platform/winmm/midi_duration.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microsPerQuarter;
};

// Reads forward through bytes it never runs past; a read past the end fails the reader.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::size_t Left() const { return bytes_.size() - pos_; }
  bool Ok() const { return ok_; }

  std::uint32_t Byte() {
    if (AtEnd()) return Fail();
    return static_cast<unsigned char>(bytes_[pos_++]);
  }
  std::uint32_t BigEndian(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | Byte();
    return value;
  }
  // Variable-length quantity: at most four bytes (28 bits) in a valid file.
  std::uint32_t VariableLength() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const std::uint32_t byte = Byte();
      value = (value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return value;
    }
    return Fail();
  }
  std::string_view Take(std::size_t count) {
    if (count > Left()) {
      Fail();
      return {};
    }
    const std::string_view part = bytes_.substr(pos_, count);
    pos_ += count;
    return part;
  }

 private:
  std::uint32_t Fail() {
    ok_ = false;
    pos_ = bytes_.size();
    return 0;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// The tick of the track's last event, or nothing when the track is malformed.
std::optional<std::uint64_t> ReadTrack(std::string_view data, std::vector<TempoChange>& tempi) {
  Reader track(data);
  std::uint64_t tick = 0;
  std::uint32_t runningStatus = 0;
  while (!track.AtEnd()) {
    tick += track.VariableLength();
    std::uint32_t status = track.Byte();
    if (!track.Ok()) return std::nullopt;
    if (status < 0x80) {  // running status: this byte is the first data byte
      if (runningStatus == 0) return std::nullopt;
      status = runningStatus;
      const std::uint32_t kind = status & 0xF0;
      if (kind != 0xC0 && kind != 0xD0) track.Byte();
    } else if (status < 0xF0) {
      runningStatus = status;
      const std::uint32_t kind = status & 0xF0;
      track.Byte();
      if (kind != 0xC0 && kind != 0xD0) track.Byte();
    } else if (status == 0xF0 || status == 0xF7) {
      track.Take(track.VariableLength());
    } else if (status == 0xFF) {
      const std::uint32_t type = track.Byte();
      const std::string_view meta = track.Take(track.VariableLength());
      if (type == 0x2F) return track.Ok() ? std::optional(tick) : std::nullopt;
      if (type == 0x51 && meta.size() == 3) {
        const std::uint32_t micros = (static_cast<unsigned char>(meta[0]) << 16) |
                                     (static_cast<unsigned char>(meta[1]) << 8) |
                                     static_cast<unsigned char>(meta[2]);
        if (micros > 0) tempi.push_back({tick, micros});
      }
    } else {
      return std::nullopt;  // system common and real-time messages do not occur in files
    }
    if (!track.Ok()) return std::nullopt;
  }
  return tick;
}

}  // namespace

std::optional<double> MidiDurationMs(std::string_view file) {
  Reader reader(file);
  if (reader.Take(4) != "MThd") return std::nullopt;
  const std::uint32_t headerLength = reader.BigEndian(4);
  if (!reader.Ok() || headerLength < 6) return std::nullopt;
  const std::string_view header = reader.Take(headerLength);
  if (!reader.Ok()) return std::nullopt;
  Reader fields(header);
  fields.BigEndian(2);  // format: every format is timed the same way here
  const std::uint32_t trackCount = fields.BigEndian(2);
  const std::uint32_t division = fields.BigEndian(2);
  if (trackCount == 0 || division == 0) return std::nullopt;

  std::vector<TempoChange> tempi;
  std::uint64_t lastTick = 0;
  std::uint32_t tracksRead = 0;
  while (tracksRead < trackCount && !reader.AtEnd()) {
    const std::string_view id = reader.Take(4);
    const std::uint32_t length = reader.BigEndian(4);
    const std::string_view data = reader.Take(length);
    if (!reader.Ok()) return std::nullopt;
    if (id != "MTrk") continue;  // unknown chunks are skipped
    const std::optional<std::uint64_t> end = ReadTrack(data, tempi);
    if (!end) return std::nullopt;
    lastTick = std::max(lastTick, *end);
    ++tracksRead;
  }
  if (tracksRead == 0) return std::nullopt;

  if (division & 0x8000) {
    // Time-code division: frames per second (29 stands for 29.97) times ticks per frame.
    const int framesCode = -static_cast<std::int8_t>(division >> 8);
    const double fps = framesCode == 29 ? 29.97 : framesCode;
    const double ticksPerSecond = fps * static_cast<double>(division & 0xFF);
    if (ticksPerSecond <= 0) return std::nullopt;
    return static_cast<double>(lastTick) * 1000.0 / ticksPerSecond;
  }
  std::stable_sort(tempi.begin(), tempi.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double ms = 0;
  std::uint64_t tick = 0;
  std::uint32_t micros = 500000;
  for (const TempoChange& change : tempi) {
    if (change.tick >= lastTick) break;
    ms += static_cast<double>(change.tick - tick) * micros / 1000.0 / division;
    tick = change.tick;
    micros = change.microsPerQuarter;
  }
  ms += static_cast<double>(lastTick - tick) * micros / 1000.0 / division;
  return ms;
}

}  // namespace platform
