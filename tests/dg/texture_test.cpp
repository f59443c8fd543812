#include "dg/texture.h"

#include <gtest/gtest.h>

#include "data/qda_writer.h"
#include "dg/dg_fixture.h"
#include "dg/pixel_format.h"

namespace dg {
namespace {

using namespace dg_test;

SoftwareDeviceOptions Caps(bool pow2, bool square) {
  SoftwareDeviceOptions options;
  options.pow2Only = pow2;
  options.squareOnly = square;
  return options;
}

std::uint32_t Rgb(int x, int y) {
  return static_cast<std::uint32_t>((x * 2) << 16 | (y * 4) << 8 | ((x + y) & 0xFF));
}

TEST_F(DGTest, SetSizeAllocatesWhatTheDeviceDemands) {
  struct Case {
    bool pow2, square;
    std::uint32_t w, h, textureW, textureH;
    float scaleU, scaleV;
  };
  const Case cases[] = {
      {false, false, 100, 60, 100, 60, 1.0f, 1.0f},
      {true, false, 100, 60, 128, 64, 0.78125f, 0.9375f},
      {false, true, 100, 60, 100, 100, 1.0f, 0.6f},
      {true, true, 100, 60, 128, 128, 0.78125f, 0.46875f},
      {true, false, 1, 1, 1, 1, 1.0f, 1.0f},
      {true, false, 0, 0, 1, 1, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    StartCarad(Caps(c.pow2, c.square));
    auto texture = MakeTexture();
    texture->SetSize(c.w, c.h);
    ASSERT_NE(texture->Texture(), nullptr) << c.w << "x" << c.h;
    D3DSURFACE_DESC desc{};
    texture->Texture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, c.textureW);
    EXPECT_EQ(desc.Height, c.textureH);
    EXPECT_EQ(texture->TextureWidth(), c.textureW);
    EXPECT_EQ(texture->TextureHeight(), c.textureH);
    EXPECT_EQ(texture->Width(), c.w);
    EXPECT_FLOAT_EQ(texture->ScaleU(), c.scaleU);
    EXPECT_FLOAT_EQ(texture->ScaleV(), c.scaleV);
    EXPECT_EQ(texture->LoadSource(), dglsDrawn);
    texture.reset();
  }
}

TEST_F(DGTest, SetSizeFillsAManagedTextureWithTheFillColor) {
  StartCarad(Caps(true, false));
  auto texture = MakeTexture();
  texture->FillColor = 0x00FFFFFF;
  texture->SetSize(3, 3);
  for (std::uint32_t texel : AllTexels(*texture)) EXPECT_EQ(texel, 0x00FFFFFFu);
}

TEST_F(DGTest, ZeroSizeFailsWhereTheDeviceNeedsNoPowerOfTwo) {
  StartCarad();
  auto texture = MakeTexture();
  texture->SetSize(0, 0);
  EXPECT_EQ(texture->Texture(), nullptr);
  EXPECT_TRUE(LogHas("テクスチャの生成に失敗しました(Error Code = D3DERR_INVALIDCALL )"));
  EXPECT_FLOAT_EQ(texture->ScaleU(), 0.0f);
}

TEST_F(DGTest, FormatIsTheFirstSupportedCandidateElseTheBackBuffers) {
  struct Case {
    std::vector<D3DFORMAT> deviceFormats;
    std::vector<D3DFORMAT> candidates;
    D3DFORMAT expected;
  };
  const Case cases[] = {
      {{D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_X8R8G8B8}, DGAlphaFormats, D3DFMT_A8R8G8B8},
      {{D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X8R8G8B8}, DGAlphaFormats, D3DFMT_A4R4G4B4},
      {{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}, DGAlphaFormats, D3DFMT_X8R8G8B8},
      {{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}, {}, D3DFMT_X8R8G8B8},
  };
  for (const Case& c : cases) {
    SoftwareDeviceOptions options;
    options.textureFormats = c.deviceFormats;
    StartCarad(options);
    auto texture = MakeTexture(c.candidates);
    texture->SetSize(4, 4);
    EXPECT_EQ(texture->Format(), c.expected);
    EXPECT_NE(texture->Texture(), nullptr);
    EXPECT_EQ(texture->BytesPerPixel(), FormatBits(c.expected) / 8);
    texture.reset();
  }
}

TEST_F(DGTest, SizeAboveTheMaximumIsLoggedAndItsCreationFails) {
  SoftwareDeviceOptions options;
  options.maxTextureWidth = options.maxTextureHeight = 256;
  StartCarad(options);
  auto texture = MakeTexture();
  texture->SetSize(300, 10);
  EXPECT_TRUE(LogHas("要求されたテクスチャのサイズは大きすぎます。256 x 256 以内にして下さい"));
  EXPECT_TRUE(LogHas("テクスチャの生成に失敗しました(Error Code = D3DERR_INVALIDCALL )"));
  EXPECT_EQ(texture->Texture(), nullptr);
}

TEST_F(DGTest, PixelOperationsWithoutATextureReportAndChangeNothing) {
  StartCarad();
  auto texture = MakeTexture();
  D3DLOCKED_RECT locked{1234, reinterpret_cast<void*>(0x5678)};
  EXPECT_NE(texture->LockRect(0, nullptr, locked, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 1234);
  EXPECT_EQ(locked.pBits, reinterpret_cast<void*>(0x5678));
  EXPECT_TRUE(
      LogHas("テクスチャが確保されていません。LockRectの前にSetSizeするか、BMPを読み込んでください"
             "(Error Code = UNKNOWN ERROR ... $00000001)"));
  texture->FillRect(RECT{0, 0, 1, 1}, 0xFFFFFFFF, TDGFillAlpha::Replace);
  texture->ColorKey(RECT{0, 0, 1, 1}, 0);
  data::MemoryStream saved;
  texture->SaveToStream(saved);
  EXPECT_EQ(saved.Size(), 54u);
  EXPECT_EQ(texture->LoadSource(), dglsNone);
  EXPECT_FALSE(texture->Locked());
}

TEST_F(DGTest, WritingLocksTurnLoadedContentIntoDrawnContent) {
  StartCarad();
  const std::string bmp = temp_.File("a.bmp");
  dg_test::WriteFile(bmp, MakeBMP(4, 4, 24, Rgb));
  const std::string archive = temp_.File("a.qda");
  const std::vector<std::uint8_t> bytes = MakeBMP(4, 4, 24, Rgb);
  dg_test::WriteFile(archive, data::WriteQDAArchive({{"a.bmp", bytes}}, data::QDAPacking::Packed));

  struct Case {
    std::string file, archive;
    TDGLoadSource loaded;
  };
  for (const Case& c : {Case{bmp, "", dglsFile}, Case{"A.BMP", archive, dglsArchive}}) {
    auto texture = MakeTexture();
    texture->LoadBMP(c.file, c.archive);
    EXPECT_EQ(texture->LoadSource(), c.loaded);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, nullptr, locked, D3DLOCK_READONLY), D3D_OK);
    EXPECT_TRUE(texture->Locked());
    texture->UnlockRect();
    EXPECT_EQ(texture->LoadSource(), c.loaded);
    ASSERT_EQ(texture->LockRect(0, nullptr, locked, 0), D3D_OK);
    texture->UnlockRect();
    EXPECT_EQ(texture->LoadSource(), dglsDrawn);
  }
}

TEST_F(DGTest, ColorKeyComparesInTheTexturesOwnFormat) {
  struct Case {
    D3DFORMAT format;
    D3DCOLOR key;
    std::uint32_t before, after;  // A8R8G8B8 colours
  };
  const Case cases[] = {
      {D3DFMT_A8R8G8B8, 0, 0x12000000, 0x00000000},
      {D3DFMT_A8R8G8B8, 0, 0x00010203, 0xFF010203},
      {D3DFMT_A8R8G8B8, 0, 0x80FFFFFF, 0xFFFFFFFF},
      {D3DFMT_A8R8G8B8, 0xFF00FF00, 0xFF000000, 0xFF000000},
      {D3DFMT_A8R8G8B8, 0xFF00FF00, 0xFF00FF00, 0x0000FF00},
      // Near-black packs to black in 5 bits per channel and so matches a black key.
      {D3DFMT_A1R5G5B5, 0, 0xFF070707, 0x00000000},
      {D3DFMT_A1R5G5B5, 0, 0x00080808, 0xFF080808},
      {D3DFMT_A4R4G4B4, 0x00030303, 0xFF0F0F0F, 0x00000000},
  };
  StartCarad();
  for (const Case& c : cases) {
    auto texture = MakeTexture({c.format});
    texture->SetSize(2, 1);
    texture->FillRect(RECT{0, 0, 2, 1}, c.before, TDGFillAlpha::Replace);
    texture->ColorKey(RECT{0, 0, 1, 1}, c.key);
    EXPECT_EQ(UnpackColor(Texel(*texture, 0, 0), c.format),
              UnpackColor(PackColor(c.after, c.format), c.format))
        << std::hex << c.before << " key " << c.key;
    // Outside the rectangle nothing changes.
    EXPECT_EQ(Texel(*texture, 1, 0), PackColor(c.before, c.format));
  }
}

TEST_F(DGTest, FillRectCanKeepEachPixelsAlpha) {
  StartCarad();
  auto texture = MakeTexture();
  texture->SetSize(3, 2);
  texture->FillRect(RECT{0, 0, 3, 2}, 0x40102030, TDGFillAlpha::Replace);
  texture->FillRect(RECT{1, 0, 3, 1}, 0xFFA0B0C0, TDGFillAlpha::Keep);
  EXPECT_EQ(AllTexels(*texture), (std::vector<std::uint32_t>{0x40102030, 0x40A0B0C0, 0x40A0B0C0,
                                                             0x40102030, 0x40102030, 0x40102030}));
  texture->ForEachPixel(RECT{0, 1, 2, 2}, [](TDGTexture&, std::uint32_t pixel, int x, int y) {
    return pixel + static_cast<std::uint32_t>(x + 10 * y);
  });
  EXPECT_EQ(Texel(*texture, 0, 1), 0x4010203Au);
  EXPECT_EQ(Texel(*texture, 1, 1), 0x4010203Bu);
  EXPECT_EQ(Texel(*texture, 2, 1), 0x40102030u);
}

TEST_F(DGTest, SaveToStreamWritesTheLogicalAreaAsA32BitBitmap) {
  StartCarad(Caps(true, false));
  auto texture = MakeTexture({D3DFMT_A4R4G4B4});
  texture->SetSize(3, 2);
  texture->FillRect(RECT{0, 0, 3, 2}, 0xFF112233, TDGFillAlpha::Replace);
  texture->FillRect(RECT{0, 0, 1, 1}, 0x80FFEEDD, TDGFillAlpha::Replace);
  data::MemoryStream saved;
  texture->SaveToStream(saved);
  ASSERT_EQ(saved.Size(), 54u + 3 * 2 * 4);
  const std::uint8_t* b = saved.Data();
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[2] | b[3] << 8, 54 + 24);
  EXPECT_EQ(b[18], 3);  // width
  EXPECT_EQ(b[22], 2);  // height
  EXPECT_EQ(b[28], 32);
  // The top-left pixel is stored in the last row; A4R4G4B4 widens 0x8FED to 0x88FFEEDD.
  EXPECT_EQ(b[54 + 12 + 0], 0xDD);
  EXPECT_EQ(b[54 + 12 + 3], 0x88);
  EXPECT_EQ(b[54 + 0 + 2], 0x11);

