#include "dg/bmp_decoder.h"

#include <gtest/gtest.h>

#include "dg/dg_fixture.h"
#include "dg/pixel_format.h"

namespace dg {
namespace {

using namespace dg_test;

std::uint32_t Rgb(int x, int y) {
  return static_cast<std::uint32_t>((x * 2) << 16 | (y * 4) << 8 | ((x + y) & 0xFF));
}

SoftwareDeviceOptions Pow2() {
  SoftwareDeviceOptions options;
  options.pow2Only = true;
  return options;
}

TEST_F(DGTest, A24BitBitmapFillsItsAreaAndTheRestKeepsTheFillColor) {
  StartCarad(Pow2());
  auto texture = MakeTexture();
  texture->FillColor = 0x00FFFFFF;
  data::MemoryStream stream(MakeBMP(100, 60, 24, Rgb));
  texture->LoadFromStream(stream);
  ASSERT_EQ(texture->TextureWidth(), 128u);
  ASSERT_EQ(texture->TextureHeight(), 64u);
  ASSERT_EQ(texture->Format(), D3DFMT_A8R8G8B8);
  const std::vector<std::uint32_t> texels = AllTexels(*texture);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 128; ++x) {
      const std::uint32_t expected = x < 100 && y < 60 ? 0xFF000000u | Rgb(x, y) : 0x00FFFFFFu;
      ASSERT_EQ(texels[static_cast<std::size_t>(y * 128 + x)], expected) << x << "," << y;
    }
  }
}

// The decoder's own conversions, into locked memory of each format.
struct DecodeCase {
  const char* name;
  std::uint16_t bitCount;
  std::uint32_t stored;  // the one pixel's stored value (an index for 8 and 15 bits)
  D3DFORMAT format;
  std::uint32_t expected;  // texel value
};

class DecodeConversion : public DGTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeConversion, ConvertsOnePixel) {
  const DecodeCase& c = GetParam();
  const std::vector<std::uint32_t> palette = {0x000000, 0x00C08040, 0x00FFFFFF};
  data::MemoryStream stream(MakeBMP(
      1, 1, c.bitCount, [&c](int, int) { return c.stored; },
      c.bitCount < 16 ? palette : std::vector<std::uint32_t>{}, 0xEE));
  std::uint32_t memory[2] = {0xDEADBEEF, 0xDEADBEEF};
  DecodeBMPInto(stream, reinterpret_cast<std::uint8_t*>(memory), 8, RECT{0, 0, 1, 1}, c.format,
                "one.bmp");
  const bool wholeWord = FormatBits(c.format) == 32 || c.format == D3DFMT_P8;
  const std::uint32_t mask = wholeWord ? 0xFFFFFFFFu : 0xFFFFu;
  EXPECT_EQ(memory[0] & mask, c.expected);
  // Converted rows end at their last pixel.
  if (!wholeWord) {
    EXPECT_EQ(memory[0] >> 16, 0xDEADu);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, DecodeConversion,
    ::testing::Values(DecodeCase{"Bit16TopClear", 16, 0x7FFF, D3DFMT_A8R8G8B8, 0x00FFFFFF},
                      DecodeCase{"Bit16Red", 16, 0xFC00, D3DFMT_A8R8G8B8, 0xFFFF0000},
                      DecodeCase{"Bit16Expanded", 16, 0x8000 | (16 << 10) | (1 << 5) | 31,
                                 D3DFMT_A8R8G8B8, 0xFF8308FF},
                      DecodeCase{"Bit32AlphaKept", 32, 0x80112233, D3DFMT_A8R8G8B8, 0x80112233},
                      DecodeCase{"Bit32ZeroAlpha", 32, 0x00112233, D3DFMT_A8R8G8B8, 0x00112233},
                      DecodeCase{"Bit32IntoA4R4G4B4", 32, 0x80F0E0D0, D3DFMT_A4R4G4B4, 0x8FED},
                      DecodeCase{"Bit24IntoR5G6B5", 24, 0xFF8000, D3DFMT_R5G6B5, 0xFC00},
                      DecodeCase{"Bit24IntoX8R8G8B8", 24, 0x123456, D3DFMT_X8R8G8B8, 0x00123456},
                      DecodeCase{"Bit8Palette", 8, 1, D3DFMT_A8R8G8B8, 0xFFC08040},
                      DecodeCase{"Bit8PaletteIntoA1R5G5B5", 8, 2, D3DFMT_A1R5G5B5, 0xFFFF},
                      DecodeCase{"Bit15IsOneBytePerPixel", 15, 1, D3DFMT_A8R8G8B8, 0xFFC08040},
                      DecodeCase{"Bit8IntoP8", 8, 2, D3DFMT_P8, 0xEEEEEE02}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST_F(DGTest, PaddingOfA3PixelRowIsNeverConverted) {
  StartCarad(Pow2());
  auto texture = MakeTexture();
  texture->FillColor = 0x00ABCDEF;
  // Stride 12 for 9 bytes of pixels; the padding bytes 0xEE would convert to a texel.
  const std::vector<std::uint8_t> bytes = MakeBMP(3, 2, 24, Rgb, {}, 0xEE);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  data::MemoryStream stream(bytes);
  texture->LoadFromStream(stream);
  ASSERT_EQ(texture->TextureWidth(), 4u);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Texel(*texture, x, y), 0xFF000000u | Rgb(x, y));
    EXPECT_EQ(Texel(*texture, 3, y), 0x00ABCDEFu);
  }
}

TEST_F(DGTest, ABitmapTallerOrWiderThanTheTextureLosesItsBottomRowsAndRightColumns) {
  StartCarad();
  auto texture = MakeTexture();
  texture->SetSize(3, 2);
  data::MemoryStream stream(MakeBMP(5, 4, 24, Rgb));
  DecodeBMP(texture->Texture(), stream, "pic.bmp");
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Texel(*texture, x, y), 0xFF000000u | Rgb(x, y));
  }
}

