// Text panels and pictures of the saver screen: sizes of the panel textures, the colour
// keys of the archive pictures, and wallpapers that cannot be shown.
#include <gtest/gtest.h>

#include "dg/debug_log.h"
#include "jpeg/jpeg.h"
#include "platform/text/text.h"
#include "presentation/saver_fixture.h"
#include "presentation/wallpaper.h"
#include "support/log_text.h"

namespace {

using namespace saver_test;

std::vector<std::uint32_t> Pixels(dg::TDGTexture& texture) {
  std::vector<std::uint32_t> out;
  const RECT rect{0, 0, static_cast<LONG>(texture.Width()), static_cast<LONG>(texture.Height())};
  D3DLOCKED_RECT locked{};
  if (FAILED(texture.LockRect(0, &rect, locked, D3DLOCK_READONLY))) return out;
  for (LONG y = 0; y < rect.bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch);
    out.insert(out.end(), row, row + rect.right);
  }
  texture.UnlockRect();
  return out;
}

TEST(TextPanels, MusicCaptionOfThirtyTwoCharactersIsWholeThirtyThreeIsShortened) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 1);
  presentation::SaverScreen& screen = saver.Screen();
  const std::string whole = "abcdefghijklmnopqrstuvwxyz012345";
  screen.WriteMusicCaption(whole);
  EXPECT_EQ(screen.MusicCaptionTexture().Width(),
            static_cast<std::uint32_t>(screen.PanelWriter().TextWidth(whole)));
  const std::string longer = whole + "6";
  screen.WriteMusicCaption(longer);
  const std::string shortened = "abcdefghij...nopqrstuvwxyz0123456";
  EXPECT_EQ(screen.MusicCaptionTexture().Width(),
            static_cast<std::uint32_t>(screen.PanelWriter().TextWidth(shortened)));
  EXPECT_EQ(screen.MusicBackground().Width(), screen.MusicCaptionTexture().Width());
  EXPECT_EQ(screen.MusicBackground().Height(), screen.MusicCaptionTexture().Height());
}

TEST(TextPanels, AShorterMeaningShrinksTextAndBackgroundAnEmptyOneChangesNothing) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 2);
  presentation::SaverScreen& screen = saver.Screen();
  const std::u16string longer = platform::Utf8ToUtf16("いくつもの長い説明が続く意味の行");
  const std::u16string shorter = platform::Utf8ToUtf16("短い意味");
  screen.WriteMeaningLine(game::MeaningLine::kFirst, longer);
  const std::uint32_t longWidth = screen.MeaningTexture(0).Width();
  screen.WriteMeaningLine(game::MeaningLine::kFirst, shorter);
  const auto expected =
      static_cast<std::uint32_t>(screen.PanelWriter().TextWidth(platform::Utf16ToAnsi(shorter)));
  EXPECT_LT(expected, longWidth);
  EXPECT_EQ(screen.MeaningTexture(0).Width(), expected);
  EXPECT_EQ(screen.MeaningBackground(0).Width(), expected);
  EXPECT_EQ(screen.MeaningBackground(0).Height(), screen.MeaningTexture(0).Height());
  // The background is translucent white all over.
  for (const std::uint32_t p : Pixels(screen.MeaningBackground(0))) ASSERT_EQ(p, 0x60FFFFFFu);

  const std::vector<std::uint32_t> before = Pixels(screen.MeaningTexture(0));
  screen.WriteMeaningLine(game::MeaningLine::kFirst, u"");
  EXPECT_EQ(screen.MeaningTexture(0).Width(), expected);
  EXPECT_EQ(Pixels(screen.MeaningTexture(0)), before);
  // The reading's background is green.
  screen.WriteReadingText(platform::Utf8ToUtf16("よみ"));
  for (const std::uint32_t p : Pixels(screen.ReadingBackground())) ASSERT_EQ(p, 0x6000FF00u);
}

TEST(TextPanels, CellTexturesKeepTheirSize) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 3);
  presentation::SaverScreen& screen = saver.Screen();
  const std::uint32_t w = screen.CellTexture(0, 0).Width();
  const std::uint32_t h = screen.CellTexture(0, 0).Height();
  screen.WriteCellText(0, 0, platform::Utf8ToUtf16("一"));
  EXPECT_EQ(screen.CellTexture(0, 0).Width(), w);
  EXPECT_EQ(screen.CellTexture(0, 0).Height(), h);
}

