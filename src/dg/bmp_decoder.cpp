#include "dg/bmp_decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dg/debug_log.h"
#include "dg/pixel_format.h"

namespace dg {

namespace {

constexpr char kHeaderReadError[] = "ビットマップの読みこみ中に、エラーが発生しました";
constexpr char kNotBMP[] = "不正なBMPファイルです";
constexpr char kReadError[] = "LoadBMP中に、読み込みエラーが発生しました";
constexpr char kBadBitCount[] =
    "色数が8ビット～32ビットの範囲のビットマップを、LoadBMPには指定してください";
constexpr char kDeepIntoP8[] =
    "8ビットパレット付きテクスチャに対して16ビット以上のBMPをロードする事は出来ません";
constexpr char kBadSize[] = "幅と高さが正のビットマップだけを、LoadBMPには指定してください";

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadAll(data::Stream& stream, void* buffer, std::size_t count) {
  return stream.Read(buffer, count) == count;
}

// Every refusal names the bitmap and the check that failed, in a line of its own ahead of
// the message that reports it: a message that halts is the log's last line.
void LogWhy(std::string_view source, const std::string& check) {
  DebugLog("BMP " + std::string(source) + ": " + check);
}

void StoreLE(std::uint8_t* out, std::uint32_t value, std::uint32_t bytes) {
  for (std::uint32_t i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The packed destination value of one source pixel.
std::uint32_t ConvertPixel(const std::uint8_t* src, std::uint32_t srcBytes,
                           const std::uint8_t* palette, D3DFORMAT format) {
  switch (srcBytes) {
    case 1: {
      const std::uint8_t* entry = palette + 4 * src[0];  // blue, green, red, reserved
      return PackARGB(255, entry[2], entry[1], entry[0], format);
    }
    case 2: {
      const std::uint32_t v = U16(src);
      return PackARGB(static_cast<std::uint8_t>((v >> 15) * 255),
                      static_cast<std::uint8_t>(ExpandChannel((v >> 10) & 31, 5)),
                      static_cast<std::uint8_t>(ExpandChannel((v >> 5) & 31, 5)),
                      static_cast<std::uint8_t>(ExpandChannel(v & 31, 5)), format);
    }
    case 3:
      return PackARGB(255, src[2], src[1], src[0], format);
    default:
      return PackColor(U32(src), format);
  }
}

}  // namespace

BMPHeader ParseBMPFileHeader(const std::uint8_t (&bytes)[kBMPFileHeaderSize]) {
  BMPHeader header;
  header.type = U16(bytes);
  header.pixelOffset = U32(bytes + 10);
  return header;
}

void ParseBMPInfoHeader(const std::uint8_t (&bytes)[kBMPInfoHeaderSize], BMPHeader& header) {
  header.width = static_cast<std::int32_t>(U32(bytes + 4));
  header.height = static_cast<std::int32_t>(U32(bytes + 8));
  header.bitCount = U16(bytes + 14);
}

std::uint64_t BMPSourceStride(std::int64_t width, std::uint32_t bitCount) {
  if (width <= 0) return 0;
  return (static_cast<std::uint64_t>(width) * (bitCount / 8) + 3) & ~std::uint64_t{3};
}

void DecodeBMPInto(data::Stream& stream, std::uint8_t* bits, std::int32_t pitch, const RECT& rect,
                   D3DFORMAT format, std::string_view source) {
  const std::uint64_t start = stream.Position();
  std::uint8_t fileHeader[kBMPFileHeaderSize];
  if (!ReadAll(stream, fileHeader, sizeof fileHeader)) {
    LogWhy(source, "the file header is cut short");
    DebugLog(kHeaderReadError);
    return;
  }
  BMPHeader header = ParseBMPFileHeader(fileHeader);
  if (header.type != 0x4D42) {
    LogWhy(source, "not a bitmap (no \"BM\")");
    DebugLog(kNotBMP);
    return;
  }
  std::uint8_t infoHeader[kBMPInfoHeaderSize];
  if (!ReadAll(stream, infoHeader, sizeof infoHeader)) {
    LogWhy(source, "the information header is cut short");
    DebugLog(kReadError);
    return;
  }
  ParseBMPInfoHeader(infoHeader, header);
  if (header.bitCount < 8 || header.bitCount > 32) {
    LogWhy(source, std::to_string(header.bitCount) + " bits per pixel");
    CheckResult(1, kBadBitCount);
    return;
  }
  // Top-down bitmaps (negative height) would land upside down and a negative width has
  // no stride: both are refused.
  if (header.width <= 0 || header.height <= 0) {
    LogWhy(source,
           "picture of " + std::to_string(header.width) + " x " + std::to_string(header.height));
    DebugLog(kBadSize);
    return;
  }

  const std::uint32_t srcBytes = header.bitCount / 8u;
  std::uint8_t palette[kBMPPaletteSize] = {};
  if (format == D3DFMT_P8 && srcBytes >= 2) {
    LogWhy(source, std::to_string(header.bitCount) + " bits per pixel for a palette texture");
    CheckResult(1, kDeepIntoP8);
    return;
  }
  if (srcBytes == 1 && !ReadAll(stream, palette, sizeof palette)) {
    LogWhy(source, "the palette is cut short");
    DebugLog(kReadError);
    return;
  }
  stream.Seek(start + header.pixelOffset);

  const std::uint32_t destBytes = static_cast<std::uint32_t>(FormatBits(format)) / 8u;
  const std::uint64_t width = static_cast<std::uint64_t>(header.width);
  const std::uint64_t height = static_cast<std::uint64_t>(header.height);
  const std::uint64_t srcStride = BMPSourceStride(header.width, header.bitCount);
  const std::uint64_t destRowLength = (width * destBytes + 3) & ~std::uint64_t{3};
  const std::uint64_t rectWidth =
      static_cast<std::uint64_t>(std::max<LONG>(0, rect.right - rect.left));
  const std::uint64_t rectHeight =
      static_cast<std::uint64_t>(std::max<LONG>(0, rect.bottom - rect.top));
  const std::uint64_t pitchBytes = static_cast<std::uint64_t>(std::max<std::int32_t>(0, pitch));

  const std::uint64_t rows = std::min(rectHeight, height);
  const std::uint64_t pixelsPerRow = std::min(rectWidth, width);
  // A P8 target takes the stored bytes as they are, row padding included, up to the end of
  // the locked row. Converted rows stop at the last converted pixel, so the texels to the
  // right of the image keep what they held.
  const bool indexCopy = format == D3DFMT_P8;
  const std::uint64_t rowRoom =
      pitchBytes -
      std::min<std::uint64_t>(pitchBytes,
                              static_cast<std::uint64_t>(std::max<LONG>(0, rect.left)) * destBytes);
  const std::uint64_t bytesPerRow =
      indexCopy ? std::min({pitchBytes, destRowLength, rowRoom})
                : std::min(std::min(pitchBytes, destRowLength), pixelsPerRow * destBytes);
  const std::uint64_t srcNeeded =
      std::min(srcStride, indexCopy ? bytesPerRow : pixelsPerRow * srcBytes);

  if (rows == 0 || bytesPerRow == 0) return;
  if (height > rows) {
    // The bottom rows are stored first: skipping them puts the top row on top.
    const std::uint64_t skipped = height - rows;
    if (skipped > stream.Remaining() / srcStride) {
      LogWhy(source, "file cut short below its top " + std::to_string(rows) + " rows");
      DebugLog(kReadError);
      return;
    }
    stream.Seek(stream.Position() + skipped * srcStride);
  }

  std::vector<std::uint8_t> row(static_cast<std::size_t>(srcNeeded));
  std::vector<std::uint8_t> converted(static_cast<std::size_t>(indexCopy ? 0 : bytesPerRow));
  for (std::uint64_t r = 0; r < rows; ++r) {
    const std::uint64_t rowStart = stream.Position();
    if (stream.Remaining() < srcStride || !ReadAll(stream, row.data(), row.size())) {
      LogWhy(source, "file cut short at row " + std::to_string(rows - r) + " from the top");
      DebugLog(kReadError);
      return;
    }
    stream.Seek(rowStart + srcStride);
    std::uint8_t* destRow = bits + static_cast<std::ptrdiff_t>(rows - 1 - r) * pitch;
    if (indexCopy) {
      std::memcpy(destRow, row.data(), static_cast<std::size_t>(bytesPerRow));
      continue;
    }
    const std::uint64_t pixels = bytesPerRow / std::max<std::uint32_t>(destBytes, 1);
    for (std::uint64_t x = 0; x < pixels; ++x) {
      StoreLE(converted.data() + x * destBytes,
              ConvertPixel(row.data() + x * srcBytes, srcBytes, palette, format), destBytes);
    }
    std::memcpy(destRow, converted.data(), static_cast<std::size_t>(bytesPerRow));
  }
}

void DecodeBMP(IDirect3DTexture9* texture, data::Stream& stream, std::string_view source) {
  D3DSURFACE_DESC desc{};
  D3DLOCKED_RECT locked{};
  HRESULT result = D3DERR_INVALIDCALL;
  if (texture != nullptr && texture->GetLevelDesc(0, &desc) == D3D_OK) {
    result = texture->LockRect(0, &locked, nullptr, 0);
  }
  if (CheckResult(result, "LoadBMP中にサーフェスがロックできませんでした") != D3D_OK) return;
  const RECT rect{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
  DecodeBMPInto(stream, static_cast<std::uint8_t*>(locked.pBits), locked.Pitch, rect, desc.Format,
                source);
  CheckResult(texture->UnlockRect(0), "LoadBMP中にサーフェスがアンロックできませんでした");
}

}  // namespace dg