  // Loading it back gives the same texels.
  auto copy = MakeTexture({D3DFMT_A4R4G4B4});
  saved.Seek(0);
  copy->LoadFromStream(saved);
  EXPECT_EQ(AllTexels(*copy), AllTexels(*texture));
  EXPECT_EQ(copy->LoadSource(), dglsDrawn);
}

TEST_F(DGTest, LoadFromBitmapKeepsItsPixelsAndAlpha) {
  StartCarad();
  auto texture = MakeTexture();
  TDGBitmap bitmap{2, 2, {0xFF102030, 0x00405060, 0x80708090, 0xFFA0B0C0}};
  texture->LoadFromBitmap(bitmap);
  EXPECT_EQ(texture->Width(), 2u);
  EXPECT_EQ(AllTexels(*texture), bitmap.pixels);
  EXPECT_EQ(texture->LoadSource(), dglsDrawn);
}

TEST_F(DGTest, LoadFailuresAreReportedAndRecordTheirSource) {
  StartCarad();
  auto texture = MakeTexture();
  const std::string missing = temp_.File("missing.bmp");
  texture->LoadBMP(missing, "");
  EXPECT_TRUE(LogHas(missing + "からの、読み込みエラー(Error Code = UNKNOWN ERROR ... $00000001)"));
  EXPECT_EQ(texture->LoadSource(), dglsFile);

  const std::string archive = temp_.File("a.qda");
  dg_test::WriteFile(archive, data::WriteQDAArchive({{"x", {1, 2, 3}}}, data::QDAPacking::Raw));
  texture->LoadBMP("road.bmp", archive);
  // The reader's own words come first, then the line naming the item.
  const std::vector<std::string> lines = LogMessages();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "アーカイブ内には指定されたID 'road.bmp' を持つデータが見つかりません");
  EXPECT_EQ(lines.back(), "road.bmp ＠ " + archive +
                              "からの、読み込みエラー(Error Code = UNKNOWN ERROR ... "
                              "$00000001)");
  EXPECT_EQ(texture->LoadSource(), dglsArchive);
}

