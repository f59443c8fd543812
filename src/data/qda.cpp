#include "data/qda.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/text/text.h"

namespace data {

namespace {

std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string Num(std::uint64_t value) { return std::to_string(value); }

// Reads exactly `count` bytes or raises EQDAError naming `what`.
void ReadPart(Stream& stream, void* buffer, std::size_t count, const char* what) {
  const std::uint64_t at = stream.Position();
  const std::size_t got = stream.Read(buffer, count);
  if (got != count) {
    throw EQDAError(std::string("truncated ") + what + ": " + Num(count) +
                    " bytes wanted at offset " + Num(at) + ", " + Num(got) + " read");
  }
}

[[noreturn]] void ThrowWrongMagic() {
  throw EQDAError("Quadruple D Archiveの扱えるデータではありません");
}

// Byte-pair expansion of whole blocks held in memory. Each block: a pair table (codes
// 0..255, each either itself or a pair of codes), a 4-byte count N, N codes. Expanding a
// pair pushes its right half, then its left half, so the left half comes out first.
//
// One packed byte may stand for up to 2^255 bytes (a chain of nested pairs), so neither
// the packed size nor a ratio to it bounds the output. Measure walks the blocks first and
// works out from each table what every code stands for: the exact length of the result,
// known before anything is allocated for it.
class Expander {
 public:
  Expander(const std::uint8_t* in, std::size_t inSize) : in_(in), inSize_(inSize) {}

  // The number of bytes the data expands to (saturated at UINT64_MAX). Raises EQDAError
  // for a malformed block and for a code whose expansion would never end or would need
  // more than the stack holds.
  std::uint64_t Measure() {
    std::uint64_t total = 0;
    pos_ = 0;
    while (pos_ < inSize_) {
      blockStart_ = pos_;
      ReadTable();
      const std::uint32_t n = ReadCount();
      SizeCodes();
      for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint8_t code = in_[pos_++];
        if (endless_[code])
          Fail("code " + Num(code) + " expands without end (its pairs lead back to it)");
        if (depth_[code] > kQDAStackSize) Fail("pair nesting needs more than 256 stack bytes");
        total = SaturatedAdd(total, length_[code]);
      }
    }
    return total;
  }

  // Writes the expansion into `out`, which must hold exactly what Measure returned.
  void Run(std::uint8_t* out, std::size_t outSize) {
    out_ = out;
    outSize_ = outSize;
    written_ = 0;
    pos_ = 0;
    while (pos_ < inSize_) {
      blockStart_ = pos_;
      ReadTable();
      ExpandCodes(ReadCount());
    }
    if (written_ != outSize_) {
      throw EQDAError("packed data ends after " + Num(written_) + " of its " + Num(outSize_) +
                      " declared bytes");
    }
  }

 private:
  static std::uint64_t SaturatedAdd(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw EQDAError("packed data: " + problem + " (block at packed offset " + Num(blockStart_) +
                    ")");
  }

  std::uint8_t Next(const char* where) {
    if (pos_ >= inSize_) Fail(std::string("data ends inside ") + where);
    return in_[pos_++];
  }

  // The table is a series of groups. A count byte above 127 first skips (count - 127)
  // codes that stand for themselves; then (count + 1) entries follow, the count of a skip
  // taken as 0. An entry is one byte when the code stands for itself, else left and right.
  void ReadTable() {
    for (unsigned i = 0; i < 256; ++i) left_[i] = static_cast<std::uint8_t>(i);
    unsigned c = 0;
    unsigned count = Next("a pair table");
    for (;;) {
      if (count > 127) {
        c += count - 127;
        count = 0;
        if (c > 256) Fail("pair table skip runs pass code 255 (reach " + Num(c) + ")");
      }
      if (c == 256) return;
      if (c + count + 1 > 256) {
        Fail("pair table lists " + Num(count + 1) + " entries from code " + Num(c) +
             ", past code 255");
      }
      for (unsigned k = 0; k <= count; ++k, ++c) {
        left_[c] = Next("a pair table");
        if (left_[c] != c) right_[c] = Next("a pair table");
      }
      if (c == 256) return;
      count = Next("a pair table");
    }
  }

