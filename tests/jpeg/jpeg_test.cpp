#include "jpeg/jpeg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jpeg/jpeg_test_support.h"

namespace {

using namespace jpeg_test;

TEST(Jpeg, RoundTripKeepsSizeAndColoursAndIsOpaque) {
  const jpeg::Image original = Gradient(97, 61);  // not a multiple of the 8 x 8 block
  const auto bytes = jpeg::EncodeJpeg(original, 95);
  const jpeg::DecodeResult decoded = jpeg::DecodeJpeg(bytes);
  ASSERT_TRUE(decoded.ok()) << decoded.error;
  ASSERT_EQ(decoded.image.width, 97);
  ASSERT_EQ(decoded.image.height, 61);
  ASSERT_EQ(decoded.image.pixels.size(), 97u * 61u);
  EXPECT_LE(MaxDifference(original, decoded.image), 12);
  for (std::uint32_t p : decoded.image.pixels) ASSERT_EQ(p >> 24, 0xFFu);
}

TEST(Jpeg, EncodingIsBaselineAndDeterministic) {
  const jpeg::Image img = Gradient(64, 48);
  const auto a = jpeg::EncodeJpeg(img, 90);
  const auto b = jpeg::EncodeJpeg(img, 90);
  EXPECT_EQ(a, b);
  EXPECT_NE(FindMarker(a, 0xC0), std::string::npos);  // SOF0, baseline
  EXPECT_EQ(FindMarker(a, 0xC2), std::string::npos);  // no progressive frame
}

TEST(Jpeg, BadInputGivesAnErrorNamingTheReason) {
  const auto good = jpeg::EncodeJpeg(Gradient(40, 30), 80);
  const std::size_t sof = FindMarker(good, 0xC0);
  ASSERT_NE(sof, std::string::npos);
  // SOF0 layout after the marker: length (2), precision (1), height (2), width (2).
  auto withSize = [&](int w, int h) {
    auto b = good;
    b[sof + 3] = static_cast<std::uint8_t>(h >> 8), b[sof + 4] = static_cast<std::uint8_t>(h);
    b[sof + 5] = static_cast<std::uint8_t>(w >> 8), b[sof + 6] = static_cast<std::uint8_t>(w);
    return b;
  };
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* reasonPart;
  };
  const Case cases[] = {
      {"empty", {}, "no data"},
      {"not a JPEG", {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}, "JPEG"},
      {"header cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 20), "JPEG"},
      {"too wide", withSize(9000, 10), "larger than allowed"},
      {"too many pixels", withSize(8192, 8000), "larger than allowed"},
      {"zero height", withSize(40, 0), "JPEG"},
  };
  for (const Case& c : cases) {
    const jpeg::DecodeResult r = jpeg::DecodeJpeg(c.bytes);
    EXPECT_FALSE(r.ok()) << c.name;
    EXPECT_NE(r.error.find(c.reasonPart), std::string::npos) << c.name << ": " << r.error;
    EXPECT_TRUE(r.image.pixels.empty()) << c.name;
  }
}

TEST(Jpeg, EncoderRefusesInconsistentInput) {
  jpeg::Image wrongCount{4, 4, std::vector<std::uint32_t>(15)};
  EXPECT_THROW(jpeg::EncodeJpeg(wrongCount, 90), std::invalid_argument);
  EXPECT_THROW(jpeg::EncodeJpeg(jpeg::Image{}, 90), std::invalid_argument);
  EXPECT_THROW(jpeg::EncodeJpeg(Gradient(8, 8), 0), std::invalid_argument);
  EXPECT_THROW(jpeg::EncodeJpeg(Gradient(8, 8), 101), std::invalid_argument);
}

// Memory follows what is shown: a picture larger than the frame on both sides decodes to the
// smallest eighth that still covers the frame; any other keeps its size and every pixel.
TEST(Jpeg, LargePicturesDecodeScaledToTheFrameAndOthersUnchanged) {
  constexpr jpeg::ShownSize kFrame{640, 480};
  const struct {
    int width, height;
    int wantWidth, wantHeight;
  } cases[] = {
      {640, 480, 640, 480},    // the frame's size
      {300, 200, 300, 200},    // smaller
      {2000, 480, 2000, 480},  // larger on one side only
      {1200, 900, 750, 563},   // 5/8: 4/8 would fall short of the frame
      {1300, 975, 650, 488},   // 4/8, sides rounded up
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const auto bytes = jpeg::EncodeJpeg(Gradient(c.width, c.height), 90);
    const jpeg::DecodeResult full = jpeg::DecodeJpeg(bytes);
    const jpeg::DecodeResult shown = jpeg::DecodeJpeg(bytes, kFrame);
    ASSERT_TRUE(full.ok() && shown.ok()) << full.error << shown.error;
    EXPECT_EQ(shown.image.width, c.wantWidth);
    EXPECT_EQ(shown.image.height, c.wantHeight);
    if (c.wantWidth == c.width) {
      EXPECT_EQ(shown.image.pixels, full.image.pixels);
    } else {
      // The same picture, smaller: the gradient's middle keeps its colour.
      const auto middle = [](const jpeg::Image& i) {
        return i.pixels[static_cast<std::size_t>(i.height / 2) * i.width + i.width / 2];
      };
      for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(Channel(middle(shown.image), shift), Channel(middle(full.image), shift), 4);
      }
    }
  }
  // A camera photo and the largest picture accepted come out at an eighth.
  EXPECT_EQ(jpeg::ScaleEighths(6000, 4000, kFrame), 1);
  EXPECT_EQ(jpeg::ScaleEighths(8192, 6144, kFrame), 1);
}

}  // namespace
