// One rasterised character: its coverage as white pixels in the writer's pixel format,
// and where it sits relative to the pen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sx/font.h"

namespace sx {

struct TSXGlyph {
  // `height` rows of `pitch` bytes; empty for a character without a black box (a space)
  // and for one the glyph layer could not make.
  std::vector<std::uint8_t> pixels;
  std::uint32_t code = 0;  // one byte, or lead byte x 256 + trail byte
  std::string fontName;
  std::int32_t fontHeight = 0;
  TSXFontStyles fontStyle = 0;
  std::int32_t width = 0;  // black box, pixels
  std::int32_t height = 0;
  std::int32_t pitch = 0;    // bytes per pixel x width, raised to a multiple of 4
  std::int32_t originX = 0;  // black-box left relative to the pen
  std::int32_t offsetY = 0;  // black-box top relative to the top of the line
  std::int32_t advanceX = 0;

  bool Matches(std::uint32_t c, const TSXFont& font) const {
    return code == c && fontHeight == font.Height && fontStyle == font.Style &&
           fontName == font.Name;
  }
};

}  // namespace sx
