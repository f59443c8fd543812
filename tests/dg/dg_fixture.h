// Shared pieces of the device layer's tests: a log in a temporary folder, wrappers on
// software devices of chosen capabilities, BMP images built in memory and texel reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/stream.h"
#include "dg/carad.h"
#include "dg/debug_log.h"
#include "dg/texture.h"
#include "platform/d3d9/d3d9.h"
#include "platform/fs/fs.h"
#include "support/log_text.h"
#include "support/temp_dir.h"

namespace dg_test {

// Bytes of a bottom-up BMP: 14-byte file header, 40-byte information header, a 1024-byte
// palette when `palette` is not empty (entries blue, green, red, 0), then `height` rows of
// `stride` bytes, the top row last. pixel(x, y) gives the stored little-endian value of
// the pixel in image row y (0 = top), of bitCount / 8 bytes; padding bytes are `pad`.
inline std::vector<std::uint8_t> MakeBMP(std::int32_t width, std::int32_t height,
                                         std::uint16_t bitCount,
                                         const std::function<std::uint32_t(int, int)>& pixel,
                                         const std::vector<std::uint32_t>& palette = {},
                                         std::uint8_t pad = 0) {
  const std::uint32_t bytes = bitCount / 8u;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bytes + 3) & ~3u;
  const std::uint32_t paletteBytes = palette.empty() ? 0 : 1024;
  const std::uint32_t offset = 54 + paletteBytes;
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::uint32_t rows = height > 0 ? static_cast<std::uint32_t>(height) : 0;
  put(0x4D42, 2);
  put(offset + stride * rows, 4);
  put(0, 4);
  put(offset, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);
  put(1, 2);
  put(bitCount, 2);
  for (int i = 0; i < 6; ++i) put(0, 4);
  if (!palette.empty()) {
    for (std::size_t i = 0; i < 256; ++i) put(i < palette.size() ? palette[i] & 0xFFFFFF : 0, 4);
  }
  for (std::uint32_t r = 0; r < rows; ++r) {
    const int y = static_cast<int>(rows - 1 - r);
    for (int x = 0; x < width; ++x) put(pixel(x, y), static_cast<int>(bytes));
    for (std::uint32_t i = static_cast<std::uint32_t>(width) * bytes; i < stride; ++i) {
      out.push_back(pad);
    }
  }
  return out;
}

// What a halt leaves on stderr: one line of ours saying why, and nothing the caller wrote
// after the halt.
inline constexpr char kHaltNotice[] = "^velmorandi: 次のエラーで終了しました: [^\n]*\n$";

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// The stored value of texel (x, y) of level 0.
inline std::uint32_t Texel(dg::TDGTexture& texture, int x, int y) {
  D3DLOCKED_RECT locked{};
  EXPECT_EQ(texture.Texture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch;
  std::uint32_t value = 0;
  for (int i = 0; i < texture.BytesPerPixel(); ++i) {
    value |= static_cast<std::uint32_t>(row[x * texture.BytesPerPixel() + i]) << (8 * i);
  }
  texture.Texture()->UnlockRect(0);
  return value;
}

// All texels of level 0, row by row.
inline std::vector<std::uint32_t> AllTexels(dg::TDGTexture& texture) {
  std::vector<std::uint32_t> texels;
  for (std::uint32_t y = 0; y < texture.TextureHeight(); ++y) {
    for (std::uint32_t x = 0; x < texture.TextureWidth(); ++x) {
      texels.push_back(Texel(texture, static_cast<int>(x), static_cast<int>(y)));
    }
  }
  return texels;
}

// A log in a fresh folder, default software device options restored afterwards, and
// wrappers that report failures without halting.
class DGTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dg::SetDebugLogPath(temp_.File("DGCarad_DebugLog.txt"));
    dg::LogLineCount = 0;
    dg::LogIndent = 0;
  }
  void TearDown() override {
    carad_.reset();
    SetDefaultSoftwareDeviceOptions(SoftwareDeviceOptions{});
    dg::SetDebugLogPath("");
    dg::HaltOnError = true;
    dg::DebugMessage = true;
    dg::DetailedLog = true;
  }

  // A started wrapper on a device with `options`.
  dg::TDGCarad& StartCarad(const SoftwareDeviceOptions& options = {}, HWND owner = nullptr,
                           dg::TDGDebugOption debug = dg::dgoDebugMessage | dg::dgoDetailedLog) {
    SetDefaultSoftwareDeviceOptions(options);
    carad_ = std::make_unique<dg::TDGCarad>(owner);
    carad_->SetDebugOption(debug);
    carad_->Loaded();
    return *carad_;
  }

  std::unique_ptr<dg::TDGTexture> MakeTexture(std::vector<D3DFORMAT> formats = dg::DGAlphaFormats,
                                              D3DPOOL pool = D3DPOOL_MANAGED, DWORD usage = 0) {
    return std::make_unique<dg::TDGTexture>(*carad_, std::move(formats), usage, pool, 0, "");
  }

  std::string Log() const { return testing_support::LogText(dg::DebugLogPath()); }
  // The log's messages without their "#NNNNN | " prefix (indent kept).
  std::vector<std::string> LogMessages() const {
    std::vector<std::string> lines;
    const std::string log = Log();
    std::size_t start = 0;
    while (start < log.size()) {
      std::size_t end = log.find("\r\n", start);
      if (end == std::string::npos) end = log.size();
      const std::string line = log.substr(start, end - start);
      const std::size_t bar = line.find(" | ");
      lines.push_back(bar == std::string::npos ? line : line.substr(bar + 3));
      start = end + 2;
    }
    return lines;
  }
  bool LogHas(const std::string& text) const { return Log().find(text) != std::string::npos; }
  void ClearLog() {
    dg::LogLineCount = 0;
    std::remove(dg::DebugLogPath().c_str());
  }

  testing_support::TempDir temp_;
  std::unique_ptr<dg::TDGCarad> carad_;
};

}  // namespace dg_test
