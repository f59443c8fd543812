#include "dictionary/user_list.h"

#include <array>
#include <optional>

#include "dictionary/dictionary.h"
#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace dictionary {
namespace {

constexpr int kGroupLines = 3;
// Four UTF-16 units take at most 12 bytes of UTF-8 (three for a BMP character, four for two
// units) and 8 of CP932: a longer idiom line cannot be one, and its group is not decoded.
constexpr std::size_t kMostIdiomBytes = 12;

// Calls `take(line)` for each line of `text` by the rule of SplitLines.
template <typename Char, typename Take>
void ForEachLineOf(std::basic_string_view<Char> text, Take take) {
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const Char c = text[i];
    if (c == Char('\r') || c == Char('\n')) {
      take(text.substr(start, i - start));
      i += (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) take(text.substr(start));
}

// A meaning or reading that is empty or a single blank (ASCII or ideographic) counts as
// left out. Nothing is trimmed: two blanks, or a blank beside a word, is a text.
bool IsLeftOut(std::string_view utf8) { return utf8.empty() || utf8 == " " || utf8 == "\u3000"; }

// The text in CP932 when it converts there and back without loss.
std::optional<std::string> DrawableAnsi(std::string_view utf8) {
  std::string ansi = platform::Utf8ToAnsi(utf8);
  if (platform::AnsiToUtf8(ansi) != utf8) return std::nullopt;
  return ansi;
}

struct Group {
  std::string idiom, meaning, reading;  // CP932
};

// The group of these three lines, when it is valid; each line is decoded by itself, and
// only once the lines before it allow a valid group.
std::optional<Group> ValidGroup(std::string_view idiomLine, std::string_view meaningLine,
                                std::string_view readingLine) {
  if (idiomLine.size() > kMostIdiomBytes) return std::nullopt;
  const std::string idiom = platform::DecodeTextLine(idiomLine).utf8;
  if (platform::Utf8ToUtf16(idiom).size() != 4) return std::nullopt;
  const std::string meaning = platform::DecodeTextLine(meaningLine).utf8;
  const std::string reading = platform::DecodeTextLine(readingLine).utf8;
  if (IsLeftOut(meaning) || IsLeftOut(reading)) return std::nullopt;
  std::optional<std::string> a = DrawableAnsi(idiom);
  std::optional<std::string> m = a ? DrawableAnsi(meaning) : std::nullopt;
  std::optional<std::string> r = m ? DrawableAnsi(reading) : std::nullopt;
  if (!r) return std::nullopt;
  return Group{std::move(*a), std::move(*m), std::move(*r)};
}

// Calls `take(group)` for every valid group, in file order. Lines that do not complete a
// group at the end are dropped: with n lines, (n - 15) mod 3 of them.
template <typename Take>
void ForEachValidGroup(std::string_view bytes, Take take) {
  std::size_t lineNumber = 0;
  std::array<std::string_view, kGroupLines> group;
  ForEachLineOf(bytes, [&](std::string_view line) {
    if (lineNumber++ < kUserListHeaderLines) return;
    const std::size_t slot = (lineNumber - 1 - kUserListHeaderLines) % kGroupLines;
    group[slot] = line;
    if (slot + 1 < kGroupLines) return;
    if (std::optional<Group> valid = ValidGroup(group[0], group[1], group[2])) take(*valid);
  });
}

bool StartsWithUtf16ByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// The list's bytes, or nothing when the file cannot be read. A UTF-16 file is refused
// outright: decoded as CP932 its byte pairs can happen to form four-unit lines, which would
// turn into garbage entries instead of none.
std::optional<std::string> LoadListBytes(const std::string& path) {
  std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes || StartsWithUtf16ByteOrderMark(*bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  ForEachLineOf(bytes, [&lines](std::string_view line) { lines.push_back(line); });
  return lines;
}

UserIdioms ParseUserIdioms(std::string_view bytes) {
  UserIdioms idioms;
  idioms.Reserve(bytes.size());
  ForEachValidGroup(bytes, [&idioms](const Group& group) {
    idioms.Add(group.idiom, group.reading, group.meaning);
  });
  return idioms;
}

int CountValidUserGroups(std::string_view bytes) {
  int count = 0;
  ForEachValidGroup(bytes, [&count](const Group&) { ++count; });
  return count;
}

UserIdioms LoadUserIdiomList(const std::string& path) {
  const std::optional<std::string> bytes = LoadListBytes(path);
  return bytes ? ParseUserIdioms(*bytes) : UserIdioms{};
}

std::vector<IdiomEntry> ReadUserIdioms(const std::string& path) {
  const UserIdioms idioms = LoadUserIdiomList(path);
  std::vector<IdiomEntry> entries;
  for (int k = 0; k < idioms.Count(); ++k) {
    entries.push_back(IdiomEntry{idioms.Idiom(k), idioms.Reading(k), idioms.Meaning(k)});
  }
  return entries;
}

int CountValidUserIdioms(const std::string& path) {
  const std::optional<std::string> bytes = LoadListBytes(path);
  return bytes ? CountValidUserGroups(*bytes) : 0;
}

}  // namespace dictionary