// Sizes the device cannot make are refused before anything is allocated; the texture keeps
// what it had.
TEST_F(DGTest, BitmapsAskingForImpossibleSizesAreRefusedBeforeAllocation) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* logged;
  };
  auto header = [](std::int32_t w, std::int32_t h, std::uint16_t bits) {
    std::vector<std::uint8_t> b = MakeBMP(1, 1, bits, [](int, int) { return 0u; });
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = static_cast<std::uint8_t>(w >> (8 * i));
      b[22 + i] = static_cast<std::uint8_t>(h >> (8 * i));
    }
    return b;
  };
  const Case cases[] = {
      {header(600, 10, 24), "ビットマップのサイズ 600 x 10 のテクスチャは作れません"},
      {header(300, 300, 24),
       "ビットマップのサイズ 300 x 300 のテクスチャは作れません"},  // 512 square
      {header(0, 10, 24), "ビットマップのサイズ 0 x 10 のテクスチャは作れません"},
      {header(10, -10, 24), "ビットマップのサイズ 10 x -10 のテクスチャは作れません"},
      {header(-2147483647 - 1, 1, 32), "のテクスチャは作れません"},
  };
  SoftwareDeviceOptions options = Caps(true, true);
  options.maxTextureWidth = options.maxTextureHeight = 256;
  StartCarad(options);
  for (const Case& c : cases) {
    auto texture = MakeTexture();
    texture->SetSize(2, 2);
    texture->FillRect(RECT{0, 0, 2, 2}, 0xFF00FF00, TDGFillAlpha::Replace);
    IDirect3DTexture9* before = texture->Texture();
    carad_->Device()->Recorder().Clear();
    carad_->Device()->Recorder().Start();
    data::MemoryStream stream(c.bytes);
    ClearLog();
    texture->LoadFromStream(stream);
    carad_->Device()->Recorder().Stop();
    EXPECT_TRUE(LogHas(c.logged)) << c.logged << "\n" << Log();
    EXPECT_TRUE(
        LogHas("ストリームからの、読み込みエラー(Error Code = UNKNOWN ERROR ... $00000001)"));
    EXPECT_EQ(carad_->Device()->Recorder().Count("CreateTexture"), 0u);
    EXPECT_EQ(texture->Texture(), before);
    EXPECT_EQ(Texel(*texture, 1, 1), 0xFF00FF00u);
  }
}

