// What the Win32 dialog windows share: UTF-8 and wide text, fonts and brushes made once
// per look, exact pixel places, the coloured push buttons, and pictures from files.
//
// Places and font sizes are given in pixels at 96 dots per inch; the windows are made at the
// monitor's scaling (the program is per-monitor DPI aware), so each is multiplied by the
// window's DPI / 96: at 150 % the dialogs keep their layout, one and a half times larger, with
// sharp text instead of a stretched picture of it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

namespace settings::win {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string WindowText(HWND window);

// A colour in the Windows byte order 0x00BBGGRR; kTransparent lets the window's own
// background show through a label.
inline constexpr std::int64_t kTransparent = -1;

// How a control looks: its font (face, character height in pixels, record.dat style
// bits), its text colour and its background.
struct Look {
  int id;
  const char* face;
  int pixelSize;
  std::uint8_t style;
  std::uint32_t text;
  std::int64_t background;
};

// The window's dots per inch: its monitor's where the system says, else the system's.
int WindowDpi(HWND window);
// Pixels at 96 DPI as pixels at `dpi`.
int ScaleToDpi(int pixels, int dpi);

// The fonts and brushes of one window, made on first use and freed with it. Font sizes are
// given at 96 DPI and made at the palette's DPI.
class Palette {
 public:
  Palette() = default;
  void SetDpi(int dpi) { dpi_ = dpi; }
  int Dpi() const { return dpi_; }
  ~Palette();
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

  HFONT Font(const std::string& face, int pixelSize, std::uint8_t style);
  HBRUSH Brush(std::uint32_t bgr);

 private:
  std::map<std::tuple<std::string, int, std::uint8_t>, HFONT> fonts_;
  std::map<std::uint32_t, HBRUSH> brushes_;
  int dpi_ = 96;
};

// Gives the window a client area of this size (at 96 DPI), keeping its top-left corner.
void SetClientSize(HWND window, int width, int height);
// Puts the window's top-left corner at this screen position (in the screen's own pixels), or
// centres it on the desktop.
void MoveWindowTo(HWND window, int left, int top);
void CentreOnDesktop(HWND window);
// Puts a control at this place in the dialog's client area (at 96 DPI).
void PlaceControl(HWND dialog, int id, int left, int top, int width, int height);

// Text colour and background of a control, for WM_CTLCOLORSTATIC: the brush to return.
HBRUSH ColourControl(HDC dc, const Look& look, Palette& palette, std::uint32_t windowColour);
// An owner-drawn push button: the system's frame, the caption in `textColour` (grey when
// disabled), the focus rectangle.
void DrawPushButton(const DRAWITEMSTRUCT& item, std::uint32_t textColour);

// A picture file (BMP, JPEG or anything else the system's imaging component decodes) as a
// 32-bit bitmap; null when it cannot be read or decoded.
HBITMAP LoadPicture(const std::string& path);
// The same for a picture built into the program as an RCDATA resource.
HBITMAP LoadPictureResource(int id);
// Draws `bitmap` into `box`: stretched over it, or at the top left as large as fits with
// its proportions kept.
enum class Fit { kStretch, kProportional };
void DrawPicture(HDC dc, const RECT& box, HBITMAP bitmap, Fit fit);

}  // namespace settings::win
