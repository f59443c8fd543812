// A font realised on one face at one size and style: what a font handle points to. It
// answers the glyph and metric questions of gdi.h for Unicode characters.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/linux/font_catalog.h"
#include "platform/gdi/linux/freetype_face.h"

namespace platform::gdi {

struct FontRequest {
  LONG height = -kDefaultCharacterHeight;  // nonzero; the sign as in LOGFONTA
  LONG weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

class FontInstance {
 public:
  // `face` may be null (no font could be opened): every glyph call then fails and the
  // metrics are zero.
  FontInstance(SharedFace face, const FaceChoice& choice, const FontRequest& request);

  const FaceChoice& choice() const { return choice_; }
  const TEXTMETRICA& TextMetrics() const { return textMetrics_; }

  // GetGlyphOutlineA with GGO_GRAY8_BITMAP for a Unicode character (see gdi.h).
  DWORD GrayGlyph(char32_t character, const MAT2& matrix, GLYPHMETRICS* metrics, DWORD bufferSize,
                  void* buffer);

  // gmCellIncX of the character under the identity matrix; remembered per character.
  SHORT Advance(char32_t character);

 private:
  struct Rendered {
    bool valid = false;
    char32_t character = 0;
    MAT2 matrix{};
    bool failed = false;
    GLYPHMETRICS metrics;
    std::vector<std::uint8_t> rows;  // padded rows of coverage 0..64
  };

  // Loads the glyph into the face's slot with the synthetic styles applied; the styled
  // advance (26.6) is left in the slot.
  bool LoadStyled(char32_t character);
  void Render(char32_t character, const MAT2& matrix, Rendered& out);
  void ComputeTextMetrics(const FontRequest& request);

  FaceChoice choice_;
  FT_F26Dot6 pixelsPerEm_ = 0;  // whole pixels: hinting works on the pixel grid
  FaceSize size_;
  FT_Pos boldStrength_ = 0;  // 26.6; 0 without synthetic bold
  TEXTMETRICA textMetrics_;
  Rendered last_;  // the size query and the copy that follows it render once
  std::unordered_map<char32_t, SHORT> advances_;
};

}  // namespace platform::gdi
