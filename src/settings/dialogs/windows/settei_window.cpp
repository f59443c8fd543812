#include "settings/dialogs/windows/settei_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/windows/dialog_ids.h"

namespace settings::win {
namespace {

using platform::ui::kFaceMsPGothic;
using platform::ui::kFaceMsPMincho;
using C = SetteiControl;

constexpr std::uint8_t kBold = 0x01, kItalic = 0x02;
constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kBlue = 0xFF0000, kGreen = 0x008000,
                        kSilver = 0xC0C0C0, kRed = 0x0000FF, kLime = 0x00FF00, kTeal = 0x808000,
                        kYellow = 0x00FFFF;
constexpr int kFontLabelPixels = 16;
constexpr int kFontLabelMinWidth = 80;
constexpr int kSliderMin = 1, kSliderMax = 10;
// How often the editor wait looks at the child between the window's messages.
constexpr DWORD kEditorPollMs = 50;

struct Place {
  int id, left, top, width, height;
};
constexpr Place kPlaces[] = {
    {IDC_LABEL1, AT_LABEL1},
    {IDC_LABEL2, AT_LABEL2},
    {IDC_LABEL3, AT_LABEL3},
    {IDC_TRACKBAR_SPEED, AT_TRACKBAR_SPEED},
    {IDC_LABEL4, AT_LABEL4},
    {IDC_LABEL5, AT_LABEL5},
    {IDC_LABEL6, AT_LABEL6},
    {IDC_TRACKBAR_WAIT_TIME, AT_TRACKBAR_WAIT_TIME},
    {IDC_CHECKBOX_IKISAKI, AT_CHECKBOX_IKISAKI},
    {IDC_CHECKBOX_IMI_HYOJI, AT_CHECKBOX_IMI_HYOJI},
    {IDC_RADIOGROUP_BGM, AT_RADIOGROUP_BGM},
    {IDC_RADIO_BGM_0, AT_RADIO_BGM_0},
    {IDC_RADIO_BGM_1, AT_RADIO_BGM_1},
    {IDC_RADIO_BGM_2, AT_RADIO_BGM_2},
    {IDC_BTN_SINGLE, AT_BTN_SINGLE},
    {IDC_LBL_MUSIC_NAME, AT_LBL_MUSIC_NAME},
    {IDC_BTN_RANDOM, AT_BTN_RANDOM},
    {IDC_LBL_RANDOM_FOLDA, AT_LBL_RANDOM_FOLDA},
    {IDC_LBL_KAKUNIN, AT_LBL_KAKUNIN},
    {IDC_CHECKBOX_HAIKEI, AT_CHECKBOX_HAIKEI},
    {IDC_BTN_HAIKEI, AT_BTN_HAIKEI},
    {IDC_BTN_TUIKA, AT_BTN_TUIKA},
    {IDC_CHECKBOX_YUSEN, AT_CHECKBOX_YUSEN},
    {IDC_CHECKBOX_QUARNEL, AT_CHECKBOX_QUARNEL},
    {IDC_CHECKBOX_BRISOLT, AT_CHECKBOX_BRISOLT},
    {IDC_BTN_FONT, AT_BTN_FONT},
    {IDC_LBL_FONT_NAME, AT_LBL_FONT_NAME},
    {IDC_BTN_HELP, AT_BTN_HELP},
    {IDC_IMAGE1, AT_IMAGE1},
    {IDC_LBL_URL, AT_LBL_URL},
};

// Buttons: blue bold captions. Check boxes and the music group: green bold on silver.
// Small labels: red bold. The link's colour changes with the pointer (linkColour_).
constexpr Look kLooks[] = {
    {IDC_LABEL1, kFaceMsPGothic, 16, kBold, kBlack, kTransparent},
    {IDC_LABEL2, kFaceMsPGothic, 13, kBold, kRed, kTransparent},
    {IDC_LABEL3, kFaceMsPGothic, 13, kBold, kRed, kTransparent},
    {IDC_TRACKBAR_SPEED, kFaceMsPGothic, 12, 0, kBlack, kTransparent},
    {IDC_LABEL4, kFaceMsPGothic, 16, kBold, kBlack, kTransparent},
    {IDC_LABEL5, kFaceMsPGothic, 13, kBold, kRed, kTransparent},
    {IDC_LABEL6, kFaceMsPGothic, 13, kBold, kRed, kTransparent},
    {IDC_TRACKBAR_WAIT_TIME, kFaceMsPGothic, 12, 0, kBlack, kTransparent},
    {IDC_CHECKBOX_IKISAKI, kFaceMsPGothic, 15, kBold, kGreen, kSilver},
    {IDC_CHECKBOX_IMI_HYOJI, kFaceMsPGothic, 15, kBold, kGreen, kSilver},
    {IDC_RADIOGROUP_BGM, kFaceMsPGothic, 16, kBold, kGreen, kSilver},
    {IDC_RADIO_BGM_0, kFaceMsPGothic, 16, kBold, kGreen, kSilver},
    {IDC_RADIO_BGM_1, kFaceMsPGothic, 16, kBold, kGreen, kSilver},
    {IDC_RADIO_BGM_2, kFaceMsPGothic, 16, kBold, kGreen, kSilver},
    {IDC_BTN_SINGLE, kFaceMsPGothic, 16, kBold, kBlue, kTransparent},
    {IDC_LBL_MUSIC_NAME, kFaceMsPGothic, 13, 0, kLime, kTeal},
    {IDC_BTN_RANDOM, kFaceMsPGothic, 13, kBold, kBlue, kTransparent},
    {IDC_LBL_RANDOM_FOLDA, kFaceMsPGothic, 13, 0, kLime, kTeal},
    {IDC_LBL_KAKUNIN, kFaceMsPGothic, 21, kBold, kYellow, kRed},
    {IDC_CHECKBOX_HAIKEI, kFaceMsPGothic, 16, kBold, kGreen, kSilver},
    {IDC_BTN_HAIKEI, kFaceMsPGothic, 16, kBold, kBlue, kTransparent},
    {IDC_BTN_TUIKA, kFaceMsPGothic, 16, kBold, kBlue, kTransparent},
    {IDC_CHECKBOX_YUSEN, kFaceMsPGothic, 13, kBold, kGreen, kSilver},
    {IDC_CHECKBOX_QUARNEL, kFaceMsPGothic, 13, kBold, kGreen, kSilver},
    {IDC_CHECKBOX_BRISOLT, kFaceMsPGothic, 13, kBold, kGreen, kSilver},
    {IDC_BTN_FONT, kFaceMsPGothic, 16, kBold, kBlue, kTransparent},
    {IDC_LBL_FONT_NAME, kFaceMsPMincho, kFontLabelPixels, kBold, kLime, kTeal},
    {IDC_BTN_HELP, kFaceMsPGothic, 16, kBold, kBlue, kTransparent},
    {IDC_LBL_URL, kFaceMsPGothic, 13, kBold | kItalic, kGreen, kTransparent},
};

const Look* LookOf(int id) {
  const auto found = std::find_if(std::begin(kLooks), std::end(kLooks),
                                  [id](const Look& l) { return l.id == id; });
  return found == std::end(kLooks) ? nullptr : &*found;
}

constexpr int IdOf(SetteiControl control) {
  switch (control) {
    case C::kTrackBarSpeed:
      return IDC_TRACKBAR_SPEED;
    case C::kTrackBarWaitTime:
      return IDC_TRACKBAR_WAIT_TIME;
    case C::kCheckBoxIkisaki:
      return IDC_CHECKBOX_IKISAKI;
    case C::kCheckBoxImiHyoji:
      return IDC_CHECKBOX_IMI_HYOJI;
    case C::kRadioGroupBGM:
      return IDC_RADIOGROUP_BGM;
    case C::kBtnSingle:
      return IDC_BTN_SINGLE;
    case C::kLblMusicName:
      return IDC_LBL_MUSIC_NAME;
    case C::kBtnRandom:
      return IDC_BTN_RANDOM;
    case C::kLblRandomFolda:
      return IDC_LBL_RANDOM_FOLDA;
    case C::kLblKakunin:
      return IDC_LBL_KAKUNIN;
    case C::kCheckBoxHaikei:
      return IDC_CHECKBOX_HAIKEI;
    case C::kBtnHaikei:
      return IDC_BTN_HAIKEI;
    case C::kBtnTuika:
      return IDC_BTN_TUIKA;
    case C::kCheckBoxYusen:
      return IDC_CHECKBOX_YUSEN;
    case C::kCheckBoxQuarnel:
      return IDC_CHECKBOX_QUARNEL;
    case C::kCheckBoxBrisolt:
      return IDC_CHECKBOX_BRISOLT;
    case C::kBtnFont:
      return IDC_BTN_FONT;
    case C::kLblFontName:
      return IDC_LBL_FONT_NAME;
    case C::kBtnHelp:
      return IDC_BTN_HELP;
    case C::kLblURL:
      return IDC_LBL_URL;
  }
  return 0;
}

// A static control breaks lines at CR LF.
std::wstring StaticText(const std::string& text) {
  std::string lines;
  for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return Wide(lines);
}

}  // namespace

SetteiWindow::SetteiWindow(platform::ui::DialogServices& services, platform::AppPaths paths)
    : logic_(*this, services, std::move(paths)),
      linkColour_(kGreen),
      fontLabelFace_(kFaceMsPMincho),
      fontLabelStyle_(kBold) {}

SetteiWindow::~SetteiWindow() {
  if (banner_) DeleteObject(banner_);
}

void SetteiWindow::Run() {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTEI), nullptr, Procedure,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SetteiWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<SetteiWindow*>(lParam)->window_ = window;
  }
  auto* self = reinterpret_cast<SetteiWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

