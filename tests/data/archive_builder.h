// Hand-made archives for the reader's tests, malformed ones included: every field is
// written as given, nothing is checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace data_test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU32At(Bytes& out, std::size_t at, std::uint32_t v) {
  if (out.size() < at + 4) out.resize(at + 4);
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct RawEntry {
  std::string id;
  Bytes stored;
  std::uint32_t unpackedSize = 0;
  // When set, written instead of the real values.
  std::int64_t dataOffset = -1;
  std::int64_t storedSize = -1;
};

// Header, directory of `entries` (their data appended in order), `entryCount` overriding
// the real count when not -1.
inline Bytes BuildArchive(std::uint32_t compressed, const std::vector<RawEntry>& entries,
                          std::int64_t entryCount = -1) {
  Bytes out(256 + 268 * entries.size(), 0);
  PutU32At(out, 0, compressed);
  out[4] = 'Q', out[5] = 'D', out[6] = 'A', out[7] = '0';
  PutU32At(out, 8, static_cast<std::uint32_t>(entryCount == -1 ? entries.size() : entryCount));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    const std::size_t at = 256 + 268 * i;
    PutU32At(out, at, static_cast<std::uint32_t>(e.dataOffset >= 0 ? e.dataOffset : out.size()));
    PutU32At(out, at + 4,
             static_cast<std::uint32_t>(e.storedSize >= 0 ? e.storedSize : e.stored.size()));
    PutU32At(out, at + 8, e.unpackedSize);
    for (std::size_t k = 0; k < e.id.size() && k < 256; ++k)
      out[at + 12 + k] = static_cast<std::uint8_t>(e.id[k]);
    out.insert(out.end(), e.stored.begin(), e.stored.end());
  }
  return out;
}

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A raw (uncompressed) entry holding `text`.
inline RawEntry RawItem(const std::string& id, const std::string& text) {
  return RawEntry{id, ToBytes(text), static_cast<std::uint32_t>(text.size())};
}

}  // namespace data_test