  std::uint32_t ReadCount() {
    if (inSize_ - pos_ < 4) Fail("data ends inside the count of packed bytes");
    const std::uint32_t n = LoadU32(in_ + pos_);
    pos_ += 4;
    if (n > inSize_ - pos_) {
      Fail("block declares " + Num(n) + " packed bytes, only " + Num(inSize_ - pos_) + " remain");
    }
    return n;
  }

  // For every code of the current table: the length it expands to and the deepest stack
  // its expansion reaches from an empty one. A pair at depth d pushes two codes (d + 2),
  // expands its left half above the right one (d + 1 + the left's depth), then its right
  // half (d + the right's depth). A code that reaches itself again is endless.
  void SizeCodes() {
    enum : std::uint8_t { kUnsized, kSizing, kSized };
    std::array<std::uint8_t, 256> state{};
    const auto size = [&](auto& self, std::uint8_t c) -> void {
      if (state[c] == kSized) return;
      if (left_[c] == c) {
        length_[c] = 1, depth_[c] = 0, endless_[c] = false, state[c] = kSized;
        return;
      }
      state[c] = kSizing;
      bool endless = false;
      for (const std::uint8_t half : {left_[c], right_[c]}) {
        if (state[half] == kSizing)
          endless = true;
        else
          self(self, half);
      }
      const std::uint8_t l = left_[c], r = right_[c];
      endless_[c] = endless || endless_[l] || endless_[r];
      length_[c] = SaturatedAdd(length_[l], length_[r]);
      depth_[c] = std::max<std::size_t>({2, 1 + depth_[l], depth_[r]});
      state[c] = kSized;
    };
    for (unsigned c = 0; c < 256; ++c) size(size, static_cast<std::uint8_t>(c));
  }

  // Work is bounded: each step either writes a byte (at most outSize_ in all) or grows the
  // stack by one (at most kQDAStackSize before a write must come), so a table whose pairs
  // refer to each other in a cycle ends in one of the two errors below.
  void ExpandCodes(std::uint32_t n) {
    std::size_t depth = 0;
    for (;;) {
      std::uint8_t code;
      if (depth > 0) {
        code = stack_[--depth];
      } else {
        if (n == 0) return;
        --n;
        code = in_[pos_++];
      }
      if (left_[code] == code) {
        if (written_ == outSize_)
          Fail("expands past its declared size of " + Num(outSize_) + " bytes");
        out_[written_++] = code;
      } else {
        if (depth + 2 > kQDAStackSize) Fail("pair nesting needs more than 256 stack bytes");
        stack_[depth++] = right_[code];
        stack_[depth++] = left_[code];
      }
    }
  }

  const std::uint8_t* in_;
  std::size_t inSize_;
  std::uint8_t* out_ = nullptr;
  std::size_t outSize_ = 0;
  std::size_t pos_ = 0;
  std::size_t written_ = 0;
  std::size_t blockStart_ = 0;
  std::array<std::uint8_t, 256> left_{};
  std::array<std::uint8_t, 256> right_{};
  std::array<std::uint8_t, kQDAStackSize> stack_{};
  std::array<std::uint64_t, 256> length_{};
  std::array<std::size_t, 256> depth_{};
  std::array<bool, 256> endless_{};
};

void CheckRange(const QDAEntry& entry, std::uint32_t length, std::uint64_t fileSize) {
  const std::uint64_t end = std::uint64_t{entry.dataOffset} + length;
  if (end > fileSize) {
    throw EQDAError("item '" + platform::AnsiToUtf8(entry.id) + "' (" + Num(length) +
                    " bytes at offset " + Num(entry.dataOffset) +
                    ") runs past the end of the archive (" + Num(fileSize) + " bytes)");
  }
}

}  // namespace

