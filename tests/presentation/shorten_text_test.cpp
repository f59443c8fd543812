#include <gtest/gtest.h>

#include <string>

#include "platform/text/text.h"
#include "presentation/shorten_text.h"

namespace {

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(ShortenText, ThirtyTwoCharactersStayWholeThirtyThreeAreShortened) {
  const std::string ascii32 = "abcdefghijklmnopqrstuvwxyz012345";
  ASSERT_EQ(ascii32.size(), 32u);
  EXPECT_EQ(presentation::ShortenText(ascii32), ascii32);
  const std::string ascii33 = ascii32 + "6";
  EXPECT_EQ(presentation::ShortenText(ascii33), "abcdefghij...nopqrstuvwxyz0123456");
  EXPECT_EQ(presentation::ShortenText(""), "");
}

TEST(ShortenText, TwoByteCharactersCountAsOne) {
  // 32 kanji (64 bytes) stay whole; 33 become 10 + "..." + 20 kanji.
  const std::string kanji = platform::Utf8ToAnsi("曲");
  ASSERT_EQ(kanji.size(), 2u);
  EXPECT_EQ(presentation::ShortenText(Repeat(kanji, 32)), Repeat(kanji, 32));
  const std::string head = platform::Utf8ToAnsi("一二三四五六七八九十");
  const std::string tail = Repeat(platform::Utf8ToAnsi("尾"), 20);
  const std::string text = head + platform::Utf8ToAnsi("中中中") + tail;
  EXPECT_EQ(presentation::ShortenText(text), head + "..." + tail);
}

TEST(ShortenText, MixedWidthsAndATrailingLeadByte) {
  // Half-width katakana (0xA0..0xDF) are single characters; a lead byte at the very end
  // counts as one.
  std::string text = Repeat("\xB1", 20) + Repeat(platform::Utf8ToAnsi("楽"), 12) + "\x82";
  ASSERT_EQ(text.size(), 20u + 24u + 1u);
  const std::string out = presentation::ShortenText(text);
  EXPECT_EQ(out, Repeat("\xB1", 10) + "..." + Repeat("\xB1", 7) +
                     Repeat(platform::Utf8ToAnsi("楽"), 12) + "\x82");
}

}  // namespace
