// Writer of the resource archive: the packer the build uses for the program's data.
//
// Output is a pure function of the input (same items, same bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace data {

enum class QDAPacking { Packed, Raw };

struct QDAItem {
  std::string id;  // ansi, 1..255 bytes, no NUL
  std::vector<std::uint8_t> bytes;
};

// Input bytes per packed block. Small blocks keep the pair search cheap and leave many
// codes unused in each block; the expander has no limit of its own.
inline constexpr std::size_t kQDABlockSize = 4096;
// A pair is given a code only when it occurs at least this often in the block: a table
// entry costs up to 3 bytes, so fewer occurrences would not pay for it.
inline constexpr unsigned kQDAMinPairCount = 4;

// Byte-pair packs `bytes` into blocks that QDAExpand reads back.
std::vector<std::uint8_t> QDAPack(std::span<const std::uint8_t> bytes);

// A whole archive holding `items` in the given order. Raises EQDAError for an id that is
// empty, too long, holds a NUL or equals an earlier id without regard to case, and for an
// archive that would pass 4 GiB.
std::vector<std::uint8_t> WriteQDAArchive(const std::vector<QDAItem>& items, QDAPacking packing);

}  // namespace data
