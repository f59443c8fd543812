// A device re-creation (full screen, then back to a window) gives every texture its
// content back: loaded content from its file or archive, drawn content from the copy saved
// before the release.
#include <gtest/gtest.h>

#include "data/qda_writer.h"
#include "dg/dg_fixture.h"
#include "platform/d3d9/present_target.h"

namespace dg {
namespace {

using namespace dg_test;

std::uint32_t Pattern(int x, int y) {
  return static_cast<std::uint32_t>((x * 37) & 0xFF) << 16 |
         static_cast<std::uint32_t>((y * 53) & 0xFF) << 8 |
         static_cast<std::uint32_t>((x ^ y) & 0xFF);
}

struct Snapshot {
  std::uint32_t width, height, textureWidth, textureHeight;
  D3DFORMAT format;
  std::vector<std::uint32_t> texels;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(TDGTexture& texture) {
  return {texture.Width(),         texture.Height(), texture.TextureWidth(),
          texture.TextureHeight(), texture.Format(), AllTexels(texture)};
}

class RebuildTest : public DGTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RebuildTest, SwitchToWindowAfterFullScreenRestoresEveryTexture) {
  SoftwareDeviceOptions options;
  options.pow2Only = GetParam();
  FrameTarget window(320, 240);
  TDGCarad& carad = StartCarad(options, &window);
  carad.SwitchToFullScreen(640, 480, D3DFMT_A8R8G8B8, {}, 0, D3DPRESENT_INTERVAL_IMMEDIATE,
                           D3DSWAPEFFECT_DISCARD, D3DMULTISAMPLE_NONE, 0);
  ASSERT_NE(carad.Device(), nullptr);

  const std::string file = temp_.File("Leaf.bmp");
  dg_test::WriteFile(file, MakeBMP(44, 30, 24, Pattern));
  const std::string archive = temp_.File("data.qda");
  dg_test::WriteFile(archive, data::WriteQDAArchive(
                                  {{"road.bmp", MakeBMP(21, 13, 32,
                                                        [](int x, int y) {
                                                          return (static_cast<std::uint32_t>(x * 12)
                                                                  << 24) |
                                                                 Pattern(y, x);
                                                        })}},
                                  data::QDAPacking::Packed));

  auto fromFile = MakeTexture();
  fromFile->FillColor = 0x00FFFFFF;
  fromFile->LoadBMP(file, "");
  fromFile->ColorKey(RECT{0, 0, 44, 30}, 0);  // a writing lock: the keyed pixels are drawn

  auto fromFileUntouched = MakeTexture();
  fromFileUntouched->LoadBMP(file, "");

  auto fromArchive = MakeTexture();
  fromArchive->LoadBMP("road.bmp", archive);

  auto drawn = MakeTexture({D3DFMT_A4R4G4B4});
  drawn->SetSize(37, 37);
  drawn->FillRect(RECT{0, 0, 37, 37}, 0x60FFFFFF, TDGFillAlpha::Replace);
  drawn->ForEachPixel(RECT{5, 5, 30, 20}, [](TDGTexture&, std::uint32_t, int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFFFF);
  });

  auto empty = MakeTexture();

  ASSERT_EQ(fromFile->LoadSource(), dglsDrawn);
  ASSERT_EQ(fromFileUntouched->LoadSource(), dglsFile);
  ASSERT_EQ(fromArchive->LoadSource(), dglsArchive);
  ASSERT_EQ(drawn->LoadSource(), dglsDrawn);
  const Snapshot file1 = Take(*fromFile);
  const Snapshot file2 = Take(*fromFileUntouched);
  const Snapshot archived = Take(*fromArchive);
  const Snapshot hand = Take(*drawn);
  // The drawn texture is keyed, so it differs from the file it came from.
  ASSERT_NE(file1.texels, file2.texels);

  ClearLog();
  carad.SwitchToWindow(640, 480, {}, D3DPRESENT_INTERVAL_DEFAULT, D3DSWAPEFFECT_DISCARD,
                       D3DMULTISAMPLE_NONE, 0);
  ASSERT_NE(carad.Device(), nullptr);
  EXPECT_TRUE(carad.Windowed());
  EXPECT_FALSE(LogHas("Error Code")) << Log();
  // Loaded content is read again from its source; drawn content from the saved copy.
  EXPECT_TRUE(LogHas("ID 1() のテクスチャに、" + file + " を読み込みます"));
  EXPECT_TRUE(
      LogHas("ID 2() のテクスチャに、QDAファイル" + archive + " から ID road.bmp を読み込みます"));
  EXPECT_TRUE(LogHas("ID 0 のテクスチャに、ストリームから読み込みます"));
  EXPECT_TRUE(LogHas("ID 3 のテクスチャに、ストリームから読み込みます"));

  EXPECT_EQ(Take(*fromFile), file1);
  EXPECT_EQ(Take(*fromFileUntouched), file2);
  EXPECT_EQ(Take(*fromArchive), archived);
  EXPECT_EQ(Take(*drawn), hand);
  EXPECT_EQ(empty->Texture(), nullptr);
  EXPECT_EQ(fromFile->LoadSource(), dglsDrawn);
  EXPECT_EQ(fromFileUntouched->LoadSource(), dglsFile);
  EXPECT_EQ(fromArchive->LoadSource(), dglsArchive);
  EXPECT_FALSE(drawn->HasSavedContent());
}

INSTANTIATE_TEST_SUITE_P(Caps, RebuildTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "PowerOfTwo" : "AnySize");
                         });

TEST_F(DGTest, DefaultPoolContentComesBackEmptyAtItsSize) {
  TDGCarad& carad = StartCarad();
  auto texture = MakeTexture(DGAlphaFormats, D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC);
  EXPECT_FALSE(texture->KeepContent());
  texture->SetSize(8, 4);
  texture->FillRect(RECT{0, 0, 8, 4}, 0xFF00FF00, TDGFillAlpha::Replace);
  carad.SwitchToWindow(64, 48, {}, D3DPRESENT_INTERVAL_DEFAULT, D3DSWAPEFFECT_DISCARD,
                       D3DMULTISAMPLE_NONE, 0);
  ASSERT_NE(texture->Texture(), nullptr);
  EXPECT_EQ(texture->Width(), 8u);
  EXPECT_EQ(Texel(*texture, 0, 0), 0u);
  EXPECT_FALSE(texture->HasSavedContent());
}

}  // namespace
}  // namespace dg
