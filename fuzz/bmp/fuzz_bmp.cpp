// Arbitrary bytes as a bitmap stream: loaded into a texture sized to its header, and
// decoded into a fixed texture smaller than most bitmaps, on software devices with and
// without size restrictions. Whatever the bytes, nothing larger than the device's maximum
// texture is allocated and no texel is written outside its texture.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "data/stream.h"
#include "dg/bmp_decoder.h"
#include "dg/carad.h"
#include "dg/debug_log.h"
#include "dg/texture.h"

namespace {

constexpr std::uint32_t kMaxTexture = 256;

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_bmp: %s\n", what);
  std::abort();
}

std::unique_ptr<dg::TDGCarad> MakeCarad(bool restricted) {
  SoftwareDeviceOptions options;
  options.maxTextureWidth = options.maxTextureHeight = kMaxTexture;
  options.pow2Only = restricted;
  options.squareOnly = restricted;
  SetDefaultSoftwareDeviceOptions(options);
  auto carad = std::make_unique<dg::TDGCarad>(nullptr);
  // No halt and no log file: every failure path runs to its end.
  carad->SetDebugOption(0);
  carad->Loaded();
  if (carad->Device() == nullptr) Fail("no device");
  return carad;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::unique_ptr<dg::TDGCarad> carads[2] = {MakeCarad(false), MakeCarad(true)};
  static const std::vector<D3DFORMAT> formatLists[4] = {
      dg::DGAlphaFormats, {D3DFMT_P8}, {D3DFMT_A1R5G5B5}, {D3DFMT_R5G6B5}};
  // The size chooses device and format, so that plain bitmap files serve as seeds.
  dg::TDGCarad& carad = *carads[(size / 4) % 2];
  const std::vector<D3DFORMAT>& formats = formatLists[size % 4];

  const std::vector<std::uint8_t> bytes(data, data + size);
  {
    dg::TDGTexture texture(carad, formats, 0, D3DPOOL_MANAGED, 1, "");
    data::MemoryStream stream(bytes);
    texture.LoadFromStream(stream);
    if (texture.Texture() != nullptr &&
        (texture.TextureWidth() > kMaxTexture || texture.TextureHeight() > kMaxTexture)) {
      Fail("a texture above the maximum was made");
    }
    if (texture.Texture() != nullptr) {
      texture.ColorKey(
          RECT{0, 0, static_cast<LONG>(texture.Width()), static_cast<LONG>(texture.Height())}, 0);
      data::MemoryStream saved;
      texture.SaveToStream(saved);
    }
  }
  {
    dg::TDGTexture texture(carad, formats, 0, D3DPOOL_MANAGED, 1, "");
    texture.SetSize(16, 8);
    data::MemoryStream stream(bytes);
    dg::DecodeBMP(texture.Texture(), stream, "fuzz.bmp");
  }
  return 0;
}
