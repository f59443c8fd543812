// The Windows Imaging Component decodes and encodes; its objects live in ComPtr holders, and
// every failing call becomes the reason of the result, with the system's code.
#include "jpeg/jpeg.h"

#include <windows.h>
// After windows.h, whose types they use.
#include <ocidl.h>
#include <wincodec.h>

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace jpeg {
namespace {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }
  void** outVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

// COM for the calling thread while one call lasts; a thread that has it already, in any
// mode, keeps it as it is.
class ComSession {
 public:
  ComSession() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComSession() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  HRESULT hr_;
};

std::string Reason(const char* step, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return std::string(step) + " failed (" + code + ")";
}

DecodeResult Failure(std::string reason) {
  DecodeResult r;
  r.error = "JPEG: " + std::move(reason);
  return r;
}

HRESULT MakeFactory(ComPtr<IWICImagingFactory>& factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_IWICImagingFactory, factory.outVoid());
}

}  // namespace

DecodeResult DecodeJpeg(std::span<const std::uint8_t> bytes, ShownSize shown) {
  if (bytes.empty()) return Failure("no data");
  if (bytes.size() > 0xFFFFFFFFu) return Failure("file larger than 4 GiB");
  ComSession com;
  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = MakeFactory(factory);
  if (FAILED(hr)) return Failure(Reason("the imaging component", hr));
  ComPtr<IWICStream> stream;
  hr = factory->CreateStream(stream.out());
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
  }
  if (FAILED(hr)) return Failure(Reason("reading from memory", hr));
  // The JPEG decoder itself: bytes of any other format are an error, not another picture.
  ComPtr<IWICBitmapDecoder> decoder;
  hr = factory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, decoder.out());
  if (SUCCEEDED(hr)) hr = decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand);
  if (FAILED(hr)) return Failure(Reason("reading the header", hr));
  ComPtr<IWICBitmapFrameDecode> frame;
  hr = decoder->GetFrame(0, frame.out());
  UINT width = 0, height = 0;
  if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
  if (FAILED(hr)) return Failure(Reason("reading the frame", hr));
  if (width < 1 || height < 1) return Failure("empty picture");
  if (width > kMaxSide || height > kMaxSide ||
      static_cast<std::int64_t>(width) * height > kMaxPixels) {
    return Failure("picture of " + std::to_string(width) + " x " + std::to_string(height) +
                   " pixels is larger than allowed");
  }

  IWICBitmapSource* source = frame.get();
  const int eighths = ScaleEighths(width, height, shown);
  const UINT outWidth = static_cast<UINT>(ScaledSide(width, eighths));
  const UINT outHeight = static_cast<UINT>(ScaledSide(height, eighths));
  ComPtr<IWICBitmapScaler> scaler;
  if (eighths < 8) {
    hr = factory->CreateBitmapScaler(scaler.out());
    if (SUCCEEDED(hr)) {
      hr = scaler->Initialize(frame.get(), outWidth, outHeight, WICBitmapInterpolationModeFant);
    }
    if (FAILED(hr)) return Failure(Reason("scaling", hr));
    source = scaler.get();
  }
  ComPtr<IWICFormatConverter> converter;
  hr = factory->CreateFormatConverter(converter.out());
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(source, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                               nullptr, 0.0, WICBitmapPaletteTypeCustom);
  }
  if (FAILED(hr)) return Failure(Reason("converting the colours", hr));

  DecodeResult result;
  result.image.width = static_cast<int>(outWidth);
  result.image.height = static_cast<int>(outHeight);
  result.image.pixels.assign(static_cast<std::size_t>(outWidth) * outHeight, 0);
  // BGRA bytes are 0xAARRGGBB read little-endian.
  hr = converter->CopyPixels(nullptr, outWidth * 4,
                             static_cast<UINT>(result.image.pixels.size() * 4),
                             reinterpret_cast<BYTE*>(result.image.pixels.data()));
  if (FAILED(hr)) return Failure(Reason("decoding", hr));
  for (std::uint32_t& pixel : result.image.pixels) pixel |= 0xFF000000u;
  return result;
}

std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality) {
  CheckEncodeArguments(image, quality);

  const auto check = [](const char* step, HRESULT hr) {
    if (FAILED(hr)) throw std::runtime_error("EncodeJpeg: " + Reason(step, hr));
  };
  ComSession com;
  ComPtr<IWICImagingFactory> factory;
  check("the imaging component", MakeFactory(factory));
  ComPtr<IStream> stream;
  check("a memory stream", CreateStreamOnHGlobal(nullptr, TRUE, stream.out()));
  ComPtr<IWICBitmapEncoder> encoder;
  check("the encoder", factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.out()));
  check("the encoder", encoder->Initialize(stream.get(), WICBitmapEncoderNoCache));
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  check("a frame", encoder->CreateNewFrame(frame.out(), options.out()));
  PROPBAG2 name = {};
  name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_R4;
  value.fltVal = static_cast<float>(quality) / 100.0f;
  check("the quality", options->Write(1, &name, &value));
  check("a frame", frame->Initialize(options.get()));
  check("the size",
        frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height)));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  check("the pixel format", frame->SetPixelFormat(&format));
  if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
    throw std::runtime_error("EncodeJpeg: the encoder does not take 24-bit pixels");
  const UINT stride = (static_cast<UINT>(image.width) * 3 + 3) & ~3u;
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * image.height);
  for (int y = 0; y < image.height; ++y) {
    BYTE* row = rows.data() + static_cast<std::size_t>(y) * stride;
    const std::uint32_t* src = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
    for (int x = 0; x < image.width; ++x) {
      row[3 * x + 0] = static_cast<BYTE>(src[x]);
      row[3 * x + 1] = static_cast<BYTE>(src[x] >> 8);
      row[3 * x + 2] = static_cast<BYTE>(src[x] >> 16);
    }
  }
  check("writing the pixels", frame->WritePixels(static_cast<UINT>(image.height), stride,
                                                 static_cast<UINT>(rows.size()), rows.data()));
  check("finishing the frame", frame->Commit());
  check("finishing the file", encoder->Commit());

  STATSTG stat = {};
  check("the stream's size", stream->Stat(&stat, STATFLAG_NONAME));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start = {};
  check("rewinding", stream->Seek(start, STREAM_SEEK_SET, nullptr));
  ULONG read = 0;
  check("reading back", stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read));
  bytes.resize(read);
  return bytes;
}

}  // namespace jpeg
