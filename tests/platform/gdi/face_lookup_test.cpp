// Which face a name selects: the exact family names, the Windows names of the alias file,
// and the logged fallback for names that give no Japanese face.
#include <algorithm>
#include <limits>

#include "platform/gdi/gdi_fixture.h"

namespace platform::gdi::testing {
namespace {

using FaceLookupTest = GdiTest;

FontFaceInfo InfoOf(HFONT font) {
  const std::optional<FontFaceInfo> info = GetFontFaceInfo(font);
  EXPECT_TRUE(info.has_value());
  return info.value_or(FontFaceInfo{});
}

TEST_F(FaceLookupTest, EveryFamilyNameOfAFaceSelectsThatFace) {
  const struct {
    const char* latin;
    const char* japanese;
  } kNames[] = {
      {"IPAPMincho", "IPA P明朝"},
      {"IPAPGothic", "IPA Pゴシック"},
      {"IPAMincho", "IPA明朝"},
      {"IPAGothic", "IPAゴシック"},
  };
  for (const auto& names : kNames) {
    SCOPED_TRACE(names.latin);
    ContextWith(names.latin, -21);
    const FontFaceInfo latin = InfoOf(LastFont());
    ContextWith(names.japanese, -21);
    const FontFaceInfo japanese = InfoOf(LastFont());
    EXPECT_EQ(latin.family, names.latin);
    EXPECT_EQ(japanese.family, names.japanese);
    EXPECT_EQ(latin.file, japanese.file);
    EXPECT_EQ(latin.index, japanese.index);
    EXPECT_TRUE(latin.coversJapanese);
  }
  EXPECT_TRUE(log_.empty());
}

TEST_F(FaceLookupTest, WindowsFaceNamesResolveThroughTheAliasFile) {
  const struct {
    const char* windows;
    const char* installed;
  } kAliases[] = {
      {"ＭＳ Ｐ明朝", "IPA P明朝"},
      {"MS PMincho", "IPA P明朝"},
      {"ＭＳ Ｐゴシック", "IPA Pゴシック"},
      {"MS PGothic", "IPA Pゴシック"},
      {"ＭＳ 明朝", "IPA明朝"},
      {"MS Mincho", "IPA明朝"},
      {"ＭＳ ゴシック", "IPAゴシック"},
      {"MS Gothic", "IPAゴシック"},
  };
  for (const auto& alias : kAliases) {
    SCOPED_TRACE(alias.windows);
    ContextWith(alias.windows, -21, FW_BOLD);
    const FontFaceInfo info = InfoOf(LastFont());
    EXPECT_EQ(info.family, alias.installed);
    EXPECT_TRUE(info.syntheticBold);  // the IPA faces have no bold of their own
    EXPECT_TRUE(IsInstalledScreenFont(alias.windows));
  }
  EXPECT_TRUE(log_.empty());
}

TEST_F(FaceLookupTest, NamesThatGiveNoJapaneseFaceAreLoggedAndReplaced) {
  const struct {
    const char* name;
    const char* logged;
  } kCases[] = {
      {"Velmorandi Nonexistent Sans", "is not installed"},
      {"ipapmincho", "is not installed"},  // the match is case-sensitive
      {"ms pmincho", "is not installed"},  // aliases too, though fontconfig would ignore case
      {"IPA  P明朝", "is not installed"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    ContextWith(c.name, -21);
    EXPECT_EQ(InfoOf(LastFont()).family, std::string(kFallbackFaceName));
    EXPECT_TRUE(LogMentions(c.name));
    EXPECT_TRUE(LogMentions(c.logged));
    EXPECT_TRUE(LogMentions(std::string(kFallbackFaceName)));
    EXPECT_FALSE(IsInstalledScreenFont(c.name));
  }
}

TEST_F(FaceLookupTest, AnInstalledLatinFaceIsReplacedNotUsed) {
  const std::vector<std::string> installed = InstalledScreenFonts();
  if (std::find(installed.begin(), installed.end(), "DejaVu Sans") == installed.end()) {
    GTEST_SKIP() << "DejaVu Sans is not installed";
  }
  ContextWith("DejaVu Sans", -21);
  EXPECT_EQ(InfoOf(LastFont()).family, std::string(kFallbackFaceName));
  EXPECT_TRUE(LogMentions("has no Japanese characters"));
}

TEST_F(FaceLookupTest, InstalledListHoldsEveryFamilyNameAndTheResolvingAliases) {
  const std::vector<std::string> installed = InstalledScreenFonts();
  EXPECT_TRUE(std::is_sorted(installed.begin(), installed.end()));
  EXPECT_EQ(std::adjacent_find(installed.begin(), installed.end()), installed.end());
  for (const char* name : {"IPAPMincho", "IPA P明朝", "IPAゴシック", "ＭＳ Ｐ明朝", "MS Gothic"}) {
    EXPECT_TRUE(std::binary_search(installed.begin(), installed.end(), name)) << name;
  }
  EXPECT_FALSE(IsInstalledScreenFont(""));
}

TEST_F(FaceLookupTest, WithoutTheAliasFileTheWindowsNamesAreNotInstalled) {
  SetFontAliasFile("/nonexistent/fonts.conf");
  EXPECT_FALSE(IsInstalledScreenFont("ＭＳ Ｐ明朝"));
  EXPECT_TRUE(LogMentions("/nonexistent/fonts.conf"));
  ContextWith("ＭＳ Ｐ明朝", -21);
  EXPECT_EQ(InfoOf(LastFont()).family, std::string(kFallbackFaceName));
  EXPECT_TRUE(IsInstalledScreenFont("IPA P明朝"));
}

TEST_F(FaceLookupTest, StockAndEmptyNamesUseTheFallbackFaceSilently) {
  ContextWith("", 0);
  EXPECT_EQ(InfoOf(LastFont()).family, std::string(kFallbackFaceName));
  EXPECT_TRUE(log_.empty());
}

TEST_F(FaceLookupTest, HandlesAreCheckedAndFontsOutliveTheirHandleWhileSelected) {
  HDC dc = CreateCompatibleDC(nullptr);
  LOGFONTA description;
  description.lfFaceName = "IPAPMincho";
  description.lfHeight = -21;
  HFONT font = CreateFontIndirectA(&description);
  HFONT stock = SelectObject(dc, font);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(dc, font), font);
  EXPECT_EQ(DeleteObject(font), 1);
  EXPECT_EQ(DeleteObject(font), 0);
  EXPECT_EQ(SelectObject(dc, font), nullptr);  // a dead handle changes nothing

  GLYPHMETRICS metrics;
  const MAT2 identity = IdentityMat2();
  EXPECT_NE(GetGlyphOutlineA(dc, 0x8E6C, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity),
            GDI_ERROR);
  EXPECT_EQ(metrics.gmCellIncX, 21);

  EXPECT_EQ(SelectObject(dc, stock), font);  // the old handle value, as Windows returns it
  EXPECT_EQ(DeleteObject(stock), 1);         // the stock font is never freed
  EXPECT_NE(GetGlyphOutlineA(dc, 0x8E6C, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity),
            GDI_ERROR);
  EXPECT_EQ(DeleteDC(dc), 1);
  EXPECT_EQ(DeleteDC(dc), 0);
  EXPECT_EQ(GetGlyphOutlineA(dc, 0x8E6C, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity),
            GDI_ERROR);
  TEXTMETRICA tm;
  EXPECT_EQ(GetTextMetricsA(dc, &tm), 0);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST_F(FaceLookupTest, AbsurdHeightsAreClampedAndLogged) {
  for (LONG height :
       {LONG{-100000}, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()}) {
    SCOPED_TRACE(height);
    log_.clear();
    HDC dc = ContextWith("ＭＳ Ｐ明朝", height);
    EXPECT_TRUE(LogMentions("limited to 1024 pixels"));
    const TEXTMETRICA tm = MetricsOf(dc);
    EXPECT_GE(tm.tmHeight, kMaxFontHeight);
    EXPECT_LE(tm.tmHeight, kMaxFontHeight * 5 / 4);
  }
}

}  // namespace
}  // namespace platform::gdi::testing
