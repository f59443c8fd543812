// The face names of the saver's settings on every system: the Windows names draw with the
// IPA faces (through the alias file on Linux, the system's font substitutes on Windows), and
// the installed-font list holds them.
#include <algorithm>

#include "platform/gdi/gdi_fixture.h"

namespace platform::gdi::testing {
namespace {

using FaceNameTest = GdiTest;

TEST_F(FaceNameTest, WindowsFaceNamesDrawTheGlyphsOfTheirIpaFace) {
  const struct {
    const char* windows;
    const char* ipa;
  } kNames[] = {
      {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PMincho", "IPAPMincho"},
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
      {"ＭＳ 明朝", "IPAMincho"},        {"MS Mincho", "IPAMincho"},
      {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},
  };
  const std::vector<std::string> installed = InstalledScreenFonts();
  for (const auto& name : kNames) {
    SCOPED_TRACE(name.windows);
    const Glyph windows = GlyphOf(ContextWith(name.windows, -21), kShi);
    const Glyph ipa = GlyphOf(ContextWith(name.ipa, -21), kShi);
    ASSERT_NE(windows.result, GDI_ERROR);
    EXPECT_GT(windows.Ink(), 0);
    EXPECT_TRUE(windows.rows == ipa.rows) << "the bitmaps differ";
    EXPECT_EQ(windows.metrics.gmCellIncX, ipa.metrics.gmCellIncX);
    EXPECT_TRUE(IsInstalledScreenFont(name.windows));
    EXPECT_TRUE(IsJapaneseScreenFont(name.windows));
    EXPECT_TRUE(std::find(installed.begin(), installed.end(), name.windows) != installed.end());
  }
  // A substitute that drew every name with one face would pass the loop above.
  EXPECT_NE(GlyphOf(ContextWith("ＭＳ Ｐ明朝", -21), kShi).rows,
            GlyphOf(ContextWith("ＭＳ Ｐゴシック", -21), kShi).rows);
  EXPECT_FALSE(IsInstalledScreenFont("ｍｓ ｐ明朝"));
  EXPECT_FALSE(IsJapaneseScreenFont("ｍｓ ｐ明朝"));
}

TEST(CharacterHeightFromPoints, ConvertsAtNinetySixDotsPerInch) {
  const struct {
    LONG points;
    LONG pixels;
  } kSizes[] = {{14, 19}, {28, 37}, {9, 12}, {12, 16}, {10, 13}, {0, 0}, {-14, -19}};
  for (const auto& s : kSizes) EXPECT_EQ(CharacterHeightFromPoints(s.points), s.pixels) << s.points;
}

}  // namespace
}  // namespace platform::gdi::testing
