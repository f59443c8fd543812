// What the Win32 dialog windows share: UTF-8 and wide text, fonts and brushes made once
// per look, exact pixel places, the coloured push buttons, and pictures from files.
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

// The fonts and brushes of one window, made on first use and freed with it.
class Palette {
 public:
  Palette() = default;
  ~Palette();
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

  HFONT Font(const std::string& face, int pixelSize, std::uint8_t style);
  HBRUSH Brush(std::uint32_t bgr);

 private:
  std::map<std::tuple<std::string, int, std::uint8_t>, HFONT> fonts_;
  std::map<std::uint32_t, HBRUSH> brushes_;
};

// Gives the window a client area of exactly this size, keeping its top-left corner.
void SetClientSize(HWND window, int width, int height);
// Puts the window's top-left corner at this screen position, or centres it on the desktop.
void MoveWindowTo(HWND window, int left, int top);
void CentreOnDesktop(HWND window);
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