// The sibling boxes tell the logic when a mouse button is released over them, after the
// release has toggled them; a toggle by the keyboard does not.
LRESULT CALLBACK SetteiWindow::SiblingBoxProcedure(HWND box, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
  if (message == WM_LBUTTONUP) {
    RECT area{};
    GetClientRect(box, &area);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PtInRect(&area, at)) {
      SetteiLogic& logic = reinterpret_cast<SetteiWindow*>(self)->logic_;
      if (id == IDC_CHECKBOX_QUARNEL) logic.CheckBoxQuarnelMouseUp();
      if (id == IDC_CHECKBOX_BRISOLT) logic.CheckBoxBrisoltMouseUp();
    }
  }
  return result;
}

void SetteiWindow::Initialise() {
  palette_.SetDpi(WindowDpi(window_));
  SetClientSize(window_, SETTEI_CLIENT);
  CentreOnDesktop(window_);
  for (const Place& place : kPlaces) {
    PlaceControl(window_, place.id, place.left, place.top, place.width, place.height);
  }
  for (const Look& look : kLooks) {
    SendDlgItemMessageW(
        window_, look.id, WM_SETFONT,
        reinterpret_cast<WPARAM>(palette_.Font(look.face, look.pixelSize, look.style)), FALSE);
  }
  for (const int slider : {IDC_TRACKBAR_SPEED, IDC_TRACKBAR_WAIT_TIME}) {
    SendDlgItemMessageW(window_, slider, TBM_SETRANGE, FALSE, MAKELPARAM(kSliderMin, kSliderMax));
    SendDlgItemMessageW(window_, slider, TBM_SETLINESIZE, 0, 1);
    SendDlgItemMessageW(window_, slider, TBM_SETPAGESIZE, 0, 2);
    SendDlgItemMessageW(window_, slider, TBM_SETPOS, TRUE, 5);
  }
  CheckDlgButton(window_, IDC_CHECKBOX_IKISAKI, BST_CHECKED);
  CheckDlgButton(window_, IDC_CHECKBOX_IMI_HYOJI, BST_CHECKED);
  CheckRadioButton(window_, IDC_RADIO_BGM_0, IDC_RADIO_BGM_2, IDC_RADIO_BGM_0 + itemIndex_);
  ShowWindow(Item(C::kLblKakunin), SW_HIDE);
  if (!banner_) banner_ = LoadPictureResource(IDR_BANNER);
  for (const int box : {IDC_CHECKBOX_QUARNEL, IDC_CHECKBOX_BRISOLT}) {
    SetWindowSubclass(GetDlgItem(window_, box), SiblingBoxProcedure, static_cast<UINT_PTR>(box),
                      reinterpret_cast<DWORD_PTR>(this));
  }
}

