#include "sx/font_cache.h"

#include <algorithm>

#include "dg/pixel_format.h"
#include "platform/gdi/gdi.h"
#include "sx/text_writer.h"

namespace sx {
namespace {

namespace gdi = platform::gdi;

std::int32_t RoundUpTo4(std::int64_t bytes) {
  return static_cast<std::int32_t>((bytes + 3) & ~std::int64_t{3});
}

// Coverage 0..64 as alpha: 64 is opaque, below it four steps per level.
std::uint8_t CoverageAlpha(std::uint8_t coverage) {
  return coverage >= 64 ? 255 : static_cast<std::uint8_t>(coverage * 4);
}

}  // namespace

TSXFontCache::TSXFontCache(TSXTextWriter& writer, std::int32_t depth) : writer_(writer) {
  Reset(depth);
  antiAliasing_ = true;
}

void TSXFontCache::Reset(std::int32_t depth) {
  depth_ = std::max<std::int32_t>(depth, 1);
  for (Bucket& bucket : buckets_) {
    // Slots are made as glyphs arrive: most buckets of a saver's text never fill, and an
    // empty slot costs as much as a small glyph.
    std::vector<TSXGlyph>().swap(bucket.slots);
    bucket.used = 0;
  }
}

const TSXGlyph* TSXFontCache::Find(std::uint32_t code, const TSXFont& font) const {
  const Bucket& bucket = buckets_[code & 0xFF];
  for (std::int32_t i = 0; i < bucket.used; ++i) {
    if (bucket.slots[static_cast<std::size_t>(i)].Matches(code, font)) {
      return &bucket.slots[static_cast<std::size_t>(i)];
    }
  }
  return nullptr;
}

const TSXGlyph& TSXFontCache::GetGlyph(std::uint32_t code, const TSXFont& font) {
  Bucket& bucket = buckets_[code & 0xFF];
  for (std::int32_t i = 0; i < bucket.used; ++i) {
    if (bucket.slots[static_cast<std::size_t>(i)].Matches(code, font)) {
      // Slot i to the front; the newer ones move back by one.
      const auto first = bucket.slots.begin();
      std::rotate(first, first + i, first + i + 1);
      return bucket.slots.front();
    }
  }
  // Full: the least recently used (last) slot is reused; else the first free one.
  if (bucket.used < depth_) bucket.slots.emplace_back();
  const std::int32_t taken = bucket.used == depth_ ? depth_ - 1 : bucket.used++;
  const auto first = bucket.slots.begin();
  std::rotate(first, first + taken, first + taken + 1);
  Rasterise(bucket.slots.front(), code, font);
  return bucket.slots.front();
}

void TSXFontCache::Rasterise(TSXGlyph& glyph, std::uint32_t code, const TSXFont& font) {
  ++rasterised_;
  glyph.pixels.clear();
  glyph.code = code;
  glyph.fontName = font.Name;
  glyph.fontHeight = font.Height;
  glyph.fontStyle = font.Style;

  gdi::HDC dc = writer_.CanvasFor(font);
  const gdi::MAT2 matrix = gdi::IdentityMat2();
  gdi::GLYPHMETRICS metrics{};
  gdi::DWORD size =
      gdi::GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &matrix);
  gdi::TEXTMETRICA text{};
  gdi::GetTextMetricsA(dc, &text);
  // A failed query is an empty glyph; its metrics come back zeroed.
  if (size == GDI_ERROR) {
    size = 0;
    metrics = gdi::GLYPHMETRICS{};
  }

  const std::int32_t bytesPerPixel = dg::FormatBits(writer_.PixelFormat()) / 8;
  glyph.width = static_cast<std::int32_t>(metrics.gmBlackBoxX);
  glyph.height = static_cast<std::int32_t>(metrics.gmBlackBoxY);
  glyph.pitch = RoundUpTo4(std::int64_t{bytesPerPixel} * glyph.width);
  glyph.originX = metrics.gmptGlyphOrigin.x;
  glyph.offsetY = text.tmAscent - metrics.gmptGlyphOrigin.y;
  glyph.advanceX = metrics.gmCellIncX;
  if (size == 0 || glyph.width <= 0 || glyph.height <= 0) return;

  // The grey map: rows of width coverage bytes, each padded to a multiple of 4.
  const std::size_t greyPitch = static_cast<std::size_t>(RoundUpTo4(glyph.width));
  const std::size_t needed = greyPitch * static_cast<std::size_t>(glyph.height);
  if (size < needed) return;
  std::vector<std::uint8_t> grey(size);
  if (gdi::GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &metrics, size, grey.data(), &matrix) ==
      GDI_ERROR) {
    return;
  }

  glyph.pixels.assign(static_cast<std::size_t>(glyph.pitch) * glyph.height, 0);
  for (std::int32_t row = 0; row < glyph.height; ++row) {
    const std::uint8_t* in = grey.data() + greyPitch * static_cast<std::size_t>(row);
    std::uint8_t* out = glyph.pixels.data() + static_cast<std::size_t>(glyph.pitch) * row;
    for (std::int32_t column = 0; column < glyph.width; ++column) {
      std::uint32_t pixel =
          dg::PackARGB(CoverageAlpha(in[column]), 255, 255, 255, writer_.PixelFormat());
      for (std::int32_t b = 0; b < bytesPerPixel; ++b, pixel >>= 8) {
        *out++ = static_cast<std::uint8_t>(pixel);
      }
    }
  }
}

}  // namespace sx
