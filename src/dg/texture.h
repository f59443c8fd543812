// One two-dimensional texture that survives device re-creation.
//
// It picks the first candidate format the device supports (else the back buffer's),
// allocates a texture at least as large as the requested logical size (square and
// power-of-two sizes where the device demands them; ScaleU and ScaleV are then the
// texture coordinates of the logical size's right and bottom edge), loads BMP pixels from
// a file, an archive entry, a stream or a bitmap, and gives pixel access by locking.
//
// When the device is re-created the content comes back from its source: file and archive
// content is read again, drawn content (LoadSource 3) of a pool other than
// D3DPOOL_DEFAULT is saved before the release and loaded after, and default-pool content
// comes back empty for its owner to redraw.
//
// Failures are reported through CheckResult and the debug log, never raised.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/stream.h"
#include "dg/carad.h"

namespace dg {

// A picture in memory: `width` x `height` A8R8G8B8 pixels, top row first. A decoder of an
// opaque picture gives every pixel alpha 255.
struct TDGBitmap {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;
};

// What a source is loaded from, and so how it comes back after a device re-creation.
enum TDGLoadSource : std::uint8_t {
  dglsNone = 0,     // empty texture
  dglsFile = 1,     // a BMP file
  dglsArchive = 2,  // an archive entry
  dglsDrawn = 3,    // content only in the texture
};

// FillRect: whether the pixels keep their own alpha.
enum class TDGFillAlpha { Replace, Keep };

class TDGTexture final : public TDGResource {
 public:
  // Called for every pixel by ForEachPixel: returns the new pixel value.
  using PixelFunction =
      std::function<std::uint32_t(TDGTexture& texture, std::uint32_t pixel, int x, int y)>;

  TDGTexture(TDGCarad& carad, std::vector<D3DFORMAT> formats, DWORD usage, D3DPOOL pool,
             UINT levels, std::string name);
  ~TDGTexture() override;
  TDGTexture(const TDGTexture&) = delete;
  TDGTexture& operator=(const TDGTexture&) = delete;

  // Creates the Direct3D texture for a logical size.
  void SetSize(std::uint32_t width, std::uint32_t height);
  // An empty `archiveName` loads the BMP file `fileName`; otherwise the entry `fileName`
  // of the archive file `archiveName`. The texture is sized to the bitmap first.
  void LoadBMP(const std::string& fileName, const std::string& archiveName);
  // Loads the BMP that starts at the stream's position.
  void LoadFromStream(data::Stream& stream);
  void LoadFromBitmap(const TDGBitmap& bitmap);
  // Appends the logical area of level 0 as a 32-bit bottom-up BMP.
  void SaveToStream(data::MemoryStream& stream);

  // Without a texture, the failure is reported and `locked` is left as it was.
  HRESULT LockRect(UINT level, const RECT* rect, D3DLOCKED_RECT& locked, DWORD flags);
  HRESULT UnlockRect();

  void ForEachPixel(const RECT& rect, const PixelFunction& function);
  void FillRect(const RECT& rect, D3DCOLOR color, TDGFillAlpha alpha);
  // Pixels whose red, green and blue equal the key's become transparent (alpha 0), all
  // others opaque (alpha 255).
  void ColorKey(const RECT& rect, D3DCOLOR color);

  // Readable state.
  std::int32_t ID() const { return id_; }
  const std::string& Name() const { return name_; }
  IDirect3DTexture9* Texture() const { return texture_; }
  D3DFORMAT Format() const { return format_; }
  std::uint32_t Width() const { return width_; }
  std::uint32_t Height() const { return height_; }
  std::uint32_t TextureWidth() const { return textureWidth_; }
  std::uint32_t TextureHeight() const { return textureHeight_; }
  float ScaleU() const { return scaleU_; }
  float ScaleV() const { return scaleV_; }
  std::int32_t BytesPerPixel() const { return bytesPerPixel_; }
  bool Locked() const { return locked_; }
  bool KeepContent() const { return keepContent_; }
  TDGLoadSource LoadSource() const { return loadSource_; }
  bool HasSavedContent() const { return savedContent_ != nullptr; }
  // Changes whenever what a draw of the texture reads may change (its texels, its device
  // texture); no two textures share a value, so equal versions mean one unchanged texture.
  std::uint64_t Version() const { return version_; }

  // About to be drawn: asks for what a draw reads of this object now, so that the loads
  // of many textures overlap instead of stalling one after another. The device's texture
  // object follows in a second call, made once these fields have arrived.
  void PrefetchForDrawing() const;
  void PrefetchDeviceTexture() const;

  // Colour of a new texture outside D3DPOOL_DEFAULT; 0 after creation.
  D3DCOLOR FillColor = 0;

  // Registry notifications.
  const char* ClassName() const override { return "TDGTexture"; }
  void DeviceRelease() override;
  void DeviceRebuild() override;
  void DeviceLost() override;
  void DeviceReset() override;
  void DestroyByWrapper() override;

 private:
  D3DFORMAT ChooseFormat();
  void CreateD3DTexture(std::uint32_t width, std::uint32_t height);
  // Reads the headers at the stream's position, sizes the texture to the bitmap and decodes
  // it; the log names the bytes by `source`. Throws on a short header, and (after logging
  // why) on a size the device cannot make or more pixel rows than the stream holds, before
  // anything is allocated.
  void SizeAndDecode(data::Stream& stream, std::string_view source);
  void ReleaseTexture();
  void SaveContent();
  void Changed();

  std::int32_t id_ = -1;
  std::string name_;
  TDGCarad* carad_;
  D3DFORMAT format_ = D3DFMT_UNKNOWN;
  std::vector<D3DFORMAT> formats_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::uint32_t textureWidth_ = 0;
  std::uint32_t textureHeight_ = 0;
  float scaleU_ = 0;
  float scaleV_ = 0;
  std::uint64_t version_ = 0;
  IDirect3DTexture9* texture_ = nullptr;
  DWORD usage_;
  D3DPOOL pool_;
  bool locked_ = false;
  D3DLOCKED_RECT lockedRect_{};
  RECT lockRect_{};
  std::int32_t bytesPerPixel_ = 0;
  UINT levels_;
  bool keepContent_;
  TDGLoadSource loadSource_ = dglsNone;
  std::string fileName_;
  std::string archiveName_;
  std::string archiveId_;
  std::unique_ptr<data::MemoryStream> savedContent_;
  bool rebuilding_ = false;
};

}  // namespace dg
