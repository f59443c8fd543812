#include "dg/texture.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "data/qda.h"
#include "dg/bmp_decoder.h"
#include "dg/debug_log.h"
#include "dg/log_format.h"
#include "dg/pixel_format.h"
#include "dg/result_names.h"
#include "platform/fs/fs.h"

namespace dg {

namespace {

constexpr char kReleaseFailed[] = "テクスチャの解放に失敗しました";
constexpr char kCreateFailed[] = "テクスチャの生成に失敗しました";

// A bitmap the texture refuses to allocate for.
class BitmapRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The smallest power of two not below `size` (1 for 0 and 1), saturated at 2^31 and above
// so that no size wraps to 0.
std::uint32_t PowerOfTwoAtLeast(std::uint32_t size) {
  if (size > 0x80000000u) return 0xFFFFFFFFu;
  return std::bit_ceil(std::max<std::uint32_t>(size, 1));
}

// The size a device with `textureCaps` allocates for a logical size.
void AllocatedSize(DWORD textureCaps, std::uint32_t& width, std::uint32_t& height) {
  if (textureCaps & D3DPTEXTURECAPS_SQUAREONLY) width = height = std::max(width, height);
  if (textureCaps & D3DPTEXTURECAPS_POW2) {
    width = PowerOfTwoAtLeast(width);
    height = PowerOfTwoAtLeast(height);
  }
}

std::uint32_t ReadLE(const std::uint8_t* p, std::int32_t bytes) {
  std::uint32_t value = 0;
  for (std::int32_t i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return value;
}

void WriteLE(std::uint8_t* p, std::uint32_t value, std::int32_t bytes) {
  for (std::int32_t i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put16(data::MemoryStream& out, std::uint32_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                 static_cast<std::uint8_t>(value >> 8)};
  out.Write(bytes, sizeof bytes);
}

void Put32(data::MemoryStream& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  WriteLE(bytes, value, 4);
  out.Write(bytes, sizeof bytes);
}

// The file and information headers of a 32-bit bottom-up BMP of width x height.
void WriteBMP32Headers(data::MemoryStream& out, std::uint32_t width, std::uint32_t height) {
  const std::uint32_t imageSize = width * height * 4;
  out.Write("BM", 2);
  Put32(out, imageSize + 54);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, imageSize);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
}

}  // namespace

TDGTexture::TDGTexture(TDGCarad& carad, std::vector<D3DFORMAT> formats, DWORD usage, D3DPOOL pool,
                       UINT levels, std::string name)
    : name_(std::move(name)),
      carad_(&carad),
      formats_(std::move(formats)),
      usage_(usage),
      pool_(pool),
      levels_(levels),
      keepContent_(pool != D3DPOOL_DEFAULT) {
  Changed();
  id_ = carad_->RegisterResource(this, name_);
}

TDGTexture::~TDGTexture() {
  if (carad_ != nullptr) DestroyByWrapper();
}

void TDGTexture::DestroyByWrapper() {
  if (carad_ == nullptr) return;
  DetailLog("テクスチャオブジェクトを解放します");
  Changed();
  if (texture_ != nullptr) {
    CheckResult(static_cast<std::int32_t>(texture_->Release()), kReleaseFailed);
    texture_ = nullptr;
  }
  savedContent_.reset();
  TDGCarad* carad = carad_;
  carad_ = nullptr;
  carad->UnregisterResource(id_);
}

void TDGTexture::Changed() {
  static std::atomic<std::uint64_t> versions{0};
  version_ = versions.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TDGTexture::ReleaseTexture() {
  Changed();
  if (texture_ == nullptr) return;
  CheckResult(static_cast<std::int32_t>(texture_->Release()), kReleaseFailed);
  texture_ = nullptr;
}

D3DFORMAT TDGTexture::ChooseFormat() {
  D3DSURFACE_DESC desc{};
  if (carad_->BackBufferCount() > 0 && carad_->BackBuffers(0) != nullptr) {
    carad_->BackBuffers(0)->GetDesc(&desc);
  }
  for (const D3DFORMAT candidate : formats_) {
    if (carad_->D3D()->CheckDeviceFormat(carad_->Adapter(), carad_->DeviceType(), desc.Format,
                                         usage_, D3DRTYPE_TEXTURE, candidate) == D3D_OK) {
      return candidate;
    }
  }
  return desc.Format;
}

void TDGTexture::PrefetchForDrawing() const {
  __builtin_prefetch(&width_);
  __builtin_prefetch(&texture_);
}

void TDGTexture::PrefetchDeviceTexture() const {
  if (texture_ == nullptr) return;
  // A device keeps what binding and drawing read near the start of its object.
  const auto* object = reinterpret_cast<const char*>(texture_);
  __builtin_prefetch(object);
  __builtin_prefetch(object + 64);
}

void TDGTexture::SetSize(std::uint32_t width, std::uint32_t height) {
  width_ = width;
  height_ = height;
  std::uint32_t textureWidth = width;
  std::uint32_t textureHeight = height;
  D3DCAPS9 caps{};
  if (carad_ != nullptr && carad_->D3D() != nullptr &&
      carad_->D3D()->GetDeviceCaps(carad_->Adapter(), carad_->DeviceType(), &caps) == D3D_OK) {
    if (width > caps.MaxTextureWidth || height > caps.MaxTextureHeight) {
      DetailLog(LogFormat("要求されたテクスチャのサイズは大きすぎます。%d x %d 以内にして下さい",
                          static_cast<int>(caps.MaxTextureWidth),
                          static_cast<int>(caps.MaxTextureHeight)));
    }
    AllocatedSize(caps.TextureCaps, textureWidth, textureHeight);
  }
  textureWidth_ = textureWidth;
  textureHeight_ = textureHeight;
  // A zero-sized texture has no edge to address: its scales are 0, not 0 / 0.
  scaleU_ =
      textureWidth == 0 ? 0.0f : static_cast<float>(static_cast<double>(width) / textureWidth);
  scaleV_ =
      textureHeight == 0 ? 0.0f : static_cast<float>(static_cast<double>(height) / textureHeight);
  CreateD3DTexture(textureWidth, textureHeight);
  if (keepContent_) {
    const RECT whole{0, 0, static_cast<LONG>(textureWidth), static_cast<LONG>(textureHeight)};
    FillRect(whole, FillColor, TDGFillAlpha::Replace);
  }
  if (!rebuilding_) {
    savedContent_.reset();
    loadSource_ = dglsDrawn;
  }
}

void TDGTexture::CreateD3DTexture(std::uint32_t width, std::uint32_t height) {
  if (texture_ != nullptr) {
    DetailLog("テクスチャの再生成に伴い、以前のテクスチャを解放します");
    ReleaseTexture();
  }
  Changed();
  if (carad_ == nullptr || carad_->Device() == nullptr) {
    CheckResult(1, kCreateFailed);
    return;
  }
  format_ = ChooseFormat();
  DetailLog(LogFormat("使用されるフォーマットは %s です", D3DFormatName(format_).c_str()));
  IDirect3DDevice9* device = carad_->Device();
  CheckResult(
      device->CreateTexture(width, height, levels_, usage_, format_, pool_, &texture_, nullptr),
      kCreateFailed);
  DetailLog(LogFormat("残りテクスチャ容量は、約%.2fメガです",
                      device->GetAvailableTextureMem() / 1048576.0));
  bytesPerPixel_ = FormatBits(format_) / 8;
}

void TDGTexture::SizeAndDecode(data::Stream& stream, std::string_view source) {
  const std::uint64_t start = stream.Position();
  std::uint8_t fileHeader[kBMPFileHeaderSize];
  std::uint8_t infoHeader[kBMPInfoHeaderSize];
  stream.ReadExact(fileHeader, sizeof fileHeader);
  stream.ReadExact(infoHeader, sizeof infoHeader);
  BMPHeader header = ParseBMPFileHeader(fileHeader);
  ParseBMPInfoHeader(infoHeader, header);

  // Nothing is allocated for a size the device cannot make or for more pixel rows than
  // the stream holds.
  D3DCAPS9 caps{};
  const bool capsKnown =
      carad_ != nullptr && carad_->D3D() != nullptr &&
      carad_->D3D()->GetDeviceCaps(carad_->Adapter(), carad_->DeviceType(), &caps) == D3D_OK;
  std::uint32_t textureWidth = static_cast<std::uint32_t>(header.width);
  std::uint32_t textureHeight = static_cast<std::uint32_t>(header.height);
  if (capsKnown) AllocatedSize(caps.TextureCaps, textureWidth, textureHeight);
  if (header.width <= 0 || header.height <= 0 || !capsKnown ||
      textureWidth > caps.MaxTextureWidth || textureHeight > caps.MaxTextureHeight) {
    throw BitmapRefused(LogFormat("ビットマップのサイズ %d x %d のテクスチャは作れません",
                                  header.width, header.height));
  }
  // Rows the data does not hold keep the fill colour; the decoder copies those present.
  const std::uint64_t stride = BMPSourceStride(header.width, header.bitCount);
  const std::uint64_t pixelsAt = start + header.pixelOffset;
  const std::uint64_t rowsPresent =
      stride == 0 || stream.Size() <= pixelsAt ? 0 : (stream.Size() - pixelsAt) / stride;
  if (rowsPresent < static_cast<std::uint64_t>(header.height)) {
    DebugLog(
        LogFormat("ビットマップ %d x %d のデータが足りません。%d 行のうち %d 行だけを読み込みます",
                  header.width, header.height, header.height, static_cast<int>(rowsPresent)));
  }

  SetSize(static_cast<std::uint32_t>(header.width), static_cast<std::uint32_t>(header.height));
  stream.Seek(start);
  DecodeBMP(texture_, stream, source);
}

void TDGTexture::LoadBMP(const std::string& fileName, const std::string& archiveName) {
  if (archiveName.empty()) {
    DetailLog(LogFormat("ID %d(%s) のテクスチャに、%s を読み込みます", id_, name_.c_str(),
                        fileName.c_str()));
    try {
      data::FileStream file(fileName);
      SizeAndDecode(file, fileName);
    } catch (const std::exception& error) {
      NoteFailureCause(error.what());
      CheckResult(1, platform::DisplayPath(fileName) + "からの、読み込みエラー");
    }
    loadSource_ = dglsFile;
    fileName_ = fileName;
    return;
  }
  DetailLog(LogFormat("ID %d(%s) のテクスチャに、QDAファイル%s から ID %s を読み込みます", id_,
                      name_.c_str(), archiveName.c_str(), fileName.c_str()));
  try {
    data::MemoryStream entry = data::ExtractQDAFile(archiveName, fileName);
    SizeAndDecode(entry, fileName + " ＠ " + archiveName);
  } catch (const std::exception& error) {
    // The archive reader names what is wrong; the line after it names the item.
    if (dynamic_cast<const BitmapRefused*>(&error) == nullptr) DebugLog(error.what());
    NoteFailureCause(error.what());
    CheckResult(1,
                fileName + " ＠ " + platform::DisplayPath(archiveName) + "からの、読み込みエラー");
  }
  loadSource_ = dglsArchive;
  archiveName_ = archiveName;
  archiveId_ = fileName;
}

void TDGTexture::LoadFromStream(data::Stream& stream) {
  DetailLog(LogFormat("ID %d のテクスチャに、ストリームから読み込みます", id_));
  try {
    SizeAndDecode(stream, LogFormat("the stream of texture ID %d", id_));
    loadSource_ = dglsDrawn;
  } catch (const std::exception& error) {
    NoteFailureCause(error.what());
    CheckResult(1, "ストリームからの、読み込みエラー");
  }
}

void TDGTexture::LoadFromBitmap(const TDGBitmap& bitmap) {
  DetailLog(LogFormat("ID %d のテクスチャに、TBitmapから読み込みます", id_));
  data::MemoryStream stream;
  WriteBMP32Headers(stream, bitmap.width, bitmap.height);
  const std::uint64_t count = static_cast<std::uint64_t>(bitmap.width) * bitmap.height;
  if (bitmap.pixels.size() >= count) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.width) * 4);
    for (std::uint32_t y = bitmap.height; y-- > 0;) {
      const std::uint32_t* src = bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width;
      for (std::uint32_t x = 0; x < bitmap.width; ++x) WriteLE(row.data() + 4 * x, src[x], 4);
      stream.Write(row.data(), row.size());
    }
  }
  // A bitmap with fewer pixels than its size is left without pixel rows and refused.
  stream.Seek(0);
  LoadFromStream(stream);
  loadSource_ = dglsDrawn;
}

