// Reader of the resource archive (data.qda): a 256-byte header, a directory of named
// entries, and each item's bytes, stored as they are or packed with byte-pair encoding.
//
// Ids are "ansi" strings (CP932 bytes) and match without regard to the case of ASCII
// letters in single-byte characters. Every size the file states is checked against the
// file before anything is read or allocated; a malformed archive raises EQDAError naming
// the problem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/stream.h"

namespace data {

// Messages are UTF-8.
class EQDAError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kQDAHeaderSize = 256;
inline constexpr std::size_t kQDAEntrySize = 268;
inline constexpr std::size_t kQDAIdSize = 256;
inline constexpr char kQDAMagic[4] = {'Q', 'D', 'A', '0'};
// The header's `compressed` value that marks packed items; every other value means raw.
inline constexpr std::uint32_t kQDACompressed = 1;
// The expander's stack of pending codes, and so the deepest pair nesting it can follow.
inline constexpr std::size_t kQDAStackSize = 256;
// Largest declared size of a packed item (256 MiB): far above any picture the program
// keeps in an archive, and still memory the machine can give.
inline constexpr std::uint32_t kQDAMaxItemSize = 256u << 20;

struct QDAEntry {
  std::uint32_t dataOffset = 0;
  std::uint32_t storedSize = 0;
  std::uint32_t unpackedSize = 0;
  std::string id;  // ansi, up to its NUL
};

struct QDADirectory {
  std::uint32_t compressed = 0;  // as stored; items are packed only when it is kQDACompressed
  std::vector<QDAEntry> entries;
};

// Reads header and directory from position 0 of `archive`. The entries' data ranges are
// not checked here (only the item that is extracted must be sound).
QDADirectory ReadQDADirectory(Stream& archive);

// Opens `path` (UTF-8) read-only for the one call. A file that cannot be opened raises
// the StreamError of FileStream, unchanged.
MemoryStream ExtractQDAFile(const std::string& path, std::string_view ansiId);

// The data of the first entry whose id equals `ansiId` (case-insensitively), in a new
// stream of the item's size at position 0.
MemoryStream ExtractQDAStream(Stream& archive, std::string_view ansiId);

// Expands the byte-pair-packed blocks from the position of `packed` to its end. The result
// must come to exactly `size` bytes, at most kQDAMaxItemSize; it is returned at position 0.
// The packed data's length is worked out before anything is allocated for it.
MemoryStream QDAExpand(Stream& packed, std::uint32_t size);

}  // namespace data
