#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/user_list.h"
#include "platform/text/text.h"
#include "support/temp_dir.h"
#include "support/user_list_text.h"

namespace dictionary {
namespace {

using testing_support::FileListText;
using testing_support::ListText;
using testing_support::TempDir;

std::vector<std::u16string> IdiomsOf(const std::vector<IdiomEntry>& entries) {
  std::vector<std::u16string> idioms;
  for (const IdiomEntry& entry : entries) {
    idioms.push_back(entry.idiom);
  }
  return idioms;
}

// Reads the list at `path` both ways; the count must always match the entries.
std::vector<IdiomEntry> ReadChecked(const std::string& path) {
  std::vector<IdiomEntry> entries = ReadUserIdioms(path);
  EXPECT_EQ(CountValidUserIdioms(path), static_cast<int>(entries.size())) << path;
  return entries;
}

TEST(SplitLines, BreaksAtCrLfLoneCrAndLoneLf) {
  struct Case {
    std::string text;
    std::vector<std::string_view> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r", {"a"}},
      {"a\r\n", {"a"}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitLines(c.text), c.lines) << ::testing::PrintToString(c.text);
  }
}

struct LayoutCase {
  const char* name;
  std::vector<std::string> body;  // the lines after the 15 header lines
  std::vector<std::u16string> idioms;
};

const LayoutCase kLayoutCases[] = {
    {"17 lines", {"一石二鳥", "意味"}, {}},
    {"18 lines", {"一石二鳥", "意味", "よみ"}, {u"一石二鳥"}},
    {"19 lines", {"一石二鳥", "意味", "よみ", "温故知新"}, {u"一石二鳥"}},
    {"20 lines", {"一石二鳥", "意味", "よみ", "温故知新", "意味"}, {u"一石二鳥"}},
    {"21 lines",
     {"一石二鳥", "意味", "よみ", "温故知新", "意味", "よみ"},
     {u"一石二鳥", u"温故知新"}},
    {"five-unit idiom skipped, next group read",
     {"一石二鳥 ", "意味", "よみ", "温故知新", "意味", "よみ"},
     {u"温故知新"}},
    {"three-unit idiom skipped", {"一石二", "意味", "よみ"}, {}},
    {"blank in front counts toward four units", {" 一石二", "意味", "よみ"}, {u" 一石二"}},
    {"meaning of one ideographic space skipped",
     {"一石二鳥", "\u3000", "よみ", "温故知新", "意味", "よみ"},
     {u"温故知新"}},
    {"meaning of two ideographic spaces kept", {"一石二鳥", "\u3000\u3000", "よみ"}, {u"一石二鳥"}},
    {"meaning of one space skipped", {"一石二鳥", " ", "よみ"}, {}},
    {"meaning of two spaces kept", {"一石二鳥", "  ", "よみ"}, {u"一石二鳥"}},
    {"empty meaning skipped", {"一石二鳥", "", "よみ"}, {}},
    {"reading of one ideographic space skipped", {"一石二鳥", "意味", "\u3000"}, {}},
    {"reading of one space skipped", {"一石二鳥", "意味", " "}, {}},
    {"empty reading skipped", {"一石二鳥", "意味", ""}, {}},
    {"reading with a blank beside it kept", {"一石二鳥", "意味", " よみ"}, {u"一石二鳥"}},
    // The writers draw CP932: a group they could only show with "?" in it is skipped.
    {"emoji idiom of four units skipped", {"🍎🍎", "意味", "よみ"}, {}},
    {"Hangul idiom skipped",
     {"한국어다", "意味", "よみ", "温故知新", "意味", "よみ"},
     {u"温故知新"}},
    {"emoji in the meaning skipped", {"一石二鳥", "意味😀", "よみ"}, {}},
    {"Hangul reading skipped", {"一石二鳥", "意味", "한국"}, {}},
    {"characters of the CP932 extension rows kept", {"①②③④", "髙﨑", "ⅰ"}, {u"①②③④"}},
    {"invalid group between valid ones",
     {"一石二鳥", "意味", "よみ", "一石", "意味", "よみ", "温故知新", "意味", "よみ"},
     {u"一石二鳥", u"温故知新"}},
};

enum class LastBreak { kPresent, kAbsent };

TEST(ReadUserIdioms, LineCountsAndValidityUnderEveryLineEnding) {
  TempDir dir;
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    for (LastBreak last : {LastBreak::kPresent, LastBreak::kAbsent}) {
      for (const LayoutCase& c : kLayoutCases) {
        // Characters the code page lacks can only stand in a UTF-8 list, which only a
        // system that reads UTF-8 lists takes.
        std::string text = ListText(c.body, eol);
        if (platform::AnsiToUtf8(platform::Utf8ToAnsi(text)) == text) {
          text = FileListText(c.body, eol);
        } else if (platform::DecodeTextFile(text) != text) {
          continue;
        }
        if (last == LastBreak::kAbsent) {
          text.resize(text.size() - std::string_view(eol).size());
        }
        SCOPED_TRACE(std::string(c.name) + ", eol " + ::testing::PrintToString(eol) +
                     (last == LastBreak::kAbsent ? ", no final break" : ""));
        EXPECT_EQ(IdiomsOf(ReadChecked(dir.Write("list.txt", text))), c.idioms);
      }
    }
  }
}

// An extra break after 17 lines makes an 18th, empty line: the group exists but has no
// reading, unlike the single final break that adds no line.
TEST(ReadUserIdioms, EmptyEighteenthLineIsAnEmptyReading) {
  TempDir dir;
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    const std::string text = FileListText({"一石二鳥", "意味"}, eol) + eol;
    EXPECT_TRUE(ReadChecked(dir.Write("list.txt", text)).empty()) << ::testing::PrintToString(eol);
  }
}