void TDGTexture::SaveToStream(data::MemoryStream& stream) {
  WriteBMP32Headers(stream, width_, height_);
  const RECT rect{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  D3DLOCKED_RECT locked{};
  if (LockRect(0, &rect, locked, D3DLOCK_READONLY) != D3D_OK) return;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width_) * 4);
  const auto* bits = static_cast<const std::uint8_t*>(locked.pBits);
  for (std::uint32_t y = height_; y-- > 0;) {
    const std::uint8_t* src = bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch;
    for (std::uint32_t x = 0; x < width_; ++x) {
      WriteLE(
          row.data() + 4 * x,
          UnpackColor(ReadLE(src + static_cast<std::size_t>(x) * bytesPerPixel_, bytesPerPixel_),
                      format_),
          4);
    }
    stream.Write(row.data(), row.size());
  }
  UnlockRect();
}

HRESULT TDGTexture::LockRect(UINT level, const RECT* rect, D3DLOCKED_RECT& locked, DWORD flags) {
  if ((flags & D3DLOCK_READONLY) == 0) {
    Changed();
    if (loadSource_ != dglsNone) loadSource_ = dglsDrawn;
  }
  if (texture_ == nullptr) {
    return CheckResult(
        1, "テクスチャが確保されていません。LockRectの前にSetSizeするか、BMPを読み込んでください");
  }
  lockRect_ = rect != nullptr
                  ? *rect
                  : RECT{0, 0, static_cast<LONG>(textureWidth_), static_cast<LONG>(textureHeight_)};
  const HRESULT result = texture_->LockRect(level, &lockedRect_, rect, flags);
  CheckResult(result, "LockRectに失敗しました");
  if (result != D3D_OK) return result;
  locked_ = true;
  locked = lockedRect_;
  return result;
}

