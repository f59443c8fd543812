// Draws Shift-JIS text into textures: each character is rasterised once by the glyph layer
// as a coverage map, kept in the writer's glyph cache as white pixels whose alpha is the
// coverage, and copied into the texture. The vertex colour of the quad that later shows
// the texture gives the text its colour.
//
// Text arguments are CP932 bytes. One call writes one line: no line breaks, no control
// characters, no vertical advance.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dg/carad.h"
#include "dg/texture.h"
#include "platform/d3d9/d3d9.h"
#include "platform/gdi/gdi.h"
#include "sx/font.h"
#include "sx/font_cache.h"

namespace sx {

class TSXTextWriter {
 public:
  // The glyph cache keeps `cacheDepth` glyphs per bucket; glyph pixels are stored in
  // `pixelFormat` (the saver: depth 16, D3DFMT_A8R8G8B8).
  TSXTextWriter(dg::TDGCarad& device, std::int32_t cacheDepth, D3DFORMAT pixelFormat);
  ~TSXTextWriter();
  TSXTextWriter(const TSXTextWriter&) = delete;
  TSXTextWriter& operator=(const TSXTextWriter&) = delete;

  // The font of measuring and drawing; callers change it directly.
  TSXFont& Font() { return font_; }
  const TSXFont& Font() const { return font_; }
  void SetFont(const TSXFont& font) { font_ = font; }

  // Extent of `text` in the current font: the sum of the advances, and the line height
  // (0 x 0 for an empty text).
  std::int32_t TextWidth(std::string_view text);
  std::int32_t TextHeight(std::string_view text);

  // A new managed texture (one level, usage 0, the candidate formats) of the text's
  // extent with the text drawn at (0, 0). The caller owns it.
  std::unique_ptr<dg::TDGTexture> CreateTextTexture(std::string_view text,
                                                    const std::vector<D3DFORMAT>& formats,
                                                    const std::string& name);

  // Writes one line with its top-left at (x, y); negative positions clip. Glyph pixels
  // replace the texture's inside each glyph's box and nothing outside is touched. Stops at
  // the first character whose advance takes the pen to the texture's width or beyond.
  void DrawText(std::int32_t x, std::int32_t y, dg::TDGTexture& texture, std::string_view text);

  TSXFontCache& Cache() { return *cache_; }
  D3DFORMAT PixelFormat() const { return pixelFormat_; }
  dg::TDGCarad& Device() const { return *carad_; }

  // The measuring context with `font` selected.
  platform::gdi::HDC CanvasFor(const TSXFont& font);

 private:
  platform::gdi::SIZE Extent(std::string_view text);
  void CopyGlyph(const TSXGlyph& glyph, dg::TDGTexture& texture, D3DFORMAT textureFormat,
                 std::int32_t left, std::int32_t top, std::int32_t skipColumns,
                 std::int32_t skipRows, std::int32_t width, std::int32_t height);

  dg::TDGCarad* carad_;  // borrowed
  D3DFORMAT pixelFormat_;
  TSXFont font_;
  std::unique_ptr<TSXFontCache> cache_;
  // The measuring canvas and the font selected into it, made again when a different font
  // is asked for. The context goes before its font.
  platform::gdi::UniqueFont canvasFont_;
  platform::gdi::UniqueDC canvas_;
  TSXFont canvasFontDescription_;
  bool canvasFontMade_ = false;
};

}  // namespace sx
