#include "data/qda_writer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>

#include "data/qda.h"
#include "platform/text/text.h"

namespace data {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void StoreU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct PairTable {
  std::array<std::uint8_t, 256> left;
  std::array<std::uint8_t, 256> right{};
  PairTable() {
    for (unsigned i = 0; i < 256; ++i) left[i] = static_cast<std::uint8_t>(i);
  }
  bool IsLiteral(unsigned c) const { return left[c] == c; }
};

// Groups as the expander reads them: a count byte 128 + (k - 1) skips k literal codes
// (k <= 128) and is followed by exactly one entry unless it reaches code 256; a count
// byte n - 1 (n <= 128) is followed by n entries.
void WriteTable(const PairTable& t, std::vector<std::uint8_t>& out) {
  auto entry = [&](unsigned c) {
    out.push_back(t.left[c]);
    if (!t.IsLiteral(c)) out.push_back(t.right[c]);
  };
  unsigned c = 0;
  while (c < 256) {
    if (t.IsLiteral(c)) {
      unsigned run = 0;
      while (c + run < 256 && run < 128 && t.IsLiteral(c + run)) ++run;
      out.push_back(static_cast<std::uint8_t>(127 + run));
      c += run;
      if (c == 256) break;
      entry(c++);
    } else {
      unsigned n = 0;
      while (c + n < 256 && n < 128 && !t.IsLiteral(c + n)) ++n;
      out.push_back(static_cast<std::uint8_t>(n - 1));
      for (unsigned k = 0; k < n; ++k) entry(c++);
    }
  }
}

// Repeatedly gives the most frequent pair of adjacent codes a code that stands for
// nothing in the block yet, until no pair is frequent enough or no code is free. A new
// pair only refers to codes that exist already, so the table has no cycles, and the
// expander's stack then never holds more than (pair codes + 1) <= 256 entries: expanding
// a pair needs max(2, 1 + need(left), need(right)) slots, at most one more than the pair
// codes reachable from it.
void PackBlock(std::span<const std::uint8_t> in, std::vector<std::uint16_t>& counts,
               std::vector<std::uint8_t>& out) {
  std::vector<std::uint8_t> codes(in.begin(), in.end());
  PairTable table;
  std::array<bool, 256> taken{};
  for (std::uint8_t b : codes) taken[b] = true;

  unsigned nextFree = 0;
  for (;;) {
    while (nextFree < 256 && taken[nextFree]) ++nextFree;
    if (nextFree == 256) break;

    // Counts as the replacement below will find them: in a run "aaa" the pair "aa" is
    // counted once, not twice. Ties go to the smallest pair, whatever the order.
    const std::size_t n = codes.size();
    unsigned best = 0, bestKey = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
      const unsigned key = unsigned{codes[i]} << 8 | codes[i + 1];
      const unsigned count = ++counts[key];
      if (count > best || (count == best && key < bestKey)) best = count, bestKey = key;
      if (codes[i] == codes[i + 1] && i + 2 < n && codes[i + 2] == codes[i]) ++i;
    }
    for (std::size_t i = 0; i + 1 < n; ++i) counts[unsigned{codes[i]} << 8 | codes[i + 1]] = 0;
    if (best < kQDAMinPairCount) break;

    const auto code = static_cast<std::uint8_t>(nextFree);
    const auto a = static_cast<std::uint8_t>(bestKey >> 8), b = static_cast<std::uint8_t>(bestKey);
    taken[code] = true;
    table.left[code] = a;
    table.right[code] = b;
    std::size_t w = 0;
    for (std::size_t i = 0; i < n;) {
      if (i + 1 < n && codes[i] == a && codes[i + 1] == b) {
        codes[w++] = code;
        i += 2;
      } else {
        codes[w++] = codes[i++];
      }
    }
    codes.resize(w);
  }

  WriteTable(table, out);
  PutU32(out, static_cast<std::uint32_t>(codes.size()));
  out.insert(out.end(), codes.begin(), codes.end());
}

}  // namespace

std::vector<std::uint8_t> QDAPack(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  std::vector<std::uint16_t> counts(65536, 0);
  for (std::size_t at = 0; at < bytes.size(); at += kQDABlockSize) {
    PackBlock(bytes.subspan(at, std::min(kQDABlockSize, bytes.size() - at)), counts, out);
  }
  return out;
}

std::vector<std::uint8_t> WriteQDAArchive(const std::vector<QDAItem>& items, QDAPacking packing) {
  std::set<std::string> seen;
  for (const QDAItem& item : items) {
    std::string printable = item.id;
    std::replace(printable.begin(), printable.end(), '\0', '?');
    const std::string shown = platform::AnsiToUtf8(printable);
    if (item.id.empty() || item.id.size() >= kQDAIdSize ||
        item.id.find('\0') != std::string::npos) {
      throw EQDAError("id '" + shown + "' must be 1 to 255 bytes without NUL");
    }
    if (!seen.insert(platform::AnsiLowerCase(item.id)).second) {
      throw EQDAError("id '" + shown + "' occurs twice (ids ignore case)");
    }
  }

  std::vector<std::vector<std::uint8_t>> packed;
  if (packing == QDAPacking::Packed) {
    for (const QDAItem& item : items) packed.push_back(QDAPack(item.bytes));
  }
  auto stored = [&](std::size_t i) -> const std::vector<std::uint8_t>& {
    return packing == QDAPacking::Packed ? packed[i] : items[i].bytes;
  };

  std::uint64_t total = kQDAHeaderSize + std::uint64_t{kQDAEntrySize} * items.size();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].bytes.size() > std::numeric_limits<std::uint32_t>::max())
      total = UINT64_MAX;
    else
      total += stored(i).size();
    if (total > std::numeric_limits<std::uint32_t>::max()) {
      throw EQDAError("archive would pass 4 GiB at item '" + platform::AnsiToUtf8(items[i].id) +
                      "'");
    }
  }

  std::vector<std::uint8_t> out(kQDAHeaderSize + kQDAEntrySize * items.size(), 0);
  StoreU32(out.data(), packing == QDAPacking::Packed ? kQDACompressed : 0);
  std::copy(std::begin(kQDAMagic), std::end(kQDAMagic), out.begin() + 4);
  StoreU32(out.data() + 8, static_cast<std::uint32_t>(items.size()));
  out.reserve(static_cast<std::size_t>(total));
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::uint8_t* e = out.data() + kQDAHeaderSize + i * kQDAEntrySize;
    StoreU32(e, static_cast<std::uint32_t>(out.size()));
    StoreU32(e + 4, static_cast<std::uint32_t>(stored(i).size()));
    StoreU32(e + 8, static_cast<std::uint32_t>(items[i].bytes.size()));
    std::copy(items[i].id.begin(), items[i].id.end(), e + 12);
    out.insert(out.end(), stored(i).begin(), stored(i).end());
  }
  return out;
}

}  // namespace data
