// Arbitrary bytes as a user's wallpaper file: the first byte picks the file name's ending
// (".bmp", ".jpg", ".JPEG" or ".Jpg", which is read as a bitmap), the rest is the file.
// The check must never crash, and a file it passes must load into the wallpaper texture
// exactly as the saver loads it without the texture layer refusing it: that layer halts
// the program on a refusal, which ends this run as a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <variant>

#include "dg/carad.h"
#include "dg/texture.h"
#include "presentation/wallpaper.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_wallpaper: %s\n", what);
  std::abort();
}

std::string TempFolder() {
  char pattern[] = "/tmp/fuzz_wallpaper.XXXXXX";
  if (mkdtemp(pattern) == nullptr) Fail("no temporary folder");
  return std::string(pattern) + "/";
}

std::unique_ptr<dg::TDGCarad> MakeCarad() {
  // The saver's software device without a window.
  auto carad = std::make_unique<dg::TDGCarad>(nullptr);
  carad->SetDebugOption(dg::dgoHaltOnError);
  carad->Loaded();
  if (carad->Device() == nullptr) Fail("no device");
  return carad;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = TempFolder();
  static std::unique_ptr<dg::TDGCarad> carad = MakeCarad();
  if (size == 0) return 0;
  static const char* const kEndings[4] = {".bmp", ".jpg", ".JPEG", ".Jpg"};
  const std::string path = folder + "wallpaper" + kEndings[data[0] % 4];
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write the temporary file");
  if (size > 1 && std::fwrite(data + 1, 1, size - 1, file) != size - 1)
    Fail("cannot write the temporary file");
  std::fclose(file);

  presentation::CheckedWallpaper checked = presentation::CheckWallpaper(path);
  if (!std::holds_alternative<presentation::Refusal>(checked)) {
    dg::TDGTexture wallpaper(*carad, dg::DGAlphaFormats, 0, D3DPOOL_MANAGED, 0, "");
    if (auto* jpeg = std::get_if<presentation::CheckedJpeg>(&checked)) {
      wallpaper.LoadFromBitmap(jpeg->bitmap);
    } else {
      wallpaper.LoadBMP(path, "");
    }
    if (wallpaper.Texture() == nullptr) Fail("a checked wallpaper made no texture");
  }
  std::remove(path.c_str());
  return 0;
}
