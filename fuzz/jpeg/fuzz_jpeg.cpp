// Any bytes either decode to a picture whose pixel count matches its size, or give an error;
// decoded for a frame, a picture comes out no larger than at full size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "jpeg/jpeg.h"

namespace {

void CheckPicture(const jpeg::DecodeResult& result) {
  if (result.ok()) {
    const jpeg::Image& image = result.image;
    if (image.width < 1 || image.height < 1 || image.width > jpeg::kMaxSide ||
        image.height > jpeg::kMaxSide ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
      std::abort();
    for (std::uint32_t p : image.pixels)
      if ((p >> 24) != 0xFF) std::abort();
  } else if (result.error.empty()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const jpeg::DecodeResult full = jpeg::DecodeJpeg({data, size});
  CheckPicture(full);
  const jpeg::DecodeResult shown = jpeg::DecodeJpeg({data, size}, {64, 48});
  CheckPicture(shown);
  if (full.ok() && shown.ok() &&
      (shown.image.width > full.image.width || shown.image.height > full.image.height)) {
    std::abort();
  }
  return 0;
}