TEST_F(DGTest, An8BitBitmapCopiesItsIndexesAndRowPaddingIntoAP8Texture) {
  StartCarad();
  auto texture = MakeTexture({D3DFMT_P8});
  texture->SetSize(3, 2);
  ASSERT_EQ(texture->Format(), D3DFMT_P8);
  data::MemoryStream stream(MakeBMP(
      3, 2, 8, [](int x, int y) { return static_cast<std::uint32_t>(10 * y + x); }, {0x112233},
      0x77));
  DecodeBMP(texture->Texture(), stream, "pic.bmp");
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(texture->Texture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  ASSERT_EQ(locked.Pitch, 4);
  const auto* bits = static_cast<const std::uint8_t*>(locked.pBits);
  EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + 8),
            (std::vector<std::uint8_t>{0, 1, 2, 0x77, 10, 11, 12, 0x77}));
  texture->Texture()->UnlockRect(0);
}

// The line naming the bitmap and the failed check comes right before the refusal's message,
// so that a message that halts is not the only word of it.
::testing::AssertionResult RefusedFor(const std::string& log, const std::string& why,
                                      const std::string& message) {
  const std::string line = "BMP pic.bmp: " + why + "\r\n";
  const std::size_t reason = log.find(line);
  if (reason != std::string::npos) {
    const std::size_t next = reason + line.size();
    const std::size_t said = log.find(message, next);
    if (said != std::string::npos && said < log.find("\r\n", next)) {
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "no \"" << why << "\" before \"" << message << "\" in\n"
                                       << log;
}

TEST_F(DGTest, RejectedBitmapsLeaveTheFillColor) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    D3DFORMAT format;
    const char* why;
    const char* logged;
  };
  auto with = [](std::vector<std::uint8_t> b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
  };
  const std::vector<std::uint8_t> ok = MakeBMP(2, 2, 24, Rgb);
  const std::vector<std::uint8_t> ok16 = MakeBMP(2, 2, 16, [](int, int) { return 0x7C00u; });
  const char* bitCount =
      "色数が8ビット～32ビットの範囲のビットマップを、LoadBMPには指定してください"
      "(Error Code = UNKNOWN ERROR ... $00000001)";
  const Case cases[] = {
      {"bit count 1", with(ok, 28, 1), D3DFMT_A8R8G8B8, "1 bits per pixel", bitCount},
      {"bit count 4", with(ok, 28, 4), D3DFMT_A8R8G8B8, "4 bits per pixel", bitCount},
      {"bit count 33", with(ok, 28, 33), D3DFMT_A8R8G8B8, "33 bits per pixel", bitCount},
      {"not BM", with(ok, 0, 'X'), D3DFMT_A8R8G8B8, "not a bitmap (no \"BM\")",
       "不正なBMPファイルです"},
      {"negative width", with(ok, 21, 0xFF), D3DFMT_A8R8G8B8, "picture of -16777214 x 2",
       "幅と高さが正のビットマップだけを、LoadBMPには指定してください"},
      {"16 bits into P8", ok16, D3DFMT_P8, "16 bits per pixel for a palette texture",
       "8ビットパレット付きテクスチャに対して16ビット以上のBMPをロードする事は出来ません"},
  };
  StartCarad();
  for (const Case& c : cases) {
    auto texture = MakeTexture({c.format});
    texture->SetSize(2, 2);
    texture->FillRect(RECT{0, 0, 2, 2}, 0xFF123456, TDGFillAlpha::Replace);
    const std::vector<std::uint32_t> before = AllTexels(*texture);
    ClearLog();
    data::MemoryStream stream(c.bytes);
    DecodeBMP(texture->Texture(), stream, "pic.bmp");
    EXPECT_TRUE(RefusedFor(Log(), c.why, c.logged)) << c.name;
    EXPECT_EQ(AllTexels(*texture), before) << c.name;
  }
}

