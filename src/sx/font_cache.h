// Rasterised glyphs of one writer, kept so that a character drawn again in the same font
// costs only a copy.
//
// 256 buckets chosen by the low byte of the character code, each holding at most `depth`
// glyphs in most-recently-used order (slot 0 newest): a hit moves its glyph to the front,
// a miss in a full bucket reuses the least recently used slot. A glyph is keyed by code,
// face name, height and style, so a change of the writer's font needs no flush.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sx/font.h"
#include "sx/glyph.h"

namespace sx {

class TSXTextWriter;

class TSXFontCache {
 public:
  static constexpr std::size_t kBucketCount = 256;

  // A depth below 1 is taken as 1.
  TSXFontCache(TSXTextWriter& writer, std::int32_t depth);
  TSXFontCache(const TSXFontCache&) = delete;
  TSXFontCache& operator=(const TSXFontCache&) = delete;

  // Frees every glyph; each bucket holds up to `depth` from now on.
  void Reset(std::int32_t depth);

  // The glyph of `code` in `font`, rasterised on a miss. The reference stays valid until
  // the next GetGlyph or Reset.
  const TSXGlyph& GetGlyph(std::uint32_t code, const TSXFont& font);

  // Inspection without touching the order: the cached glyph or null.
  const TSXGlyph* Find(std::uint32_t code, const TSXFont& font) const;
  std::int32_t Depth() const { return depth_; }
  std::int32_t UsedCount(std::size_t bucket) const { return buckets_[bucket].used; }
  const TSXGlyph& Slot(std::size_t bucket, std::size_t index) const {
    return buckets_[bucket].slots[index];
  }
  // Glyphs made since construction (misses).
  std::uint64_t RasterisedCount() const { return rasterised_; }
  bool AntiAliasing() const { return antiAliasing_; }

 private:
  struct Bucket {
    std::vector<TSXGlyph> slots;  // `used` entries, at most `depth_`
    std::int32_t used = 0;
  };

  void Rasterise(TSXGlyph& glyph, std::uint32_t code, const TSXFont& font);

  TSXTextWriter& writer_;
  std::int32_t depth_ = 1;
  std::array<Bucket, kBucketCount> buckets_;
  bool antiAliasing_ = true;
  std::uint64_t rasterised_ = 0;
};

}  // namespace sx
