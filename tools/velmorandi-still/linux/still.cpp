// Linux: the saver on the software device, whose window target keeps the presented frame;
// PNG through Qt, JPEG through libjpeg.
#include <QImage>
#include <fstream>
#include <stdexcept>

#include "jpeg/jpeg.h"
#include "shell/linux/headless_saver.h"
#include "velmorandi-still/still.h"

namespace still {

Frame DrawStill(const std::string& dataDir, std::uint64_t seed, int ticks) {
  shell::HeadlessSaver saver(dataDir, seed);
  saver.RunTicks(ticks);
  const shell::Frame presented = saver.LastFrame();
  if (presented.pixels.empty()) throw std::runtime_error("the saver presented no frame");
  Frame frame;
  frame.width = presented.width;
  frame.height = presented.height;
  frame.pixels.reserve(presented.pixels.size());
  for (const std::uint32_t pixel : presented.pixels) frame.pixels.push_back(pixel & 0xFFFFFFu);
  return frame;
}

const std::vector<std::string>& ImageEndings() {
  static const std::vector<std::string> endings = {".png", ".jpg", ".jpeg"};
  return endings;
}

bool WriteImage(const Frame& frame, const std::string& path) {
  if (path.size() >= 4 && QString::fromStdString(path).endsWith(".png", Qt::CaseInsensitive)) {
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      for (int x = 0; x < frame.width; ++x) {
        row[x] = frame.pixels[static_cast<std::size_t>(y) * frame.width + x] | 0xFF000000u;
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
