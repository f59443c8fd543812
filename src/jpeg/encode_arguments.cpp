#include <stdexcept>

#include "jpeg/jpeg.h"

namespace jpeg {

void CheckEncodeArguments(const Image& image, int quality) {
  if (image.width < 1 || image.height < 1 || image.width > 65500 || image.height > 65500)
    throw std::invalid_argument("EncodeJpeg: picture size out of range");
  if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
    throw std::invalid_argument("EncodeJpeg: pixel count does not match the size");
  if (quality < 1 || quality > 100)
    throw std::invalid_argument("EncodeJpeg: quality not in 1..100");
}

}  // namespace jpeg