TEST(ReadUserIdioms, GroupIsIdiomThenMeaningThenReading) {
  TempDir dir;
  const std::string path =
      dir.Write("list.txt", FileListText({"一石二鳥", "二つの得", "いっせきにちょう", "一石二鳥",
                                          "同じ字でも別の項目", "いっせきにちょう"}));
  const std::vector<IdiomEntry> entries = ReadChecked(path);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].idiom, u"一石二鳥");
  EXPECT_EQ(entries[0].meaning, u"二つの得");
  EXPECT_EQ(entries[0].reading, u"いっせきにちょう");
  EXPECT_EQ(entries[1].meaning, u"同じ字でも別の項目");
}

TEST(ReadUserIdioms, UnreadablePathsGiveNothing) {
  TempDir dir;
  for (const std::string& path : {dir.File("missing.txt"), dir.File("")}) {
    EXPECT_TRUE(ReadChecked(path).empty()) << path;
  }
}

const std::vector<std::string> kSampleBody = {
    "一石二鳥",
    "一つの行為で二つの利益",
    "いっせきにちょう",
    "温故知新",
    "古きをたずねて新しきを知る",
    "おんこちしん",
    "虎視眈々",
    "　機会を待つ",
    "こしたんたん",
};

// A list saved on Windows (CP932) and the same list saved as UTF-8 load alike.
TEST(ReadUserIdioms, Cp932AndUtf8FilesGiveTheSameEntries) {
  TempDir dir;
  const std::string utf8 = ListText(kSampleBody);
  const std::string cp932 = platform::Utf8ToAnsi(utf8);
  ASSERT_FALSE(platform::IsValidUtf8(cp932));
  ASSERT_NE(cp932.find("\x88\xEA\x90\xCE\x93\xF1\x92\xB9"), std::string::npos);  // 一石二鳥

  const std::vector<IdiomEntry> fromUtf8 = ReadChecked(dir.Write("utf8.txt", utf8));
  const std::vector<IdiomEntry> fromCp932 = ReadChecked(dir.Write("cp932.txt", cp932));
  const std::vector<IdiomEntry> fromBom = ReadChecked(dir.Write("bom.txt", "\xEF\xBB\xBF" + utf8));
  ASSERT_EQ(fromUtf8.size(), 3u);
  for (const std::vector<IdiomEntry>* other : {&fromCp932, &fromBom}) {
    ASSERT_EQ(other->size(), fromUtf8.size());
    for (std::size_t i = 0; i < fromUtf8.size(); ++i) {
      EXPECT_EQ((*other)[i].idiom, fromUtf8[i].idiom);
      EXPECT_EQ((*other)[i].meaning, fromUtf8[i].meaning);
      EXPECT_EQ((*other)[i].reading, fromUtf8[i].reading);
    }
  }
  EXPECT_EQ(fromUtf8[2].meaning, u"\u3000機会を待つ");
}

