#include "settings/dialogs/windows/picture_window.h"

#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/windows/dialog_ids.h"

namespace settings::win {
namespace {

using platform::ui::kFaceMsPGothic;

constexpr std::uint8_t kBold = 0x01;
constexpr int kItemHeight = 16;
// The list scrolls sideways over this width so that long paths can be read to the end.
constexpr int kScrollWidth = 1500;

struct Place {
  int id, left, top, width, height;
};
constexpr Place kPlaces[] = {
    {IDC_PS_LABEL1, AT_PS_LABEL1},   {IDC_PS_BTN_SANSHO, AT_PS_BTN_SANSHO},
    {IDC_PS_BTN_DEL, AT_PS_BTN_DEL}, {IDC_PS_LISTBOX1, AT_PS_LISTBOX1},
    {IDC_PS_IMAGE1, AT_PS_IMAGE1},
};

constexpr Look kLooks[] = {
    {IDC_PS_LABEL1, kFaceMsPGothic, 16, 0, 0x008000, kTransparent},
    {IDC_PS_BTN_SANSHO, kFaceMsPGothic, 16, kBold, 0x000000, kTransparent},
    {IDC_PS_BTN_DEL, kFaceMsPGothic, 16, kBold, 0x000000, kTransparent},
    {IDC_PS_LISTBOX1, kFaceMsPGothic, 16, 0, 0x000000, kTransparent},
};

std::uint32_t FaceColour() { return GetSysColor(COLOR_BTNFACE); }

}  // namespace

PictureWindow::PictureWindow(PictureSelectLogic& logic, const HWND& owner)
    : logic_(logic), owner_(owner) {}

PictureWindow::~PictureWindow() {
  if (window_) DestroyWindow(window_);
  ClearPreview();
}

void PictureWindow::Exec() {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PICTURE_SELECT), owner_,
                  Procedure, reinterpret_cast<LPARAM>(this));
}

void PictureWindow::Open() {
  modeless_ = true;
  CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PICTURE_SELECT), owner_,
                     Procedure, reinterpret_cast<LPARAM>(this));
  if (window_) ShowWindow(window_, SW_SHOW);
}

void PictureWindow::Close() {
  if (window_) SendMessageW(window_, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK PictureWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<PictureWindow*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->window_ = window;
  }
  auto* self = reinterpret_cast<PictureWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

void PictureWindow::Initialise() {
  const int dpi = WindowDpi(window_);
  palette_.SetDpi(dpi);
  SetClientSize(window_, PICTURE_SELECT_CLIENT);
  const POINT at{PICTURE_SELECT_POSITION};
  MoveWindowTo(window_, ScaleToDpi(at.x, dpi), ScaleToDpi(at.y, dpi));
  for (const Place& place : kPlaces) {
    PlaceControl(window_, place.id, place.left, place.top, place.width, place.height);
  }
  for (const Look& look : kLooks) {
    SendDlgItemMessageW(
        window_, look.id, WM_SETFONT,
        reinterpret_cast<WPARAM>(palette_.Font(look.face, look.pixelSize, look.style)), FALSE);
  }
  SendMessageW(List(), LB_SETHORIZONTALEXTENT, ScaleToDpi(kScrollWidth, dpi), 0);
  SendMessageW(List(), LB_SETITEMHEIGHT, 0, ScaleToDpi(kItemHeight, dpi));
  logic_.Attach(this);
  logic_.FormShow();
}

void PictureWindow::Closing() {
  logic_.FormClose();
  logic_.Attach(nullptr);
  HWND window = std::exchange(window_, nullptr);
  ClearPreview();
  if (modeless_) {
    modeless_ = false;
    DestroyWindow(window);
  } else {
    EndDialog(window, 0);
  }
}

INT_PTR PictureWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      return TRUE;
    case WM_CLOSE:
      Closing();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PS_BTN_SANSHO:
          if (HIWORD(wParam) == BN_CLICKED) logic_.BtnSanshoClick();
          return TRUE;
        case IDC_PS_BTN_DEL:
          if (HIWORD(wParam) == BN_CLICKED) logic_.BtnDelClick();
          return TRUE;
        case IDC_PS_LISTBOX1:
          if (HIWORD(wParam) == LBN_SELCHANGE) logic_.ListBox1Click();
          return TRUE;
        case IDCANCEL:
          Closing();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CTLCOLORSTATIC: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      for (const Look& look : kLooks) {
        if (look.id == id) {
          return reinterpret_cast<INT_PTR>(
              ColourControl(reinterpret_cast<HDC>(wParam), look, palette_, FaceColour()));
        }
      }
      return FALSE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID != IDC_PS_IMAGE1) return FALSE;
      FillRect(item.hDC, &item.rcItem, palette_.Brush(FaceColour()));
      DrawPicture(item.hDC, item.rcItem, preview_, Fit::kProportional);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

HWND PictureWindow::List() const { return GetDlgItem(window_, IDC_PS_LISTBOX1); }

void PictureWindow::SetInstruction(const std::string& text) {
  // A static control breaks lines at CR LF.
  std::string lines;
  for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  SetDlgItemTextW(window_, IDC_PS_LABEL1, Wide(lines).c_str());
}

void PictureWindow::SetItems(const std::vector<std::string>& paths) {
  if (!window_) return;
  SendMessageW(List(), LB_RESETCONTENT, 0, 0);
  for (const std::string& path : paths) AddItem(path);
}

void PictureWindow::AddItem(const std::string& path) {
  if (window_) SendMessageW(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
}

void PictureWindow::ReplaceItem(int row, const std::string& path) {
  if (!window_) return;
  const bool selected = SelectedRow() == row;
  SendMessageW(List(), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  SendMessageW(List(), LB_INSERTSTRING, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(Wide(path).c_str()));
  if (selected) SendMessageW(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void PictureWindow::RemoveItem(int row) {
  if (!window_) return;
  SendMessageW(List(), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  SendMessageW(List(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int PictureWindow::SelectedRow() const {
  if (!window_) return -1;
  const auto row = SendMessageW(List(), LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

void PictureWindow::SetDeleteEnabled(bool enabled) {
  if (window_) EnableWindow(GetDlgItem(window_, IDC_PS_BTN_DEL), enabled);
}

bool PictureWindow::ShowPreview(const std::string& path) {
  HBITMAP picture = LoadPicture(path);
  if (!picture) return false;
  ClearPreview();
  preview_ = picture;
  if (window_) InvalidateRect(GetDlgItem(window_, IDC_PS_IMAGE1), nullptr, TRUE);
  return true;
}

void PictureWindow::ClearPreview() {
  if (preview_) DeleteObject(std::exchange(preview_, nullptr));
  if (window_) InvalidateRect(GetDlgItem(window_, IDC_PS_IMAGE1), nullptr, TRUE);
}

}  // namespace settings::win