HRESULT TDGTexture::UnlockRect() {
  HRESULT result = D3D_OK;
  if (texture_ != nullptr) {
    result = texture_->UnlockRect(0);
    CheckResult(result, "アンロックに失敗しました");
  }
  locked_ = false;
  return result;
}

void TDGTexture::ForEachPixel(const RECT& rect, const PixelFunction& function) {
  D3DLOCKED_RECT locked{};
  if (LockRect(0, &rect, locked, 0) != D3D_OK) return;
  auto* bits = static_cast<std::uint8_t*>(locked.pBits);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(y - rect.top) * locked.Pitch;
    for (LONG x = rect.left; x < rect.right; ++x) {
      std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x - rect.left) * bytesPerPixel_;
      WriteLE(pixel, function(*this, ReadLE(pixel, bytesPerPixel_), x, y), bytesPerPixel_);
    }
  }
  UnlockRect();
}

void TDGTexture::FillRect(const RECT& rect, D3DCOLOR color, TDGFillAlpha alpha) {
  D3DLOCKED_RECT locked{};
  if (LockRect(0, &rect, locked, 0) != D3D_OK) return;
  auto* bits = static_cast<std::uint8_t*>(locked.pBits);
  const std::size_t width = static_cast<std::size_t>(std::max<LONG>(0, rect.right - rect.left));
  const std::size_t height = static_cast<std::size_t>(std::max<LONG>(0, rect.bottom - rect.top));
  const std::size_t span = width * static_cast<std::size_t>(bytesPerPixel_);
  if (alpha == TDGFillAlpha::Replace) {
    const std::uint32_t value = PackColor(color, format_);
    for (std::size_t x = 0; x < width && height > 0; ++x) {
      WriteLE(bits + x * bytesPerPixel_, value, bytesPerPixel_);
    }
    for (std::size_t y = 1; y < height; ++y) {
      std::memcpy(bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch, bits, span);
    }
  } else {
    for (std::size_t y = 0; y < height; ++y) {
      std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch;
      for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t* pixel = row + x * bytesPerPixel_;
        const std::uint32_t old = UnpackColor(ReadLE(pixel, bytesPerPixel_), format_);
        WriteLE(pixel, PackColor((old & 0xFF000000u) | (color & 0x00FFFFFFu), format_),
                bytesPerPixel_);
      }
    }
  }
  UnlockRect();
}