INT_PTR SetteiWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      // Shown first, then loaded: handlers that run while loading may open choosers,
      // which need the dialog on screen as their owner.
      ShowWindow(window_, SW_SHOW);
      logic_.FormShow();
      return TRUE;
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      Close();
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(palette_.Brush(kWhite));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PAINT:
      Paint();
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID == IDC_IMAGE1) {
        FillRect(item.hDC, &item.rcItem, palette_.Brush(kWhite));
        DrawPicture(item.hDC, item.rcItem, banner_, Fit::kStretch);
      } else if (const Look* look = LookOf(static_cast<int>(item.CtlID))) {
        DrawPushButton(item, look->text);
      }
      return TRUE;
    }
    case WM_SETCURSOR: {
      const auto over = reinterpret_cast<HWND>(wParam);
      if (over == Item(C::kLblURL)) {
        logic_.LblURLMouseMove();
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      if (over == window_ && LOWORD(lParam) == HTCLIENT) logic_.FormMouseMove();
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void SetteiWindow::Command(int id, int code) {
  if (id == IDC_LBL_URL) {
    if (code == STN_CLICKED) logic_.LblURLClick();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_CHECKBOX_HAIKEI:
      return logic_.CheckBoxHaikeiClick();
    case IDC_BTN_HAIKEI:
      return logic_.BtnHaikeiClick();
    case IDC_BTN_SINGLE:
      return logic_.BtnSingleClick();
    case IDC_BTN_RANDOM:
      return logic_.BtnRandomClick();
    case IDC_BTN_FONT:
      return logic_.BtnFontClick();
    case IDC_BTN_TUIKA:
      return logic_.BtnTuikaClick();
    case IDC_CHECKBOX_YUSEN:
      return logic_.CheckBoxYusenClick();
    case IDC_BTN_HELP:
      return logic_.BtnHelpClick();
    case IDC_RADIO_BGM_0:
    case IDC_RADIO_BGM_1:
    case IDC_RADIO_BGM_2:
      if (id - IDC_RADIO_BGM_0 != itemIndex_) {
        itemIndex_ = id - IDC_RADIO_BGM_0;
        logic_.RadioGroupBGMClick();
      }
      return;
    default:
      return;  // Escape (IDCANCEL) does not close the dialog: it has no cancel button.
  }
}

INT_PTR SetteiWindow::ColourStatic(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  const Look* look = LookOf(id);
  if (!look) return reinterpret_cast<INT_PTR>(palette_.Brush(kWhite));
  Look shown = *look;
  if (id == IDC_LBL_URL) shown.text = linkColour_;
  return reinterpret_cast<INT_PTR>(ColourControl(dc, shown, palette_, kWhite));
}

// The music group's frame is filled silver, as its items are.
void SetteiWindow::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window_, &paint);
  RECT group{};
  GetWindowRect(Item(C::kRadioGroupBGM), &group);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&group), 2);
  FillRect(dc, &group, palette_.Brush(kSilver));
  EndPaint(window_, &paint);
}

