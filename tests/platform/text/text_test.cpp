#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>

namespace platform {
namespace {

struct KnownText {
  const char* utf8;
  const char* ansi;
};

// Characters whose CP932 code is fixed by the Windows table, including the ones where other
// Shift-JIS tables differ (backslash, the full-width tilde/minus/backslash, the NEC and IBM
// extension rows, half-width katakana).
const KnownText kKnown[] = {
    {"", ""},
    {"abc XYZ 019", "abc XYZ 019"},
    {"\\", "\x5C"},
    {"~", "\x7E"},
    {"ア", "\x83\x41"},
    {"漢字", "\x8A\xBF\x8E\x9A"},
    {"四字熟語", "\x8E\x6C\x8E\x9A\x8F\x6E\x8C\xEA"},
    {"＼", "\x81\x5F"},
    {"～", "\x81\x60"},
    {"－", "\x81\x7C"},
    {"ｱｲｳ", "\xB1\xB2\xB3"},
    {"①", "\x87\x40"},
    {"ⅰ", "\xFA\x40"},
    {"a\r\nア\n", "a\r\n\x83\x41\n"},
};

TEST(TextConversion, KnownCharactersRoundTripThroughEveryEncoding) {
  for (const KnownText& known : kKnown) {
    SCOPED_TRACE(known.utf8);
    const std::string utf8 = known.utf8;
    const std::string ansi = known.ansi;
    EXPECT_EQ(AnsiToUtf8(ansi), utf8);
    EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
    const std::u16string utf16 = Utf8ToUtf16(utf8);
    EXPECT_EQ(AnsiToUtf16(ansi), utf16);
    EXPECT_EQ(Utf16ToAnsi(utf16), ansi);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  }
}

TEST(TextConversion, EmbeddedNulIsAnOrdinaryCharacter) {
  const std::string ansi("a\0\x83\x41", 4);
  EXPECT_EQ(AnsiToUtf16(ansi), std::u16string(u"a\0ア", 3));
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"a\0ア", 3)), ansi);
}

TEST(TextConversion, SupplementaryCharactersUseSurrogatePairs) {
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

struct Undecodable {
  const char* name;
  std::string ansi;
  std::u16string expected;
};

TEST(TextConversion, UndecodableAnsiBytesBecomeOneReplacementEach) {
  const Undecodable cases[] = {
      {"lone lead byte at the end", "a\x83", u"a\uFFFD"},
      {"lead byte before a line end keeps the line end", "\x83\n", u"\uFFFD\n"},
      {"lead byte before a space", "\x88 x", u"\uFFFD x"},
      {"unmapped pair is one character", "\x85\x40z", u"\uFFFDz"},
      {"0xFF opens no character", "\xFF\x83\x41", u"\uFFFDア"},
      {"text after a bad pair survives", "\x85\x40\x83\x41", u"\uFFFDア"},
  };
  for (const Undecodable& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AnsiToUtf16(c.ansi), c.expected);
  }
}

// Windows' own table gives these bytes private characters; the table used on Linux has none.
TEST(LinuxCodePage, SingleBytesWithoutACharacterBecomeOneReplacementEach) {
  EXPECT_EQ(AnsiToUtf16("\x80\xA0\xFD"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(TextConversion, CharactersOutsideCp932BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80"
                       "b"),
            "a?b");                     // one pair, one mark
  EXPECT_EQ(Utf8ToAnsi("한국"), "??");  // Hangul
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x?y");
  EXPECT_EQ(Utf16ToAnsi(std::u16string(1, char16_t(0xDC00))), "?");
}

TEST(TextConversion, MalformedUtf8BecomesReplacementPerMaximalSubpart) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string expected;
  } cases[] = {
      {"stray continuation",
       "a\x80"
       "b",
       u"a\uFFFDb"},
      {"truncated three-byte", "\xE3\x81", u"\uFFFD"},
      {"truncated then ASCII", "\xE3\x81z", u"\uFFFDz"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead", "\xFF", u"\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(IsValidUtf8(c.utf8));
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.expected);
  }
  EXPECT_TRUE(IsValidUtf8("plain ア \xF0\x9F\x98\x80 \xEF\xBF\xBF"));
}

TEST(TextConversion, UnpairedSurrogatesBecomeReplacementInUtf8) {
  const std::u16string text = std::u16string(u"a") + char16_t(0xDC00) + char16_t(0xD800);
  EXPECT_EQ(Utf16ToUtf8(text), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(LeadByte, RangesAreThoseOfCp932) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool expected = (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0;
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(byte)), expected) << byte;
  }
}

