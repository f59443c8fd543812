#include "sx/text_writer.h"

#include <algorithm>
#include <cstring>

#include "dg/pixel_format.h"
#include "sx/sjis_walk.h"

namespace sx {
namespace {

namespace gdi = platform::gdi;

gdi::LOGFONTA Describe(const TSXFont& font) {
  gdi::LOGFONTA description{};
  gdi::SetFaceName(description, font.Name);
  description.lfHeight = font.Height;
  description.lfWeight = (font.Style & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
  description.lfItalic = (font.Style & fsItalic) != 0 ? 1 : 0;
  description.lfUnderline = (font.Style & fsUnderline) != 0 ? 1 : 0;
  description.lfStrikeOut = (font.Style & fsStrikeOut) != 0 ? 1 : 0;
  description.lfCharSet = font.Charset;
  return description;
}

// One axis of a glyph box clipped to [0, limit): the first kept pixel of the box and how
// many are kept (0 when the box lies wholly outside).
struct Span {
  std::int32_t start;  // in the surface
  std::int32_t skip;   // box pixels cut off before 0
  std::int32_t length;
};

Span Clip(std::int64_t begin, std::int64_t length, std::int64_t limit) {
  const std::int64_t end = begin + length;
  const std::int64_t from = std::max<std::int64_t>(begin, 0);
  const std::int64_t to = std::min(end, limit);
  if (to <= from) return {0, 0, 0};
  return {static_cast<std::int32_t>(from), static_cast<std::int32_t>(from - begin),
          static_cast<std::int32_t>(to - from)};
}

std::uint32_t ReadPixel(const std::uint8_t* at, std::int32_t bytes) {
  std::uint32_t value = 0;
  for (std::int32_t b = bytes - 1; b >= 0; --b) value = (value << 8) | at[b];
  return value;
}

void WritePixel(std::uint8_t* at, std::int32_t bytes, std::uint32_t value) {
  for (std::int32_t b = 0; b < bytes; ++b, value >>= 8) at[b] = static_cast<std::uint8_t>(value);
}

}  // namespace

TSXTextWriter::TSXTextWriter(dg::TDGCarad& device, std::int32_t cacheDepth, D3DFORMAT pixelFormat)
    : carad_(&device), pixelFormat_(pixelFormat) {
  cache_ = std::make_unique<TSXFontCache>(*this, cacheDepth);
  canvas_.reset(gdi::CreateCompatibleDC(nullptr));
}

TSXTextWriter::~TSXTextWriter() = default;

gdi::HDC TSXTextWriter::CanvasFor(const TSXFont& font) {
  if (!canvasFontMade_ || !(canvasFontDescription_ == font)) {
    const gdi::LOGFONTA description = Describe(font);
    gdi::UniqueFont made(gdi::CreateFontIndirectA(&description));
    gdi::SelectObject(canvas_.get(), made.get());
    canvasFont_ = std::move(made);  // the old font is no longer selected anywhere
    canvasFontDescription_ = font;
    canvasFontMade_ = true;
  }
  return canvas_.get();
}

// An empty text measures 0 x 0, not 0 x the line height.
gdi::SIZE TSXTextWriter::Extent(std::string_view text) {
  gdi::SIZE size{};
  if (text.empty()) return size;
  gdi::GetTextExtentPoint32A(CanvasFor(font_), text.data(), static_cast<int>(text.size()), &size);
  size.cx = std::max<gdi::LONG>(size.cx, 0);
  size.cy = std::max<gdi::LONG>(size.cy, 0);
  return size;
}

std::int32_t TSXTextWriter::TextWidth(std::string_view text) { return Extent(text).cx; }

std::int32_t TSXTextWriter::TextHeight(std::string_view text) { return Extent(text).cy; }

std::unique_ptr<dg::TDGTexture> TSXTextWriter::CreateTextTexture(
    std::string_view text, const std::vector<D3DFORMAT>& formats, const std::string& name) {
  const gdi::SIZE size = Extent(text);
  auto texture = std::make_unique<dg::TDGTexture>(*carad_, formats, 0, D3DPOOL_MANAGED, 1, name);
  texture->SetSize(static_cast<std::uint32_t>(size.cx), static_cast<std::uint32_t>(size.cy));
  DrawText(0, 0, *texture, text);
  return texture;
}

void TSXTextWriter::DrawText(std::int32_t x, std::int32_t y, dg::TDGTexture& texture,
                             std::string_view text) {
  if (std::int64_t{x} >= std::int64_t{texture.Width()} ||
      std::int64_t{y} >= std::int64_t{texture.Height()}) {
    return;
  }
  IDirect3DTexture9* surface = texture.Texture();
  if (surface == nullptr) {
    // The texture's own lock reports a texture never sized or loaded (and halts under
    // halt-on-error); there is nothing to write into.
    D3DLOCKED_RECT unused{0, nullptr};
    texture.LockRect(0, nullptr, unused, 0);
    return;
  }
  D3DSURFACE_DESC desc{};
  if (FAILED(surface->GetLevelDesc(0, &desc))) return;

  std::int64_t penX = x;
  const std::int64_t penY = y;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::uint32_t code = NextShiftJisCode(text, pos);
    const TSXGlyph& glyph = cache_->GetGlyph(code, font_);
    const Span columns = Clip(penX + glyph.originX, glyph.width, desc.Width);
    const Span rows = Clip(penY + glyph.offsetY, glyph.height, desc.Height);
    if (columns.length > 0 && rows.length > 0 && !glyph.pixels.empty()) {
      CopyGlyph(glyph, texture, desc.Format, columns.start, rows.start, columns.skip, rows.skip,
                columns.length, rows.length);
    }
    penX += glyph.advanceX;
    if (penX >= std::int64_t{texture.Width()}) break;
  }
}

void TSXTextWriter::CopyGlyph(const TSXGlyph& glyph, dg::TDGTexture& texture,
                              D3DFORMAT textureFormat, std::int32_t left, std::int32_t top,
                              std::int32_t skipColumns, std::int32_t skipRows, std::int32_t width,
                              std::int32_t height) {
  const RECT rect{left, top, left + width, top + height};
  D3DLOCKED_RECT locked{0, nullptr};
  if (FAILED(texture.LockRect(0, &rect, locked, 0)) || locked.pBits == nullptr) return;

  const std::int32_t glyphBytes = dg::FormatBits(pixelFormat_) / 8;
  const std::int32_t textureBytes = dg::FormatBits(textureFormat) / 8;
  auto* out = static_cast<std::uint8_t*>(locked.pBits);
  const std::uint8_t* in = glyph.pixels.data() + static_cast<std::size_t>(skipRows) * glyph.pitch +
                           static_cast<std::size_t>(skipColumns) * glyphBytes;
  if (textureFormat == pixelFormat_) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * glyphBytes;
    for (std::int32_t row = 0; row < height; ++row) {
      std::memcpy(out, in, rowBytes);
      out += locked.Pitch;
      in += glyph.pitch;
    }
  } else if (textureBytes > 0 && glyphBytes > 0) {
    // A device without the writer's format gave the texture another one: convert each
    // pixel instead of copying bytes of the wrong width.
    for (std::int32_t row = 0; row < height; ++row) {
      for (std::int32_t column = 0; column < width; ++column) {
        const std::uint32_t colour =
            dg::UnpackColor(ReadPixel(in + column * glyphBytes, glyphBytes), pixelFormat_);
        WritePixel(out + column * textureBytes, textureBytes, dg::PackColor(colour, textureFormat));
      }
      out += locked.Pitch;
      in += glyph.pitch;
    }
  }
  texture.UnlockRect();
}

}  // namespace sx
