// The pictures of the wallpaper dialog and the preview: the content of a file decides its
// decoder, JPEG comes out of libjpeg with the colours it holds, and anything else is a null
// picture rather than an error.
#include <QBuffer>
#include <QImage>
#include <fstream>

#include "jpeg/jpeg.h"
#include "platform/ui/dialogs/linux/picture_loader.h"
#include "settings/dialogs/dialog_fixture.h"
#include "support/temp_dir.h"

namespace settings::testing {
namespace {

// A picture whose left half is red and right half blue.
jpeg::Image Halves(int width, int height) {
  jpeg::Image image{width, height,
                    std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels[static_cast<std::size_t>(y) * width + x] =
          x < width / 2 ? 0xFFFF0000u : 0xFF0000FFu;
    }
  }
  return image;
}

std::string JpegBytes(int width, int height) {
  const std::vector<std::uint8_t> bytes = jpeg::EncodeJpeg(Halves(width, height), 95);
  return std::string(bytes.begin(), bytes.end());
}

std::string BmpBytes(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  image.fill(QColor(0, 160, 0));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes.toStdString();
}

void ExpectHalves(const QImage& image, QSize size) {
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), size);
  const QColor left = image.pixelColor(size.width() / 4, size.height() / 2);
  const QColor right = image.pixelColor(size.width() * 3 / 4, size.height() / 2);
  EXPECT_GT(left.red(), 230);
  EXPECT_LT(left.blue(), 30);
  EXPECT_GT(right.blue(), 230);
  EXPECT_LT(right.red(), 30);
  EXPECT_EQ(left.alpha(), 255);
}

TEST(PictureLoaderTest, JpegBytesDecodeWithTheirSizeAndColours) {
  ExpectHalves(platform::ui::DecodeJpegBytes(JpegBytes(640, 480)), {640, 480});
  // An odd width checks that rows are copied with the image's own row length.
  ExpectHalves(platform::ui::DecodeJpegBytes(JpegBytes(37, 9)), {37, 9});
}

TEST(PictureLoaderTest, FilesAreDecodedByTheirContentNotTheirName) {
  App();
  testing_support::TempDir dir;
  const std::string jpeg = JpegBytes(64, 48);
  const std::string bmp = BmpBytes(20, 10);
  struct Case {
    const char* name;
    std::string bytes;
    QSize size;  // empty: a null picture
  };
  const Case cases[] = {
      {"photo.jpg", jpeg, {64, 48}},
      {"photo.bmp", jpeg, {64, 48}},
      {"leaf.bmp", bmp, {20, 10}},
      {"camera.jpg", JpegBytes(1300, 975), {650, 488}},  // decoded as the saver's frame needs
      {"leaf.jpg", bmp, {20, 10}},
      {"header-only.jpg", jpeg.substr(0, 20), {}},
      {"empty.jpg", "", {}},
      {"text.jpg", "not a picture at all", {}},
      {"bm-only.bmp", "BM", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.path() + "/" + c.name;
    std::ofstream(path, std::ios::binary) << c.bytes;
    const QImage image = platform::ui::LoadPictureFile(path);
    if (c.size.isEmpty()) {
      EXPECT_TRUE(image.isNull());
    } else {
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(image.size(), c.size);
    }
  }
  EXPECT_TRUE(platform::ui::LoadPictureFile(dir.path() + "/missing.jpg").isNull());
}

TEST(PictureLoaderTest, AnInconsistentDecodedPictureGivesANullImage) {
  jpeg::Image broken{4, 4, std::vector<std::uint32_t>(15)};
  EXPECT_TRUE(platform::ui::ImageFromJpegPixels(broken).isNull());
  EXPECT_TRUE(platform::ui::ImageFromJpegPixels(jpeg::Image{}).isNull());
}

}  // namespace
}  // namespace settings::testing
