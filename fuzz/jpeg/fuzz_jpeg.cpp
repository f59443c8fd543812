// Any bytes either decode to a picture whose pixel count matches its size, or give an error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "jpeg/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const jpeg::DecodeResult result = jpeg::DecodeJpeg({data, size});
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
  return 0;
}
