#include "settings/dialogs/windows/win_controls.h"

#include <wincodec.h>

#include "platform/text/text.h"

namespace settings::win {

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = platform::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const std::wstring& wide) {
  return platform::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

int WindowDpi(HWND window) {
  // Windows 10 1607 and later know each monitor's; earlier ones have the system's alone.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

Palette::~Palette() {
  for (const auto& [key, font] : fonts_) DeleteObject(font);
  for (const auto& [key, brush] : brushes_) DeleteObject(brush);
}

HFONT Palette::Font(const std::string& face, int pixelSize, std::uint8_t style) {
  const auto key = std::make_tuple(face, ScaleToDpi(pixelSize, dpi_), style);
  if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
  LOGFONTW font{};
  font.lfHeight = -std::get<1>(key);
  font.lfWeight = style & 0x01 ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (style & 0x02) != 0;
  font.lfUnderline = (style & 0x04) != 0;
  font.lfStrikeOut = (style & 0x08) != 0;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  const std::wstring name = Wide(face);
  wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  HFONT made = CreateFontIndirectW(&font);
  fonts_[key] = made;
  return made;
}

HBRUSH Palette::Brush(std::uint32_t bgr) {
  if (const auto found = brushes_.find(bgr); found != brushes_.end()) return found->second;
  HBRUSH made = CreateSolidBrush(bgr);
  brushes_[bgr] = made;
  return made;
}

void SetClientSize(HWND window, int width, int height) {
  const int dpi = WindowDpi(window);
  RECT frame{0, 0, ScaleToDpi(width, dpi), ScaleToDpi(height, dpi)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveWindowTo(HWND window, int left, int top) {
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnDesktop(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  RECT desktop{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
  MoveWindowTo(window,
               desktop.left + (desktop.right - desktop.left - (frame.right - frame.left)) / 2,
               desktop.top + (desktop.bottom - desktop.top - (frame.bottom - frame.top)) / 2);
}

void PlaceControl(HWND dialog, int id, int left, int top, int width, int height) {
  if (HWND control = GetDlgItem(dialog, id)) {
    const int dpi = WindowDpi(dialog);
    SetWindowPos(control, nullptr, ScaleToDpi(left, dpi), ScaleToDpi(top, dpi),
                 ScaleToDpi(width, dpi), ScaleToDpi(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

HBRUSH ColourControl(HDC dc, const Look& look, Palette& palette, std::uint32_t windowColour) {
  SetTextColor(dc, look.text);
  if (look.background == kTransparent) {
    SetBkMode(dc, TRANSPARENT);
    return palette.Brush(windowColour);
  }
  const auto background = static_cast<std::uint32_t>(look.background);
  SetBkColor(dc, background);
  return palette.Brush(background);
}

void DrawPushButton(const DRAWITEMSTRUCT& item, std::uint32_t textColour) {
  RECT box = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : textColour);
  SetBkMode(item.hDC, TRANSPARENT);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = SelectObject(item.hDC, font);
  const std::wstring caption = Wide(WindowText(item.hwndItem));
  if (pushed) OffsetRect(&box, 1, 1);
  DrawTextW(item.hDC, caption.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(item.hDC, previous);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(item.hDC, &focus);
  }
}

namespace {

// The first frame of what `open` gives a decoder for, as a 32-bit top-down DIB section.
template <class Open>
HBITMAP Decode(Open&& open) {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory)))) {
    return nullptr;
  }
  HBITMAP bitmap = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0, height = 0;
  if (open(*factory, &decoder) && SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const UINT stride = width * 4;
    if (bitmap &&
        FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  factory->Release();
  return bitmap;
}

}  // namespace

HBITMAP LoadPicture(const std::string& path) {
  const std::wstring name = Wide(path);
  return Decode([&](IWICImagingFactory& factory, IWICBitmapDecoder** decoder) {
    return SUCCEEDED(factory.CreateDecoderFromFilename(name.c_str(), nullptr, GENERIC_READ,
                                                       WICDecodeMetadataCacheOnDemand, decoder));
  });
}

HBITMAP LoadPictureResource(int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  auto* bytes = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (!bytes || size == 0) return nullptr;
  IWICStream* stream = nullptr;
  HBITMAP bitmap = Decode([&](IWICImagingFactory& factory, IWICBitmapDecoder** decoder) {
    return SUCCEEDED(factory.CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromMemory(bytes, size)) &&
           SUCCEEDED(factory.CreateDecoderFromStream(stream, nullptr,
                                                     WICDecodeMetadataCacheOnDemand, decoder));
  });
  if (stream) stream->Release();
  return bitmap;
}

void DrawPicture(HDC dc, const RECT& box, HBITMAP bitmap, Fit fit) {
  if (!bitmap) return;
  BITMAP size{};
  GetObjectW(bitmap, sizeof(size), &size);
  if (size.bmWidth <= 0 || size.bmHeight <= 0) return;
  int width = box.right - box.left, height = box.bottom - box.top;
  if (fit == Fit::kProportional) {
    // The larger of the two scales that still fit, computed without rounding up.
    if (static_cast<long long>(size.bmWidth) * height >
        static_cast<long long>(size.bmHeight) * width) {
      height = static_cast<int>(static_cast<long long>(size.bmHeight) * width / size.bmWidth);
    } else {
      width = static_cast<int>(static_cast<long long>(size.bmWidth) * height / size.bmHeight);
    }
  }
  HDC source = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(source, bitmap);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, box.left, box.top, width, height, source, 0, 0, size.bmWidth, size.bmHeight,
             SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

}  // namespace settings::win