TEST(Pictures, BlackIsTransparentAndTheWalkerKeysGreenInstead) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 4);
  presentation::SaverScreen& screen = saver.Screen();
  int transparentBlack = 0;
  for (const std::uint32_t p : Pixels(screen.LeafTexture())) {
    if ((p & 0xFFFFFF) == 0) {
      ASSERT_EQ(p >> 24, 0u);
      ++transparentBlack;
    } else {
      ASSERT_EQ(p >> 24, 255u);
    }
  }
  EXPECT_GT(transparentBlack, 0);
  for (int k = 0; k < 2; ++k) {
    int opaqueBlack = 0;
    int transparentGreen = 0;
    for (const std::uint32_t p : Pixels(screen.WalkerTexture(k))) {
      if ((p & 0xFFFFFF) == 0x00FF00) {
        ASSERT_EQ(p >> 24, 0u);
        ++transparentGreen;
      } else {
        ASSERT_EQ(p >> 24, 255u);
        if ((p & 0xFFFFFF) == 0) ++opaqueBlack;
      }
    }
    EXPECT_GT(opaqueBlack, 0) << k;
    EXPECT_GT(transparentGreen, 0) << k;
  }
}

TEST(Wallpaper, JpegIsToldByTheExactEnding) {
  const struct {
    const char* name;
    bool jpeg;
  } cases[] = {{"a.jpg", true},  {"a.JPG", true},  {"a.jpeg", true},
               {"a.JPEG", true}, {"a.Jpg", false}, {"a.Jpeg", false},
               {"a.bmp", false}, {"jpg", false},   {"a.jpg.bmp", false}};
  for (const auto& c : cases) EXPECT_EQ(presentation::IsJpegName(c.name), c.jpeg) << c.name;
}