QDADirectory ReadQDADirectory(Stream& archive) {
  const std::uint64_t fileSize = archive.Size();
  std::array<std::uint8_t, kQDAHeaderSize> header{};
  archive.Seek(0);
  const std::size_t got = archive.Read(header.data(), header.size());
  if (got < 8 || std::memcmp(header.data() + 4, kQDAMagic, 4) != 0) ThrowWrongMagic();
  if (got < header.size()) {
    throw EQDAError("truncated archive header: " + Num(got) + " of 256 bytes");
  }

  QDADirectory dir;
  dir.compressed = LoadU32(header.data());
  const auto entryCount = static_cast<std::int32_t>(LoadU32(header.data() + 8));
  if (entryCount <= 0) return dir;

  const std::uint64_t dirBytes = std::uint64_t(entryCount) * kQDAEntrySize;
  if (kQDAHeaderSize + dirBytes > fileSize) {
    throw EQDAError("directory of " + Num(std::uint64_t(entryCount)) + " entries (" +
                    Num(dirBytes) + " bytes) runs past the end of the archive (" + Num(fileSize) +
                    " bytes)");
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(dirBytes));
  ReadPart(archive, raw.data(), raw.size(), "directory");

  dir.entries.resize(static_cast<std::size_t>(entryCount));
  for (std::size_t i = 0; i < dir.entries.size(); ++i) {
    const std::uint8_t* e = raw.data() + i * kQDAEntrySize;
    QDAEntry& entry = dir.entries[i];
    entry.dataOffset = LoadU32(e);
    entry.storedSize = LoadU32(e + 4);
    entry.unpackedSize = LoadU32(e + 8);
    const auto* id = reinterpret_cast<const char*>(e + 12);
    entry.id.assign(id, strnlen(id, kQDAIdSize));
  }
  return dir;
}

MemoryStream ExtractQDAFile(const std::string& path, std::string_view ansiId) {
  FileStream file(path);
  return ExtractQDAStream(file, ansiId);
}

MemoryStream ExtractQDAStream(Stream& archive, std::string_view ansiId) {
  const QDADirectory dir = ReadQDADirectory(archive);
  const std::string wanted = platform::AnsiLowerCase(ansiId);
  const auto found = std::find_if(dir.entries.begin(), dir.entries.end(), [&](const QDAEntry& e) {
    return platform::AnsiLowerCase(e.id) == wanted;
  });
  // An entry at offset 0 would point into the header: the first match with it ends the
  // search as "not found", later duplicates included.
  if (found == dir.entries.end() || found->dataOffset == 0) {
    throw EQDAError("アーカイブ内には指定されたID '" + platform::AnsiToUtf8(ansiId) +
                    "' を持つデータが見つかりません");
  }
  const QDAEntry& entry = *found;
  const std::uint64_t fileSize = archive.Size();

  if (dir.compressed != kQDACompressed) {
    CheckRange(entry, entry.unpackedSize, fileSize);
    MemoryStream out;
    out.SetSize(entry.unpackedSize);
    archive.Seek(entry.dataOffset);
    ReadPart(archive, out.Data(), entry.unpackedSize, "item data");
    return out;
  }

  CheckRange(entry, entry.storedSize, fileSize);
  MemoryStream stored;
  stored.SetSize(entry.storedSize);
  archive.Seek(entry.dataOffset);
  ReadPart(archive, stored.Data(), entry.storedSize, "item data");
  try {
    return QDAExpand(stored, entry.unpackedSize);
  } catch (const EQDAError& error) {
    throw EQDAError("item '" + platform::AnsiToUtf8(entry.id) + "': " + error.what());
  }
}

MemoryStream QDAExpand(Stream& packed, std::uint32_t size) {
  if (size > kQDAMaxItemSize) {
    throw EQDAError("packed data: declared size of " + Num(size) +
                    " bytes is more than an item may hold (" + Num(kQDAMaxItemSize) + " bytes)");
  }
  std::vector<std::uint8_t> in(static_cast<std::size_t>(packed.Remaining()));
  ReadPart(packed, in.data(), in.size(), "packed data");

  Expander expander(in.data(), in.size());
  const std::uint64_t length = expander.Measure();
  if (length != size) {
    throw EQDAError("packed data: expands to " +
                    (length == UINT64_MAX ? std::string("more than 2^64") : Num(length)) +
                    " bytes, not to its declared size of " + Num(size) + " bytes");
  }
  MemoryStream out;
  out.SetSize(size);
  expander.Run(out.Data(), size);
  out.Seek(0);
  return out;
}

}  // namespace data
