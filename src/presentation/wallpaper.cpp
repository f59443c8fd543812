#include "presentation/wallpaper.h"

#include <cstring>
#include <filesystem>
#include <span>

#include "dg/bmp_decoder.h"
#include "jpeg/jpeg.h"
#include "platform/fs/fs.h"

namespace presentation {

namespace {

bool EndsWith(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

CheckedWallpaper CheckJpeg(const std::string& bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  jpeg::DecodeResult decoded = jpeg::DecodeJpeg(std::span<const std::uint8_t>(data, bytes.size()),
                                                {kFrameWidth, kFrameHeight});
  if (!decoded.ok()) return Refusal{"not a decodable JPEG: " + decoded.error};
  CheckedJpeg checked;
  checked.bitmap.width = static_cast<std::uint32_t>(decoded.image.width);
  checked.bitmap.height = static_cast<std::uint32_t>(decoded.image.height);
  checked.bitmap.pixels = std::move(decoded.image.pixels);
  return checked;
}

CheckedWallpaper CheckBmp(const std::string& b) {
  constexpr std::size_t kHeaders = dg::kBMPFileHeaderSize + dg::kBMPInfoHeaderSize;
  if (b.size() < kHeaders) return Refusal{"too short for the bitmap headers"};
  if (b[0] != 'B' || b[1] != 'M') return Refusal{"not a bitmap (no \"BM\")"};
  const std::uint32_t pixelOffset = U32(b, 10);
  const std::uint32_t infoSize = U32(b, 14);
  const auto width = static_cast<std::int32_t>(U32(b, 18));
  const auto height = static_cast<std::int32_t>(U32(b, 22));
  const std::uint16_t bitCount = U16(b, 28);
  const std::uint32_t compression = U32(b, 30);
  if (infoSize < dg::kBMPInfoHeaderSize) return Refusal{"bitmap header of an unknown kind"};
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return Refusal{std::to_string(bitCount) + " bits per pixel"};
  if (compression != 0)
    return Refusal{"compressed bitmap (compression " + std::to_string(compression) + ")"};
  if (height < 0) return Refusal{"top-down rows"};
  if (width <= 0 || height == 0) return Refusal{"empty picture"};
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    return Refusal{"picture of " + std::to_string(width) + " x " + std::to_string(height) +
                   " is too large"};
  const std::uint64_t palette = bitCount == 8 ? dg::kBMPPaletteSize : 0;
  if (pixelOffset < kHeaders + palette) return Refusal{"pixels overlap the headers"};
  const std::uint64_t need =
      pixelOffset + dg::BMPSourceStride(width, bitCount) * static_cast<std::uint64_t>(height);
  if (b.size() < need) return Refusal{"file cut short"};
  return CheckedBmp{};
}

}  // namespace

bool IsJpegName(const std::string& path) {
  return EndsWith(path, ".jpg") || EndsWith(path, ".JPG") || EndsWith(path, ".jpeg") ||
         EndsWith(path, ".JPEG");
}

CheckedWallpaper CheckWallpaper(const std::string& path) {
  // The largest picture accepted, 32 bits per pixel, with room for headers and palette.
  constexpr std::uintmax_t kMaxFileBytes =
      std::uintmax_t{kMaxBitmapSide} * kMaxBitmapSide * 4 + 65536;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxFileBytes)
    return Refusal{"file of " + std::to_string(size) + " bytes is too large"};
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes)
    return Refusal{platform::FileExists(path) ? "file cannot be read" : "file does not exist"};
  return IsJpegName(path) ? CheckJpeg(*bytes) : CheckBmp(*bytes);
}

}  // namespace presentation
