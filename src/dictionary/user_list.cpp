#include "dictionary/user_list.h"

#include <optional>

#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace dictionary {
namespace {

constexpr int kGroupLines = 3;
// The header plus one whole group: anything shorter holds no entry at all.
constexpr std::size_t kMinimumLines = kUserListHeaderLines + kGroupLines;

// A meaning or reading that is empty or a single blank (ASCII or ideographic) counts as
// left out. Nothing is trimmed: two blanks, or a blank beside a word, is a text.
bool IsLeftOut(std::u16string_view text) {
  return text.empty() || text == u" " || text == u"\u3000";
}

bool DrawableAsAnsi(std::u16string_view text) {
  return platform::AnsiToUtf16(platform::Utf16ToAnsi(text)) == text;
}

// Calls `take(idiom, meaning, reading)` for every valid group, in file order.
template <typename Take>
void ForEachValidGroup(std::u16string_view text, Take take) {
  const std::vector<std::u16string_view> lines = SplitLines(text);
  if (lines.size() < kMinimumLines) {
    return;
  }
  // Lines that do not complete a group at the end are dropped: with n lines,
  // (n - 15) mod 3 of them.
  const std::size_t usable = lines.size() - (lines.size() - kUserListHeaderLines) % kGroupLines;
  for (std::size_t i = kUserListHeaderLines; i + kGroupLines <= usable; i += kGroupLines) {
    const std::u16string_view idiom = lines[i];
    const std::u16string_view meaning = lines[i + 1];
    const std::u16string_view reading = lines[i + 2];
    if (idiom.size() == 4 && !IsLeftOut(meaning) && !IsLeftOut(reading) && DrawableAsAnsi(idiom) &&
        DrawableAsAnsi(meaning) && DrawableAsAnsi(reading)) {
      take(idiom, meaning, reading);
    }
  }
}

bool StartsWithUtf16ByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// The list's text by the program's rule for text files (UTF-8 when valid, else CP932), or
// nothing when the file cannot be read. A UTF-16 file is refused outright: decoded as
// CP932 its byte pairs can happen to form four-unit lines, which would turn into
// garbage entries instead of none.
std::optional<std::u16string> LoadListText(const std::string& path) {
  std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes || StartsWithUtf16ByteOrderMark(*bytes)) {
    return std::nullopt;
  }
  return platform::Utf8ToUtf16(platform::DecodeTextFile(*bytes));
}

template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLinesOf(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const Char c = text[i];
    if (c == Char('\r') || c == Char('\n')) {
      lines.push_back(text.substr(start, i - start));
      i += (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) {
    lines.push_back(text.substr(start));
  }
  return lines;
}

}  // namespace

std::vector<std::u16string_view> SplitLines(std::u16string_view text) { return SplitLinesOf(text); }

std::vector<std::string_view> SplitLines(std::string_view bytes) { return SplitLinesOf(bytes); }

std::vector<IdiomEntry> ParseUserIdioms(std::u16string_view text) {
  std::vector<IdiomEntry> entries;
  ForEachValidGroup(text, [&entries](std::u16string_view idiom, std::u16string_view meaning,
                                     std::u16string_view reading) {
    entries.push_back(
        IdiomEntry{std::u16string(idiom), std::u16string(reading), std::u16string(meaning)});
  });
  return entries;
}

int CountValidUserGroups(std::u16string_view text) {
  int count = 0;
  ForEachValidGroup(
      text, [&count](std::u16string_view, std::u16string_view, std::u16string_view) { ++count; });
  return count;
}

std::vector<IdiomEntry> ReadUserIdioms(const std::string& path) {
  const std::optional<std::u16string> text = LoadListText(path);
  return text ? ParseUserIdioms(*text) : std::vector<IdiomEntry>{};
}

int CountValidUserIdioms(const std::string& path) {
  const std::optional<std::u16string> text = LoadListText(path);
  return text ? CountValidUserGroups(*text) : 0;
}

}  // namespace dictionary
