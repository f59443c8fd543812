#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dictionary/dictionary.h"
#include "platform/text/text.h"

namespace dictionary {
namespace {

bool IsHiragana(char16_t c) { return (c >= u'\u3041' && c <= u'\u3096') || c == u'ー'; }

TEST(BuiltinIdioms, HoldsEveryEntryOnce) {
  const std::vector<IdiomEntry>& table = BuiltinIdioms();
  ASSERT_EQ(table.size(), static_cast<std::size_t>(kBuiltinIdiomCount));
  std::set<std::u16string> seen;
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_TRUE(seen.insert(table[i].idiom).second) << "idiom twice at index " << i;
  }
}

TEST(BuiltinIdioms, IdiomsAreFourUnitsAndReadingsFiveToTenHiragana) {
  const std::vector<IdiomEntry>& table = BuiltinIdioms();
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].idiom.size(), 4u) << "index " << i;
    const std::u16string& reading = table[i].reading;
    EXPECT_GE(reading.size(), 5u) << "index " << i;
    EXPECT_LE(reading.size(), 10u) << "index " << i;
    for (char16_t c : reading) {
      EXPECT_TRUE(IsHiragana(c)) << "index " << i << " reading unit " << static_cast<int>(c);
    }
  }
}

// A meaning over 32 units wraps onto a second line when shown: every such meaning ends its
// first line after a comma or a particle, never inside a word.
TEST(BuiltinIdioms, MeaningLengthsAndTheTwoLineSet) {
  constexpr std::size_t kLineUnits = 32;
  const std::u16string breakAfter = u"、。がをはにとでも";
  const std::vector<IdiomEntry>& table = BuiltinIdioms();
  std::set<std::size_t> twoLine;
  std::set<std::u16string> meanings;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::u16string& meaning = table[i].meaning;
    EXPECT_GE(meaning.size(), 7u) << "index " << i;
    EXPECT_LE(meaning.size(), 38u) << "index " << i;
    if (meaning.size() > kLineUnits) {
      twoLine.insert(i);
      EXPECT_NE(breakAfter.find(meaning[kLineUnits - 1]), std::u16string::npos)
          << "index " << i << " wraps inside a word before \""
          << platform::Utf16ToUtf8(meaning.substr(kLineUnits)) << "\"";
    }
    EXPECT_TRUE(meanings.insert(meaning).second) << "meaning twice at index " << i;
  }
  EXPECT_EQ(twoLine, (std::set<std::size_t>{7, 32, 49, 51, 121, 145, 147, 149}));
}

TEST(BuiltinIdioms, FixedEntriesStandAtTheirIndexes) {
  struct Case {
    std::size_t index;
    std::u16string idiom;
    std::u16string reading;
    std::u16string meaning;  // empty: not checked
  };
  const Case cases[] = {
      {0, u"挙措進退", u"きょそしんたい", u"日常のちょっとした動作、身のこなし"},
      {10, u"勢力伯仲", u"せいりょくはくちゅう", u""},
      {51, u"孤立無援", u"こりつむえん",
       u"志や行動を共にする仲間がおらず、ひとりぼっちで周囲から何の援助もないこと"},
      {83, u"一挙両得", u"いっきょりょうとく", u"一つのことをして二つの利益を得ること"},
      {99, u"焼肉定食", u"やきにくていしょく", u"食堂のメニューの一つ"},
      {100, u"水戸黄門", u"みとこうもん", u"江戸時代の大名の一人の別名"},
      {118, u"一石二鳥", u"いっせきにちょう", u"一つの行為をして同時に二つの利益を得ること"},
      {141, u"虎視眈々", u"こしたんたん", u""},
      {159, u"大盤振舞", u"おおばんぶるまい", u""},
      {169, u"晴耕雨読", u"せいこううどく", u"悠々自適の生活"},
  };
  const std::vector<IdiomEntry>& table = BuiltinIdioms();
  for (const Case& c : cases) {
    SCOPED_TRACE("index " + std::to_string(c.index));
    ASSERT_LT(c.index, table.size());
    EXPECT_EQ(table[c.index].idiom, c.idiom);
    EXPECT_EQ(table[c.index].reading, c.reading);
    if (!c.meaning.empty()) {
      EXPECT_EQ(table[c.index].meaning, c.meaning);
    }
  }
}

}  // namespace
}  // namespace dictionary