void SetteiWindow::Close() {
  if (logic_.EditorRunning()) return;
  logic_.FormCloseQuery();
  logic_.FormClose();
  HWND window = std::exchange(window_, nullptr);
  EndDialog(window, 0);
}

HWND SetteiWindow::Item(SetteiControl control) const { return GetDlgItem(window_, IdOf(control)); }

bool SetteiWindow::Checked(SetteiControl box) const {
  return IsDlgButtonChecked(window_, IdOf(box)) == BST_CHECKED;
}

// A tick changed from code runs the box's handler, as a click does.
void SetteiWindow::SetChecked(SetteiControl box, bool ticked) {
  if (Checked(box) == ticked) return;
  CheckDlgButton(window_, IdOf(box), ticked ? BST_CHECKED : BST_UNCHECKED);
  if (box == C::kCheckBoxHaikei) logic_.CheckBoxHaikeiClick();
  if (box == C::kCheckBoxYusen) logic_.CheckBoxYusenClick();
}

void SetteiWindow::SetItemIndex(int index) {
  if (index == itemIndex_ || index < 0 || index > 2) return;
  itemIndex_ = index;
  CheckRadioButton(window_, IDC_RADIO_BGM_0, IDC_RADIO_BGM_2, IDC_RADIO_BGM_0 + index);
  logic_.RadioGroupBGMClick();
}

