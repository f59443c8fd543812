#include "platform/ui/dialogs/picture_loader.h"

#include "platform/fs/fs.h"

namespace platform::ui {
namespace {

// Files above this size are refused before decoding: a wallpaper never comes near it, and
// it keeps a mistaken pick (a disk image renamed .jpg) from filling memory.
constexpr std::size_t kMaxPictureFileBytes = 256u * 1024u * 1024u;

QImage Decode(std::string_view bytes, const char* format) {
  QImage image;
  if (bytes.empty() || bytes.size() > kMaxPictureFileBytes) return image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                     static_cast<int>(bytes.size()), format);
  return image;
}

}  // namespace

QImage LoadPictureFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return {};
  // The content decides, not the name: "BM" opens a bitmap, FF D8 a JPEG.
  if (bytes->size() >= 2 && (*bytes)[0] == 'B' && (*bytes)[1] == 'M') return Decode(*bytes, "BMP");
  if (bytes->size() >= 2 && static_cast<unsigned char>((*bytes)[0]) == 0xFF &&
      static_cast<unsigned char>((*bytes)[1]) == 0xD8) {
    return Decode(*bytes, "JPEG");
  }
  return {};
}

QImage DecodeJpegBytes(std::string_view bytes) { return Decode(bytes, "JPEG"); }

}  // namespace platform::ui
