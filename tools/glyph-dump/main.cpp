// glyph-dump: every character the saver draws from its built-in idioms, in the fonts of its
// three text writers, as this system's glyph layer makes it: one line a glyph,
//   FONT CODE width height originX originY advance ascent COVERAGE
// with COVERAGE the unpadded rows of 0..64 values as two hex digits each. The idioms' own
// characters are dumped in the board and answer fonts, those of readings and meanings in
// the panel font. compare_glyphs.py sets two dumps side by side.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "platform/gdi/gdi.h"
#include "platform/text/text.h"

namespace {

namespace gdi = platform::gdi;

struct WriterFont {
  const char* name;
  gdi::LONG height;
};

std::set<unsigned> CodesOf(const std::u16string& text) {
  const std::string ansi = platform::Utf16ToAnsi(text);
  std::set<unsigned> codes;
  for (std::size_t i = 0; i < ansi.size();) {
    const auto byte = static_cast<unsigned char>(ansi[i]);
    if (platform::IsLeadByte(byte) && i + 1 < ansi.size()) {
      codes.insert(byte * 256u + static_cast<unsigned char>(ansi[i + 1]));
      i += 2;
    } else {
      codes.insert(byte);
      i += 1;
    }
  }
  return codes;
}

void Dump(const WriterFont& font, const std::set<unsigned>& codes) {
  gdi::LOGFONTA description{};
  gdi::SetFaceName(description, "ＭＳ Ｐ明朝");
  description.lfHeight = font.height;
  description.lfWeight = FW_BOLD;
  description.lfCharSet = SHIFTJIS_CHARSET;
  const gdi::UniqueDC dc(gdi::CreateCompatibleDC(nullptr));
  const gdi::UniqueFont handle(gdi::CreateFontIndirectA(&description));
  gdi::SelectObject(dc.get(), handle.get());
  gdi::TEXTMETRICA text{};
  gdi::GetTextMetricsA(dc.get(), &text);
  const gdi::MAT2 identity = gdi::IdentityMat2();
  for (const unsigned code : codes) {
    gdi::GLYPHMETRICS metrics{};
    const gdi::DWORD size =
        gdi::GetGlyphOutlineA(dc.get(), code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) continue;
    std::vector<unsigned char> grey(size);
    if (size > 0) {
      gdi::GetGlyphOutlineA(dc.get(), code, GGO_GRAY8_BITMAP, &metrics, size, grey.data(),
                            &identity);
    }
    std::printf("%s %04X %u %u %ld %ld %d %ld ", font.name, code, metrics.gmBlackBoxX,
                metrics.gmBlackBoxY, static_cast<long>(metrics.gmptGlyphOrigin.x),
                static_cast<long>(metrics.gmptGlyphOrigin.y), metrics.gmCellIncX,
                static_cast<long>(text.tmAscent));
    const unsigned pitch = (metrics.gmBlackBoxX + 3) & ~3u;
    for (unsigned y = 0; size > 0 && y < metrics.gmBlackBoxY; ++y) {
      for (unsigned x = 0; x < metrics.gmBlackBoxX; ++x) std::printf("%02X", grey[y * pitch + x]);
    }
    std::printf("\n");
  }
}

}  // namespace

int main() {
  std::set<unsigned> idiomCodes;
  std::set<unsigned> panelCodes;
  for (const dictionary::IdiomEntry& entry : dictionary::BuiltinIdioms()) {
    idiomCodes.merge(CodesOf(entry.idiom));
    panelCodes.merge(CodesOf(entry.reading));
    panelCodes.merge(CodesOf(entry.meaning));
  }
  Dump({"cell", -21}, idiomCodes);
  Dump({"answer", -gdi::CharacterHeightFromPoints(28)}, idiomCodes);
  Dump({"panel", -gdi::CharacterHeightFromPoints(14)}, panelCodes);
  return 0;
}