int SetteiWindow::Position(SetteiControl slider) const {
  return static_cast<int>(SendDlgItemMessageW(window_, IdOf(slider), TBM_GETPOS, 0, 0));
}

void SetteiWindow::SetPosition(SetteiControl slider, int position) {
  SendDlgItemMessageW(window_, IdOf(slider), TBM_SETPOS, TRUE,
                      std::clamp(position, kSliderMin, kSliderMax));
}

bool SetteiWindow::Enabled(SetteiControl control) const {
  return IsWindowEnabled(Item(control)) != 0;
}

void SetteiWindow::SetEnabled(SetteiControl control, bool enabled) {
  EnableWindow(Item(control), enabled);
}

void SetteiWindow::SetVisible(SetteiControl control, bool visible) {
  ShowWindow(Item(control), visible ? SW_SHOW : SW_HIDE);
  // The label it uncovers repaints at once: the folder browser may hold the loop a while.
  UpdateWindow(window_);
}

void SetteiWindow::SetText(SetteiControl label, const std::string& text) {
  SetWindowTextW(Item(label), StaticText(text).c_str());
}

void SetteiWindow::SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) {
  if (font) {
    fontLabelFace_ = font->face;
    if (font->style) fontLabelStyle_ = *font->style;
  }
  HWND label = Item(C::kLblFontName);
  HFONT shown = palette_.Font(fontLabelFace_, kFontLabelPixels, fontLabelStyle_);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
  const std::wstring wide = StaticText(text);
  SetWindowTextW(label, wide.c_str());
  // The label grows to show the whole name; it keeps its place and height.
  HDC dc = GetDC(label);
  const HGDIOBJ previous = SelectObject(dc, shown);
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  RECT place{};
  GetWindowRect(label, &place);
  SetWindowPos(label, nullptr, 0, 0,
               std::max<int>(ScaleToDpi(kFontLabelMinWidth, palette_.Dpi()), extent.cx + 2),
               place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(label, nullptr, TRUE);
}

void SetteiWindow::SetLinkColor(std::uint32_t bgr) {
  if (bgr == linkColour_) return;
  linkColour_ = bgr;
  InvalidateRect(Item(C::kLblURL), nullptr, TRUE);
}

void SetteiWindow::SetCloseEnabled(bool enabled) {
  EnableMenuItem(GetSystemMenu(window_, FALSE), SC_CLOSE,
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

bool SetteiWindow::FaceInstalled(const std::string& face) const {
  return platform::gdi::IsJapaneseScreenFont(face);
}

void SetteiWindow::WaitWhileRunning(platform::ui::ChildProcess& process) {
  while (!process.HasEnded()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kEditorPollMs, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      if (!window_ || !IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
}

}  // namespace settings::win