// A bitmap file: `bits` per pixel, with palette for 8 bits and fewer.
std::string MakeBmp(std::int32_t width, std::int32_t height, std::uint16_t bits,
                    std::uint32_t compression = 0, std::size_t cut = 0) {
  const std::uint32_t paletteEntries = bits <= 8 ? (1u << bits) : 0;
  const std::uint32_t stride = ((static_cast<std::uint32_t>(std::abs(width)) * bits + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(std::abs(height));
  const std::uint32_t offset = 54 + paletteEntries * 4;
  std::string b;
  auto u16 = [&](std::uint32_t v) {
    b.push_back(static_cast<char>(v & 255));
    b.push_back(static_cast<char>(v >> 8 & 255));
  };
  auto u32 = [&](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  b += "BM";
  u32(offset + imageSize);
  u32(0);
  u32(offset);
  u32(40);
  u32(static_cast<std::uint32_t>(width));
  u32(static_cast<std::uint32_t>(height));
  u16(1);
  u16(bits);
  u32(compression);
  u32(imageSize);
  u32(2835);
  u32(2835);
  u32(paletteEntries);
  u32(0);
  for (std::uint32_t i = 0; i < paletteEntries; ++i) u32(i * 0x010101u);
  b.append(imageSize, '\x40');
  b.resize(b.size() - std::min(cut, b.size()));
  return b;
}

std::string MakeJpeg(int w, int h) {
  jpeg::Image image;
  image.width = w;
  image.height = h;
  image.pixels.assign(static_cast<std::size_t>(w * h), 0xFF336699u);
  const auto bytes = jpeg::EncodeJpeg(image, 90);
  return std::string(bytes.begin(), bytes.end());
}

TEST(Wallpaper, FilesThatCannotBeShownAreRefusedBeforeTheTextureLayer) {
  DataCopy data;
  const struct {
    const char* name;
    std::string bytes;
    bool accepted;
  } cases[] = {
      {"ok24.bmp", MakeBmp(64, 48, 24), true},
      {"ok8.bmp", MakeBmp(64, 48, 8), true},
      {"ok32.bmp", MakeBmp(64, 48, 32), true},
      {"one.bmp", MakeBmp(64, 48, 1), false},
      {"four.bmp", MakeBmp(64, 48, 4), false},
      {"rle.bmp", MakeBmp(64, 48, 8, 1), false},
      {"fields.bmp", MakeBmp(64, 48, 32, 3), false},
      {"topdown.bmp", MakeBmp(64, -48, 24), false},
      {"absurd.bmp", MakeBmp(100000, 2, 24, 0, 100000 * 3 * 2), false},
      {"cut.bmp", MakeBmp(64, 48, 24, 0, 100), false},
      {"empty.bmp", "", false},
      {"text.bmp", "hello, not a picture at all, but long enough to hold two headers....", false},
      {"ok.jpg", MakeJpeg(32, 24), true},
      {"ok.JPEG", MakeJpeg(32, 24), true},
      {"corrupt.jpg", MakeJpeg(32, 24).substr(0, 40) + std::string(200, '\x13'), false},
      {"jpeg.Jpg", MakeJpeg(32, 24), false},  // a JPEG under a name that means bitmap
  };
  for (const auto& c : cases) {
    const std::string path = data.Write(c.name, c.bytes);
    const presentation::CheckedWallpaper checked = presentation::CheckWallpaper(path);
    EXPECT_EQ(!std::holds_alternative<presentation::Refusal>(checked), c.accepted) << c.name;
  }
  EXPECT_TRUE(std::holds_alternative<presentation::Refusal>(
      presentation::CheckWallpaper(data.Dir() + "none.jpg")));
}

int CountLines(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++n;
  return n;
}

TEST(Wallpaper, ABadWallpaperIsLoggedAndTheNextThatLoadsTakesItsPlace) {
  DataCopy data;
  const std::string corrupt =
      data.Write("corrupt.jpg", MakeJpeg(32, 24).substr(0, 40) + std::string(300, '\x7f'));
  const std::string four = data.Write("four.bmp", MakeBmp(40, 30, 4));
  const std::string deleted = data.Write("deleted.jpg", MakeJpeg(32, 24));
  const std::string good = data.Write("good.JPEG", MakeJpeg(48, 36));
  data.Settings("[Picture]\r\nAdd=1\r\nCount=4\r\n3=" + corrupt + "\r\n4=" + four +
                "\r\n5=" + deleted + "\r\n6=" + good + "\r\n");
  const std::string log = data.Dir() + "debug.txt";
  dg::SetDebugLogPath(log);
  shell::HeadlessSaver saver(data.Dir(), 5);
  ASSERT_EQ(saver.Game().Settings().wallpaperFiles.size(), 7u);
  std::filesystem::remove(deleted);
  presentation::SaverScreen& screen = saver.Screen();

  const std::size_t before = testing_support::LogText(log).size();
  screen.LoadWallpaper(corrupt);
  EXPECT_EQ(screen.CurrentWallpaper(), good);
  EXPECT_EQ(screen.WallpaperTexture().Width(), 48u);
  std::string written = testing_support::LogText(log).substr(before);
  EXPECT_EQ(CountLines(written, corrupt), 1);
  EXPECT_EQ(CountLines(written, four), 1);
  EXPECT_EQ(CountLines(written, deleted), 1);
  // Our line ends at the path; the checker's reason follows on a line of its own.
  EXPECT_NE(written.find("次の壁紙に替えます: " + corrupt + "\r\n"), std::string::npos) << written;

  // Past the end of the list it goes round to the first built-in wallpaper.
  screen.LoadWallpaper(deleted);
  EXPECT_EQ(screen.CurrentWallpaper(), good);
  std::filesystem::remove(good);
  screen.LoadWallpaper(four);
  EXPECT_EQ(screen.CurrentWallpaper(), data.Dir() + "Kabe_0.jpg");

  // With nothing left to show, the screen behind the board is black and the saver goes on.
  for (int i = 0; i < 3; ++i)
    std::filesystem::remove(data.Dir() + "Kabe_" + std::to_string(i) + ".jpg");
  screen.LoadWallpaper(data.Dir() + "Kabe_1.jpg");
  EXPECT_EQ(screen.CurrentWallpaper(), "");
  saver.RunTicks(2);
  const shell::Frame frame = saver.LastFrame();
  EXPECT_EQ(frame.At(3, 477), 0u);
  EXPECT_EQ(frame.At(636, 300), 0u);
  dg::SetDebugLogPath("");
}

}  // namespace