TEST_F(DGTest, AShortStreamKeepsTheRowsAlreadyCopied) {
  StartCarad();
  auto texture = MakeTexture();
  texture->SetSize(2, 3);
  texture->FillRect(RECT{0, 0, 2, 3}, 0xFF123456, TDGFillAlpha::Replace);
  std::vector<std::uint8_t> bytes = MakeBMP(2, 3, 24, Rgb);
  bytes.resize(bytes.size() - 8);  // the top row is cut short
  data::MemoryStream stream(bytes);
  DecodeBMP(texture->Texture(), stream, "pic.bmp");
  EXPECT_TRUE(RefusedFor(Log(), "file cut short at row 1 from the top",
                         "LoadBMP中に、読み込みエラーが発生しました"));
  EXPECT_EQ(Texel(*texture, 0, 0), 0xFF123456u);
  EXPECT_EQ(Texel(*texture, 1, 2), 0xFF000000u | Rgb(1, 2));
  EXPECT_EQ(Texel(*texture, 0, 1), 0xFF000000u | Rgb(0, 1));

  // Headers cut short.
  for (std::size_t size : {std::size_t{10}, std::size_t{30}}) {
    ClearLog();
    data::MemoryStream cut(std::vector<std::uint8_t>(
        bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
    DecodeBMP(texture->Texture(), cut, "pic.bmp");
    EXPECT_TRUE(size == 10 ? RefusedFor(Log(), "the file header is cut short",
                                        "ビットマップの読みこみ中に、エラーが発生しました")
                           : RefusedFor(Log(), "the information header is cut short",
                                        "LoadBMP中に、読み込みエラーが発生しました"));
  }
}

TEST_F(DGTest, ABitmapLaterInAStreamIsReadFromItsOwnStart) {
  StartCarad();
  auto texture = MakeTexture();
  std::vector<std::uint8_t> bytes(7, 0x55);
  const std::vector<std::uint8_t> bmp =
      MakeBMP(2, 2, 32, [](int x, int y) { return 0x80000000u | Rgb(x, y); });
  bytes.insert(bytes.end(), bmp.begin(), bmp.end());
  data::MemoryStream stream(bytes);
  stream.Seek(7);
  texture->LoadFromStream(stream);
  EXPECT_EQ(AllTexels(*texture),
            (std::vector<std::uint32_t>{0x80000000u | Rgb(0, 0), 0x80000000u | Rgb(1, 0),
                                        0x80000000u | Rgb(0, 1), 0x80000000u | Rgb(1, 1)}));
}

TEST_F(DGTest, AnUnsupportedBitCountHaltsWithHaltOnError) {
  EXPECT_EXIT(
      {
        StartCarad({}, nullptr, dgoHaltOnError | dgoDebugMessage);
        auto texture = MakeTexture();
        std::vector<std::uint8_t> bytes = MakeBMP(2, 2, 24, Rgb);
        bytes[28] = 4;
        data::MemoryStream stream(bytes);
        texture->LoadFromStream(stream);
        std::fprintf(stderr, "still running\n");
      },
      ::testing::ExitedWithCode(kHaltExitCode), dg_test::kHaltNotice);
}

}  // namespace
}  // namespace dg
