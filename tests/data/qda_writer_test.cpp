#include "data/qda_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "data/qda.h"
#include "data/test_inputs.h"

namespace data {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

Bytes Text() {
  std::string s;
  for (int i = 0; i < 300; ++i) {
    s += "Line " + std::to_string(i) +
         ": \x88\xea\x8c\xbe\x94\xbc\x8c\xea the quick brown fox, "
         "\x88\xea\x90\x53\x95\x73\x97\x90.\r\n";
  }
  return Bytes(s.begin(), s.end());
}

Bytes EvenBytesOnly() {
  // Every odd code is free: the pair table alternates literals and pairs.
  Bytes out(10000);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<std::uint8_t>((i * i / 7 % 9) * 2 + (i % 5 == 0 ? 40 : 0));
  return out;
}

Bytes AllByteValues() {
  Bytes out;
  for (int rep = 0; rep < 40; ++rep)
    for (int b = 0; b < 256; ++b) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

struct Input {
  const char* name;
  Bytes bytes;
};

std::vector<Input> Inputs() {
  return {{"Empty", {}},
          {"OneByte", {0x42}},
          {"Random", data_test::RandomBytes(100000, 1)},
          {"Text", Text()},
          {"Bitmap", data_test::BitmapLike(200, 150)},
          {"EvenBytes", EvenBytesOnly()},
          {"AllByteValues", AllByteValues()},
          {"MebibyteOfZeros", Bytes(1 << 20, 0)},
          {"BlockPlusOne", Bytes(kQDABlockSize + 1, 0x33)}};
}

class QDARoundTrip : public ::testing::TestWithParam<std::tuple<Input, QDAPacking>> {};

TEST_P(QDARoundTrip, ExtractGivesBackWhatWasPacked) {
  const auto& [input, packing] = GetParam();
  const Bytes archive =
      WriteQDAArchive({{"Other.bin", {1, 2, 3}}, {"Item.BMP", input.bytes}}, packing);
  MemoryStream stream(archive);
  const MemoryStream out = ExtractQDAStream(stream, "item.bmp");
  EXPECT_EQ(out.Bytes(), input.bytes);
  EXPECT_EQ(WriteQDAArchive({{"Other.bin", {1, 2, 3}}, {"Item.BMP", input.bytes}}, packing),
            archive)
      << "not deterministic";
}

INSTANTIATE_TEST_SUITE_P(All, QDARoundTrip,
                         ::testing::Combine(::testing::ValuesIn(Inputs()),
                                            ::testing::Values(QDAPacking::Packed, QDAPacking::Raw)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == QDAPacking::Packed ? "Packed"
                                                                                 : "Raw");
                         });

TEST(QDAPack, ShrinksRedundantDataAndBarelyGrowsRandomData) {
  const Bytes bitmap = data_test::BitmapLike(640, 480);
  EXPECT_LT(QDAPack(bitmap).size(), bitmap.size() / 4);
  EXPECT_LT(QDAPack(Text()).size(), Text().size() / 2);
  const Bytes random = data_test::RandomBytes(100000, 2);
  // An all-literal block costs its 3-byte table and 4-byte count.
  EXPECT_LE(QDAPack(random).size(), random.size() + 7 * (random.size() / kQDABlockSize + 1));
}

TEST(QDAPack, FlatDataOurPackerShrinksMostReadsBack) {
  const Bytes zeros(20 * kQDABlockSize, 0);
  const Bytes packed = QDAPack(zeros);
  EXPECT_LT(packed.size() * 50, zeros.size());
  MemoryStream in(packed);
  EXPECT_EQ(QDAExpand(in, static_cast<std::uint32_t>(zeros.size())).Bytes(), zeros);
}

TEST(WriteQDAArchive, LayoutOfHeaderAndDirectory) {
  const Bytes archive = WriteQDAArchive({{"ab", {9, 8, 7}}}, QDAPacking::Raw);
  ASSERT_EQ(archive.size(), 256u + 268u + 3u);
  EXPECT_EQ(archive[0], 0);
  EXPECT_EQ(std::string(archive.begin() + 4, archive.begin() + 8), "QDA0");
  EXPECT_EQ(archive[8], 1);
  EXPECT_EQ(archive[256], 524 & 0xFF);
  EXPECT_EQ(archive[257], 524 >> 8);
  EXPECT_EQ(archive[260], 3);  // storedSize
  EXPECT_EQ(archive[264], 3);  // unpackedSize
  EXPECT_EQ(std::string(archive.begin() + 268, archive.begin() + 271), std::string("ab\0", 3));
  EXPECT_EQ(WriteQDAArchive({}, QDAPacking::Packed)[0], 1);
}

TEST(WriteQDAArchive, RefusesIdsTheReaderCouldNotFind) {
  auto error = [](std::vector<QDAItem> items) -> std::string {
    try {
      WriteQDAArchive(items, QDAPacking::Packed);
    } catch (const EQDAError& e) {
      return e.what();
    }
    return "(no error)";
  };
  EXPECT_THAT(error({{"", {}}}), HasSubstr("1 to 255 bytes"));
  EXPECT_THAT(error({{std::string(256, 'a'), {}}}), HasSubstr("1 to 255 bytes"));
  EXPECT_THAT(error({{std::string("a\0b", 3), {}}}), HasSubstr("without NUL"));
  EXPECT_THAT(error({{"Leaf.bmp", {}}, {"LEAF.bmp", {}}}), HasSubstr("'LEAF.bmp' occurs twice"));
  EXPECT_EQ(error({{std::string(255, 'a'), {}}, {"\x83\x41", {}}, {"\x83\x61", {}}}), "(no error)");
}

}  // namespace
}  // namespace data