// One line in another encoding (a Latin-1 letter) spoils only its own group in a UTF-8
// list, whatever ends the lines: the other groups still read as UTF-8.
TEST(ReadUserIdioms, AStrayByteLeavesTheOtherLinesUtf8) {
  TempDir dir;
  std::vector<std::string> body = kSampleBody;
  body[1] = "caf\xE9 au lait";
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    SCOPED_TRACE(::testing::PrintToString(eol));
    const std::vector<IdiomEntry> entries = ReadChecked(dir.Write("list.txt", ListText(body, eol)));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].idiom, u"温故知新");
    EXPECT_EQ(entries[0].meaning, u"古きをたずねて新しきを知る");
  }
}

// A stray lead byte at the end of a CP932 line must not swallow the line break after it:
// the next group still starts where it should. The damaged group itself is skipped, since
// its meaning could only be shown with "?" in it.
TEST(ReadUserIdioms, StrayLeadByteKeepsTheLineBreak) {
  TempDir dir;
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    const std::string text =
        platform::Utf8ToAnsi(ListText({"一石二鳥"}, eol)) + "\x88\xd3\x96\xa1\x82" + eol + "yomi" +
        eol + platform::Utf8ToAnsi(std::string("温故知新") + eol + "意味" + eol + "よみ" + eol);
    const std::vector<IdiomEntry> entries = ReadChecked(dir.Write("list.txt", text));
    SCOPED_TRACE(::testing::PrintToString(eol));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].idiom, u"温故知新");
    EXPECT_EQ(entries[0].reading, u"よみ");
  }
}

std::string Utf16Bytes(std::u16string_view text, std::endian order) {
  std::string bytes;
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8);
    const char low = static_cast<char>(c & 0xFF);
    bytes += order == std::endian::little ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

// Read as CP932, a UTF-16 list is noise; its lines must not turn into entries. The second
// list is built so that they would: after each LF's zero byte, the three characters
// U+4E8B U+5F8C U+6589 form three CP932 pairs, making four-unit "idioms".
TEST(ReadUserIdioms, Utf16FilesGiveNothing) {
  std::u16string crafted;
  for (int i = 0; i < kUserListHeaderLines; ++i) {
    crafted += u"h\n";
  }
  for (int i = 0; i < 3; ++i) {
    crafted += u"\u4E8B\u5F8C\u6589\n\u4E8B\u5F8C\u6589\n\u4E8B\u5F8C\u6589\n";
  }
  TempDir dir;
  const std::u16string list = platform::Utf8ToUtf16(ListText(kSampleBody));
  for (const std::u16string& text : {list, crafted}) {
    for (std::endian order : {std::endian::little, std::endian::big}) {
      const std::string bom = Utf16Bytes(u"\uFEFF", order);
      const std::string path = dir.Write("utf16.txt", bom + Utf16Bytes(text, order));
      EXPECT_TRUE(ReadChecked(path).empty());
    }
  }
}

}  // namespace
}  // namespace dictionary
