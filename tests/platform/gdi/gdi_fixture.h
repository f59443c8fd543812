// Shared set-up of the glyph layer tests: the alias file of the build's data folder and a
// log sink that keeps what the layer reports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/log/log.h"

namespace platform::gdi::testing {

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
    LOGFONTA description;
    description.lfFaceName = face;
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
