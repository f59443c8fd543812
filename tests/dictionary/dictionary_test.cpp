#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "dictionary/dictionary.h"
#include "support/temp_dir.h"
#include "support/user_list_text.h"

namespace dictionary {
namespace {

using testing_support::FileListText;
using testing_support::TempDir;

TEST(Dictionary, BuiltinEntriesAloneWithoutAUserList) {
  Dictionary dictionary;
  EXPECT_EQ(dictionary.Size(), kBuiltinIdiomCount);
  EXPECT_EQ(dictionary.UserIdiomCount(), 0);
  EXPECT_EQ(dictionary.Idiom(118), u"一石二鳥");
  EXPECT_EQ(dictionary.IdiomReading(169), u"せいこううどく");
  EXPECT_EQ(dictionary.IdiomMeaning(99), u"食堂のメニューの一つ");
}

// User entry k answers to 170 + k; one equal to a built-in idiom is an entry of its own.
TEST(Dictionary, UserEntriesFollowTheBuiltinOnes) {
  TempDir dir;
  const std::string path =
      dir.Write("list.txt", FileListText({"一石二鳥", "私の意味", "わたしのよみ", "長すぎる熟語",
                                          "x", "y", "自作熟語", "自分で作った", "じさくじゅくご"}));
  Dictionary dictionary;
  ASSERT_EQ(dictionary.LoadUserIdioms(path), 2);
  EXPECT_EQ(dictionary.Size(), kBuiltinIdiomCount + 2);

  struct Case {
    int index;
    std::u16string idiom, reading, meaning;
  };
  const Case cases[] = {
      {118, u"一石二鳥", u"いっせきにちょう", u"一つの行為をして同時に二つの利益を得ること"},
      {169, u"晴耕雨読", u"せいこううどく", u"悠々自適の生活"},
      {170, u"一石二鳥", u"わたしのよみ", u"私の意味"},
      {171, u"自作熟語", u"じさくじゅくご", u"自分で作った"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("index " + std::to_string(c.index));
    EXPECT_EQ(dictionary.Idiom(c.index), c.idiom);
    EXPECT_EQ(dictionary.IdiomReading(c.index), c.reading);
    EXPECT_EQ(dictionary.IdiomMeaning(c.index), c.meaning);
  }
}

TEST(Dictionary, IndexesOutsideTheSpaceAreRefused) {
  TempDir dir;
  Dictionary dictionary;
  ASSERT_EQ(
      dictionary.LoadUserIdioms(dir.Write("list.txt", FileListText({"自作熟語", "意味", "よみ"}))),
      1);
  for (int index : {-1, kBuiltinIdiomCount + 1, 1000}) {
    EXPECT_THROW(dictionary.Idiom(index), std::out_of_range) << index;
    EXPECT_THROW(dictionary.IdiomReading(index), std::out_of_range) << index;
    EXPECT_THROW(dictionary.IdiomMeaning(index), std::out_of_range) << index;
  }
  EXPECT_NO_THROW(dictionary.Idiom(kBuiltinIdiomCount));
}

TEST(Dictionary, LoadingReplacesTheEarlierList) {
  TempDir dir;
  Dictionary dictionary;
  ASSERT_EQ(
      dictionary.LoadUserIdioms(dir.Write("a.txt", FileListText({"自作熟語", "意味", "よみ"}))), 1);
  EXPECT_EQ(dictionary.LoadUserIdioms(dir.File("missing.txt")), 0);
  EXPECT_EQ(dictionary.Size(), kBuiltinIdiomCount);
  EXPECT_THROW(dictionary.Idiom(kBuiltinIdiomCount), std::out_of_range);
}

}  // namespace
}  // namespace dictionary
