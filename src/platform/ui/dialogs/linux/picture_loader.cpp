#include "platform/ui/dialogs/linux/picture_loader.h"

#include <cstdint>
#include <cstring>
#include <span>

#include "jpeg/jpeg.h"
#include "platform/fs/fs.h"

namespace platform::ui {
namespace {

// Files above this size are refused before decoding: a wallpaper never comes near it, and
// it keeps a mistaken pick (a disk image renamed .jpg) from filling memory.
constexpr std::size_t kMaxPictureFileBytes = 256u * 1024u * 1024u;

// A chosen wallpaper is previewed as the saver decodes it: no larger than its frame needs.
constexpr jpeg::ShownSize kSaverFrame{640, 480};

bool StartsWith(std::string_view bytes, unsigned char first, unsigned char second) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == first &&
         static_cast<unsigned char>(bytes[1]) == second;
}

QImage DecodeBmp(std::string_view bytes) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()),
                     "BMP");
  return image;
}

}  // namespace

QImage ImageFromJpegPixels(const jpeg::Image& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() !=
          static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    return {};
  }
  // The decoder's 0xAARRGGBB words are exactly QImage's 32-bit pixels; only the rows'
  // padding may differ, so the copy goes row by row.
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t);
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(image.scanLine(y),
                picture.pixels.data() + static_cast<std::size_t>(y) * picture.width, rowBytes);
  }
  return image;
}

QImage DecodeJpegBytes(std::string_view bytes, jpeg::ShownSize shown) {
  if (bytes.empty() || bytes.size() > kMaxPictureFileBytes) return {};
  const jpeg::DecodeResult decoded =
      jpeg::DecodeJpeg(std::span<const std::uint8_t>(
                           reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                       shown);
  if (!decoded.ok()) return {};
  return ImageFromJpegPixels(decoded.image);
}

QImage LoadPictureFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes || bytes->size() > kMaxPictureFileBytes) return {};
  // The content decides, not the name: "BM" opens a bitmap, FF D8 a JPEG.
  if (StartsWith(*bytes, 'B', 'M')) return DecodeBmp(*bytes);
  if (StartsWith(*bytes, 0xFF, 0xD8)) return DecodeJpegBytes(*bytes, kSaverFrame);
  return {};
}

}  // namespace platform::ui
