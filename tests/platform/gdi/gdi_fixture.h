// Shared set-up of the glyph layer tests: the alias file of the build's data folder and a
// log sink that keeps what the layer reports.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/log/log.h"

namespace platform::gdi::testing {

inline constexpr UINT kShi = 0x8E6C;   // 四
inline constexpr UINT kA = 0x82A0;     // あ
inline constexpr UINT kKan = 0x8ABF;   // 漢
inline constexpr UINT kIchi = 0x88EA;  // 一
inline constexpr UINT kHalfA = 0xB1;   // ｱ, half-width katakana
inline constexpr UINT kIdeographicSpace = 0x8140;

// A glyph of GGO_GRAY8_BITMAP as the text writers ask for it: the size query, then the copy,
// which must agree with it.
struct Glyph {
  DWORD result = 0;
  GLYPHMETRICS metrics{};
  std::vector<std::uint8_t> rows;
  UINT pitch() const { return (metrics.gmBlackBoxX + 3) & ~3u; }
  UINT At(UINT x, UINT y) const { return rows[y * pitch() + x]; }
  long Ink() const { return std::accumulate(rows.begin(), rows.end(), 0L); }
};

inline Glyph GlyphOf(HDC dc, UINT code) {
  Glyph g;
  const MAT2 identity = IdentityMat2();
  g.result = GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &g.metrics, 0, nullptr, &identity);
  if (g.result == GDI_ERROR || g.result == 0) return g;
  g.rows.assign(g.result, 0);
  GLYPHMETRICS again;
  EXPECT_EQ(
      GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &again, g.result, g.rows.data(), &identity),
      g.result);
  EXPECT_EQ(std::memcmp(&again, &g.metrics, sizeof again), 0);
  return g;
}

inline TEXTMETRICA MetricsOf(HDC dc) {
  TEXTMETRICA tm{};
  EXPECT_EQ(GetTextMetricsA(dc, &tm), 1);
  return tm;
}

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFontAliasFile(VM_TEST_FONT_ALIAS_FILE);
    platform::SetLogSink([this](std::string_view line) { log_.emplace_back(line); });
  }
  void TearDown() override { platform::SetLogSink({}); }

  // A context with a font of the description selected; both freed with the test.
  HDC ContextWith(const std::string& face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0,
                  BYTE underline = 0, BYTE strikeOut = 0) {
    LOGFONTA description{};
    SetFaceName(description, face);
    description.lfCharSet = SHIFTJIS_CHARSET;
    description.lfHeight = height;
    description.lfWeight = weight;
    description.lfItalic = italic;
    description.lfUnderline = underline;
    description.lfStrikeOut = strikeOut;
    fonts_.emplace_back(CreateFontIndirectA(&description));
    dcs_.emplace_back(CreateCompatibleDC(nullptr));
    SelectObject(dcs_.back().get(), fonts_.back().get());
    return dcs_.back().get();
  }
  HFONT LastFont() const { return fonts_.back().get(); }

  bool LogMentions(const std::string& text) const {
    for (const std::string& line : log_) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  std::vector<std::string> log_;

 private:
  std::vector<UniqueFont> fonts_;  // declared first: contexts go before their fonts
  std::vector<UniqueDC> dcs_;
};

}  // namespace platform::gdi::testing
