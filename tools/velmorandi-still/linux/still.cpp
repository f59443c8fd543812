// Linux: PNG through Qt, JPEG through libjpeg.
#include <QImage>
#include <fstream>

#include "jpeg/jpeg.h"
#include "velmorandi-still/still.h"

namespace still {

const std::vector<std::string>& ImageEndings() {
  static const std::vector<std::string> endings = {".png", ".jpg", ".jpeg"};
  return endings;
}

bool WriteImage(const shell::Frame& frame, const std::string& path) {
  if (path.size() >= 4 && QString::fromStdString(path).endsWith(".png", Qt::CaseInsensitive)) {
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      for (int x = 0; x < frame.width; ++x) {
        row[x] = frame.At(x, y) | 0xFF000000u;
      }
    }
    return image.save(QString::fromStdString(path), "PNG");
  }
  jpeg::Image image;
  image.width = frame.width;
  image.height = frame.height;
  image.pixels = frame.pixels;
  const std::vector<std::uint8_t> bytes = jpeg::EncodeJpeg(image, 90);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace still