void TDGTexture::ColorKey(const RECT& rect, D3DCOLOR color) {
  // Key and pixels are compared as the format stores them, so a key that the format
  // cannot represent exactly still matches its own stored pixels.
  const std::uint32_t key = UnpackColor(PackColor(color, format_), format_) & 0x00FFFFFFu;
  ForEachPixel(rect, [key](TDGTexture& texture, std::uint32_t pixel, int, int) {
    const std::uint32_t c = UnpackColor(pixel, texture.Format());
    const std::uint32_t keyed = (c & 0x00FFFFFFu) == key ? (c & 0x00FFFFFFu) : (c | 0xFF000000u);
    return PackColor(keyed, texture.Format());
  });
}

void TDGTexture::SaveContent() {
  savedContent_ = std::make_unique<data::MemoryStream>();
  SaveToStream(*savedContent_);
  savedContent_->Seek(0);
}

void TDGTexture::DeviceRelease() {
  Changed();
  if (texture_ == nullptr) return;
  if (loadSource_ == dglsDrawn && keepContent_) SaveContent();
  texture_->Release();
  texture_ = nullptr;
}

void TDGTexture::DeviceRebuild() {
  // A texture that was never sized or loaded stays empty: there is nothing to restore.
  if (loadSource_ == dglsNone) return;
  rebuilding_ = true;
  if (!keepContent_) {
    SetSize(width_, height_);
  } else if (loadSource_ == dglsFile) {
    LoadBMP(fileName_, "");
  } else if (loadSource_ == dglsArchive) {
    LoadBMP(archiveId_, archiveName_);
  } else if (savedContent_ != nullptr) {
    LoadFromStream(*savedContent_);
    savedContent_.reset();
  } else {
    SetSize(width_, height_);
  }
  rebuilding_ = false;
}

void TDGTexture::DeviceLost() {
  if (pool_ == D3DPOOL_DEFAULT) DeviceRelease();
}

void TDGTexture::DeviceReset() {
  if (pool_ == D3DPOOL_DEFAULT) SetSize(width_, height_);
}

}  // namespace dg