// Data that ends before the last pixel row is no failure: the rows present are copied (the
// bottom ones, stored first), the rest keep the fill colour, and one line says so.
TEST_F(DGTest, ABitmapCutShortKeepsTheRowsItHas) {
  struct Case {
    std::size_t cut;  // bytes taken off the end of a 2 x 3 24-bit bitmap (rows of 8 bytes)
    const char* logged;
    int rowsKept;
  };
  const Case cases[] = {
      {8, "ビットマップ 2 x 3 のデータが足りません。3 行のうち 2 行だけを読み込みます", 2},
      {3, "3 行のうち 2 行だけを読み込みます", 2},
      {24, "3 行のうち 0 行だけを読み込みます", 0},
  };
  StartCarad();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cut);
    auto texture = MakeTexture();
    texture->FillColor = 0x00FFFFFF;
    std::vector<std::uint8_t> bytes = MakeBMP(2, 3, 24, Rgb);
    bytes.resize(bytes.size() - c.cut);
    data::MemoryStream stream(bytes);
    ClearLog();
    texture->LoadFromStream(stream);
    EXPECT_TRUE(LogHas(c.logged)) << Log();
    EXPECT_FALSE(LogHas("Error Code")) << Log();
    ASSERT_EQ(texture->Width(), 2u);
    for (int y = 0; y < 3; ++y) {
      const bool kept = y >= 3 - c.rowsKept;
      EXPECT_EQ(Texel(*texture, 1, y), kept ? 0xFF000000u | Rgb(1, y) : 0x00FFFFFFu) << y;
    }
  }
}

TEST_F(DGTest, ALoadFailureHaltsWithHaltOnError) {
  EXPECT_EXIT(
      {
        StartCarad({}, nullptr, dgoHaltOnError | dgoDebugMessage);
        auto texture = MakeTexture();
        texture->LoadBMP(temp_.File("missing.bmp"), "");
        std::fprintf(stderr, "still running\n");
      },
      ::testing::ExitedWithCode(kHaltExitCode),
      "^velmorandi: 次のエラーで終了しました: .*missing.bmpからの、読み込みエラー.*（記録: .*"
      "DGCarad_DebugLog.txt）\n$");
  EXPECT_TRUE(LogHas("missing.bmpからの、読み込みエラー"));
}

}  // namespace
}  // namespace dg