TEST(AnsiLowerCase, LowersSingleByteLettersOnly) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"ABC xyz 123", "abc xyz 123"},
      {"\x83\x41", "\x83\x41"},  // ア: trail byte 0x41 is not 'A'
      {"A\x83\x41Z", "a\x83\x41z"},
      {"\x8E\x5A\x5A", "\x8E\x5A\x7A"},  // second 'Z' is a character of its own
      {"\xB1"
       "A",
       "\xB1"
       "a"},                     // half-width katakana is single-byte
      {"\x83", "\x83"},          // lone lead byte at the end
      {"\xC4\xD6", "\xC4\xD6"},  // no Latin-1 lowering
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiLowerCase(c.in), c.out);
}

// On every system: the rest of the file reads as it would without the mark.
TEST(DecodeTextFile, ALeadingByteOrderMarkIsDropped) {
  const std::string mark(kUtf8ByteOrderMark);
  for (const std::string& text :
       {std::string(), std::string("Jukugo=1\r\n"), Utf8ToAnsi("四字熟語\r\nよじじゅくご\r\n")}) {
    EXPECT_EQ(DecodeTextFile(mark + text), DecodeTextFile(text)) << text;
  }
  // Only the leading mark is a byte-order mark.
  EXPECT_NE(DecodeTextFile("a" + mark), "a");
  EXPECT_NE(DecodeTextFile("a\n" + mark), "a\n");
}

// The cases below are Linux's reading of each line as UTF-8 when it is valid, else CP932.
TEST(LinuxTextFile, ValidUtf8IsKeptAndItsByteOrderMarkDropped) {
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                           "四字\r\n"),
            "四字\r\n");
  EXPECT_EQ(DecodeTextFile("四字"), "四字");
  EXPECT_EQ(DecodeTextFile("a\xEF\xBB\xBF"), "a\xEF\xBB\xBF");
}

TEST(LinuxTextFile, Cp932AndUtf8FilesOfTheSameTextDecodeAlike) {
  const std::string utf8 = "一石二鳥\nいっせきにちょう\n一つのことで二つの利益\n";
  const std::string ansi = Utf8ToAnsi(utf8);
  ASSERT_NE(ansi, utf8);
  ASSERT_FALSE(IsValidUtf8(ansi));
  EXPECT_EQ(DecodeTextFile(ansi), utf8);
  EXPECT_EQ(DecodeTextFile(utf8), utf8);
}

TEST(LinuxTextFile, EachLineByItselfAndLosslessOnlyWhenTheBytesComeBack) {
  const struct {
    const char* name;
    std::string line;
    std::string utf8;
    bool lossless;
  } cases[] = {
      {"utf-8", "Name=IPAゴシック\n", "Name=IPAゴシック\n", true},
      {"cp932", "\x96\xE9\x8C\x69\n", "夜景\n", true},
      {"latin-1 before a blank", "caf\xE9 au lait", "caf\uFFFD au lait", false},
      {"no encoding", "\xFF\xFE", "\uFFFD\uFFFD", false},
      // Two codes of one character: the CP932 reading cannot give these bytes back.
      {"duplicate code", "\xED\x40", "纊", false},
  };
  std::string file;
  std::string decoded;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedLine line = DecodeTextLine(c.line);
    EXPECT_EQ(line.utf8, c.utf8);
    EXPECT_EQ(line.lossless, c.lossless);
    file += c.line + "\n";
    decoded += c.utf8 + "\n";
  }
  // One stray line decides nothing for the others.
  EXPECT_EQ(DecodeTextFile(file), decoded);
}

// CPU time of this thread, so that other processes on the machine do not count.
double ThreadSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

TEST(LinuxTextFile, BytesOfNoEncodingCostNoMoreThanText) {
  // 512 KB that neither UTF-8 nor CP932 decodes, beside as many bytes of CP932 text as the
  // reference: every refused byte must not cost a round of the converter.
  const std::string text = Utf8ToAnsi("一石二鳥、温故知新。") + "\n";
  std::string reference;
  while (reference.size() < 512 * 1024) reference += text;
  const std::string junk(reference.size(), '\xFF');
  double best = 1e9;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const double start = ThreadSeconds();
    EXPECT_TRUE(IsValidUtf8(DecodeTextFile(reference)));
    const double textSeconds = ThreadSeconds() - start;
    EXPECT_EQ(DecodeTextFile(junk).size(), junk.size() * 3);
    const double junkSeconds = ThreadSeconds() - start - textSeconds;
    best = std::min(best, junkSeconds / std::max(textSeconds, 1e-6));
  }
  EXPECT_LT(best, 20.0) << "the junk cost " << best << " times the text";
}

}  // namespace
}  // namespace platform
