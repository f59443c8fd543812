#include "data/qda.h"

#include <gmock/gmock.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>

#include "data/archive_builder.h"

namespace data {
namespace {

using data_test::BuildArchive;
using data_test::Bytes;
using data_test::RawEntry;
using data_test::RawItem;
using data_test::ToBytes;
using ::testing::HasSubstr;

const Bytes kExampleBlock = {0xFF, 0x41, 0x42, 0xFE, 0x02, 0, 0, 0, 0x80, 0x43};

Bytes Expand(const Bytes& packed, std::uint32_t size) {
  MemoryStream in(packed);
  MemoryStream out = QDAExpand(in, size);
  EXPECT_EQ(out.Position(), 0u);
  return out.Bytes();
}

std::string Extract(const Bytes& archive, const std::string& id) {
  MemoryStream in(archive);
  const MemoryStream out = ExtractQDAStream(in, id);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string ErrorOf(const Bytes& archive, const std::string& id) {
  try {
    Extract(archive, id);
  } catch (const EQDAError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(QDAExpand, PairTableDefinesCodeForPair) {
  EXPECT_EQ(Expand(kExampleBlock, 3), (Bytes{0x41, 0x42, 0x43}));
}

TEST(QDAExpand, AllLiteralTableCopiesBytes) {
  EXPECT_EQ(Expand({0xFF, 0x80, 0xFE, 4, 0, 0, 0, 0x00, 0x80, 0xFF, 0x41}, 4),
            (Bytes{0x00, 0x80, 0xFF, 0x41}));
}

TEST(QDAExpand, EachBlockHasItsOwnTable) {
  Bytes packed = kExampleBlock;
  // Second block: code 0x80 is now literal, code 0x41 the pair (0x80, 0x43).
  const Bytes second = {0xC0, 0x80, 0x43, 0xFF, 0xC2, 0xBC, 3, 0, 0, 0, 0x41, 0x80, 0x42};
  packed.insert(packed.end(), second.begin(), second.end());
  EXPECT_EQ(Expand(packed, 7), (Bytes{0x41, 0x42, 0x43, 0x80, 0x43, 0x80, 0x42}));
}

TEST(QDAExpand, NestedPairsExpandLeftFirst) {
  // 0x80 = (0x81, 0x43), 0x81 = (0x41, 0x42): 0x80 expands to 41 42 43.
  const Bytes packed = {0xFF, 0x81, 0x43, 0x00, 0x41, 0x42, 0xFD, 1, 0, 0, 0, 0x80};
  EXPECT_EQ(Expand(packed, 3), (Bytes{0x41, 0x42, 0x43}));
}

TEST(QDAExpand, EmptyInputGivesEmptyOutput) { EXPECT_TRUE(Expand({}, 0).empty()); }

// One block whose codes 128 + j stand for 2^(j + 1) bytes 'A' (j < pairs), followed by the
// packed codes 128 + j for each j of `codes`.
Bytes DoublingChain(int pairs, const std::vector<int>& codes) {
  Bytes block = {0xFF, 0x41, 0x41, static_cast<std::uint8_t>(pairs - 2)};
  for (int j = 1; j < pairs; ++j) {
    block.push_back(static_cast<std::uint8_t>(127 + j));
    block.push_back(static_cast<std::uint8_t>(127 + j));
  }
  block.push_back(static_cast<std::uint8_t>(127 + (256 - 128 - pairs)));
  data_test::PutU32At(block, block.size(), static_cast<std::uint32_t>(codes.size()));
  for (int j : codes) block.push_back(static_cast<std::uint8_t>(128 + j));
  return block;
}

TEST(QDAExpand, HighRatiosOpenWhenTheDataReallyExpandsThatFar) {
  // 41 packed bytes, 81,920 bytes 'A' (2^16 + 2^14).
  const Bytes packed = DoublingChain(16, {15, 13});
  ASSERT_EQ(packed.size(), 41u);
  EXPECT_EQ(Expand(packed, 81920), Bytes(81920, 0x41));
}

// Every malformed form is refused with a message naming it; nothing is read or written
// out of bounds (the sanitizer builds of the fuzz target check the same on random input).
struct MalformedCase {
  const char* name;
  Bytes packed;
  std::uint32_t size;
  const char* message;
};

class QDAExpandMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(QDAExpandMalformed, RaisesNamedError) {
  const MalformedCase& c = GetParam();
  MemoryStream in(c.packed);
  try {
    QDAExpand(in, c.size);
    FAIL() << "no error";
  } catch (const EQDAError& e) {
    EXPECT_THAT(e.what(), HasSubstr(c.message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QDAExpandMalformed,
    ::testing::Values(
        MalformedCase{
            "SkipPasses256", {0xFF, 0x80, 0xFF, 1, 0, 0, 0, 0x41}, 1, "skip runs pass code 255"},
        MalformedCase{
            "EntriesPass255", {0xFF, 0x80, 0x7F, 0x80, 1, 0, 0, 0, 0x41}, 1, "past code 255"},
        MalformedCase{"TableCutShort", {0xFF, 0x80}, 0, "data ends inside a pair table"},
        MalformedCase{"PairCutShort", {0xFF, 0x81}, 0, "data ends inside a pair table"},
        MalformedCase{"CountCutShort", {0xFF, 0x80, 0xFE, 1, 0}, 0, "count of packed bytes"},
        MalformedCase{"CountPastEnd",
                      {0xFF, 0x80, 0xFE, 5, 0, 0, 0, 0x41},
                      5,
                      "declares 5 packed bytes, only 1 remain"},
        MalformedCase{"HugeCount",
                      {0xFF, 0x80, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x41},
                      1,
                      "declares 4294967295"},
        // Pairs that lead back to themselves: deeper nesting or output without end.
        MalformedCase{"LeftCycle",
                      {0xFF, 0x81, 0x00, 0x00, 0x80, 0x00, 0xFD, 1, 0, 0, 0, 0x80},
                      1,
                      "code 128 expands without end"},
        MalformedCase{"RightCycle",
                      {0xFF, 0x41, 0x80, 0xFE, 1, 0, 0, 0, 0x80},
                      50,
                      "code 128 expands without end"},
        MalformedCase{"MoreThanDeclared",
                      {0xFF, 0x80, 0xFE, 2, 0, 0, 0, 0x41, 0x42},
                      1,
                      "expands to 2 bytes, not to its declared size of 1"},
        MalformedCase{"LessThanDeclared",
                      {0xFF, 0x80, 0xFE, 1, 0, 0, 0, 0x41},
                      2,
                      "expands to 1 bytes, not to its declared size of 2"},
        MalformedCase{"SizeWithoutData", {}, 1, "expands to 0 bytes"},
        // A chain of 16 doublings claims 4 GiB: refused before anything is expanded.
        MalformedCase{"OverItemLimit", DoublingChain(16, {15}), 0xFFFFFFFF,
                      "more than an item may hold (268435456 bytes)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtractQDAStream, IdsIgnoreCaseAndErrorShowsIdAsRequested) {
  const Bytes archive = BuildArchive(0, {RawItem("Leaf.bmp", "leaf"), RawItem("road.bmp", "road")});
  EXPECT_EQ(Extract(archive, "leaf.bmp"), "leaf");
  EXPECT_EQ(Extract(archive, "ROAD.BMP"), "road");
  EXPECT_EQ(ErrorOf(archive, "Missing.BMP"),
            "アーカイブ内には指定されたID 'Missing.BMP' を持つデータが見つかりません");
}

TEST(ExtractQDAStream, TrailBytesOfTwoByteCharactersKeepTheirCase) {
  // 0x83 0x41 is "ア"; 0x83 0x61 is another character, not its lower case.
  const Bytes archive =
      BuildArchive(0, {RawItem("\x83\x61.bmp", "other"), RawItem("\x83\x41.BMP", "a")});
  EXPECT_EQ(Extract(archive, "\x83\x41.bmp"), "a");
  EXPECT_EQ(Extract(archive, "\x83\x61.BMP"), "other");
  EXPECT_EQ(ErrorOf(archive, "\x83\x41x"),
            "アーカイブ内には指定されたID 'アx' を持つデータが見つかりません");
}

TEST(ExtractQDAStream, FirstOfEqualIdsWins) {
  const Bytes archive = BuildArchive(0, {RawItem("a.bmp", "first"), RawItem("A.BMP", "second")});
  EXPECT_EQ(Extract(archive, "A.bmp"), "first");
}

TEST(ExtractQDAStream, EntryAtOffsetZeroCountsAsMissing) {
  RawEntry atZero = RawItem("x", "data");
  atZero.dataOffset = 0;
  const Bytes archive = BuildArchive(0, {atZero, RawItem("x", "later")});
  EXPECT_THAT(ErrorOf(archive, "x"), HasSubstr("見つかりません"));
}

TEST(ExtractQDAStream, EmptyOrNegativeDirectoryFindsNothing) {
  EXPECT_THAT(ErrorOf(BuildArchive(1, {}), "a"), HasSubstr("'a' を持つデータが見つかりません"));
  EXPECT_THAT(ErrorOf(BuildArchive(1, {RawItem("a", "x")}, -1 - 0x10000), "a"),
              HasSubstr("見つかりません"));
}

TEST(ExtractQDAStream, OnlyCompressedOneMeansPacked) {
  for (std::uint32_t flag : {0u, 2u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Extract(BuildArchive(flag, {RawItem("a", "\xFF\x80\xFE")}), "a"), "\xFF\x80\xFE");
  }
  RawEntry packed{"a", kExampleBlock, 3};
  EXPECT_EQ(Extract(BuildArchive(1, {packed}), "a"), "ABC");
}

TEST(ExtractQDAStream, ItemOfManyBlocksAndEmptyItem) {
  Bytes stored = kExampleBlock;
  stored.insert(stored.end(), kExampleBlock.begin(), kExampleBlock.end());
  const Bytes archive = BuildArchive(1, {RawEntry{"two", stored, 6}, RawEntry{"none", {}, 0}});
  EXPECT_EQ(Extract(archive, "two"), "ABCABC");
  EXPECT_EQ(Extract(archive, "none"), "");
}

TEST(ExtractQDAStream, WrongMagicAndShortFiles) {
  const std::string wrongMagic = "Quadruple D Archiveの扱えるデータではありません";
  Bytes archive = BuildArchive(0, {RawItem("a", "x")});
  archive[7] = '1';
  EXPECT_EQ(ErrorOf(archive, "a"), wrongMagic);
  EXPECT_EQ(ErrorOf({}, "a"), wrongMagic);
  EXPECT_EQ(ErrorOf({1, 0, 0, 0, 'Q', 'D', 'A'}, "a"), wrongMagic);
  EXPECT_THAT(ErrorOf({1, 0, 0, 0, 'Q', 'D', 'A', '0', 0}, "a"),
              HasSubstr("truncated archive header: 9 of 256"));
}

struct BadArchiveCase {
  const char* name;
  Bytes archive;
  const char* message;
};

RawEntry WithOffset(RawEntry e, std::int64_t offset, std::int64_t stored = -1) {
  e.dataOffset = offset;
  e.storedSize = stored;
  return e;
}

class ExtractQDAStreamMalformed : public ::testing::TestWithParam<BadArchiveCase> {};

TEST_P(ExtractQDAStreamMalformed, RaisesNamedError) {
  EXPECT_THAT(ErrorOf(GetParam().archive, "a"), HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractQDAStreamMalformed,
    ::testing::Values(
        BadArchiveCase{"HugeEntryCount", BuildArchive(1, {RawItem("a", "x")}, 0x7FFFFFFF),
                       "directory of 2147483647 entries (575525617396 bytes) runs past the end"},
        BadArchiveCase{"DirectoryOneEntryShort", BuildArchive(1, {RawEntry{"a", {}, 0}}, 2),
                       "directory of 2 entries"},
        BadArchiveCase{
            "RawItemPastEnd", BuildArchive(0, {RawEntry{"a", ToBytes("xy"), 3}}),
            "item 'a' (3 bytes at offset 524) runs past the end of the archive (526 bytes)"},
        BadArchiveCase{"RawItemOffsetPastEnd",
                       BuildArchive(0, {WithOffset(RawItem("a", "x"), 0xFFFFFFFF)}),
                       "runs past the end of the archive"},
        BadArchiveCase{"PackedItemPastEnd",
                       BuildArchive(1, {WithOffset(RawEntry{"a", kExampleBlock, 3}, -1, 11)}),
                       "item 'a' (11 bytes at offset 524) runs past"},
        BadArchiveCase{
            "HugeStoredSize",
            BuildArchive(1, {WithOffset(RawEntry{"a", kExampleBlock, 3}, -1, 0xFFFFFFFF)}),
            "(4294967295 bytes at offset 524) runs past"},
        BadArchiveCase{"HugeUnpackedSize",
                       BuildArchive(1, {RawEntry{"a", kExampleBlock, 0xFFFFFFFF}}),
                       "item 'a': packed data: declared size of 4294967295 bytes is more than"},
        BadArchiveCase{"BadPairTable", BuildArchive(1, {RawEntry{"a", {0xFF, 0x80, 0xFF}, 1}}),
                       "item 'a': packed data: pair table skip runs pass code 255"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtractQDAStream, BadEntriesElsewhereDoNotHideGoodOnes) {
  const Bytes archive =
      BuildArchive(0, {WithOffset(RawItem("bad", "x"), 0xFFFFFF00), RawItem("good", "ok")});
  EXPECT_EQ(Extract(archive, "good"), "ok");
}

TEST(ExtractQDAFile, FileCutShortAfterOpeningIsReported) {
  const std::string path =
      ::testing::TempDir() + "vm_qda_short_" + std::to_string(::getpid()) + ".qda";
  const Bytes archive = BuildArchive(0, {RawItem("a", "0123456789")});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(archive.data()), archive.size());
  FileStream file(path);
  std::filesystem::resize_file(path, archive.size() - 4);
  EXPECT_THAT([&] { ExtractQDAStream(file, "a"); },
              ::testing::ThrowsMessage<EQDAError>(
                  HasSubstr("truncated item data: 10 bytes wanted at offset 524, 6 read")));
  std::filesystem::remove(path);
}

TEST(ExtractQDAFile, MissingFileRaisesStreamErrorWithPath) {
  try {
    ExtractQDAFile("/nonexistent/dir/data.qda", "a");
    FAIL() << "no error";
  } catch (const StreamError& e) {
    EXPECT_THAT(e.what(),
                HasSubstr("/nonexistent/dir/data.qda を開けません: No such file or directory"));
  }
}

}  // namespace
}  // namespace data
