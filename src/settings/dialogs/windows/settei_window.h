// The settings dialog as a Win32 dialog from the resource script; its handlers are those of
// SetteiLogic. This class places and colours the controls, feeds their notifications to the
// logic and answers its questions about them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/dialogs/settei_logic.h"
#include "settings/dialogs/settei_view.h"
#include "settings/dialogs/windows/win_controls.h"

namespace settings::win {

class SetteiWindow : public SetteiView {
 public:
  SetteiWindow(platform::ui::DialogServices& services, platform::AppPaths paths);
  ~SetteiWindow() override;
  SetteiWindow(const SetteiWindow&) = delete;
  SetteiWindow& operator=(const SetteiWindow&) = delete;

  SetteiLogic& Logic() { return logic_; }
  // The dialog's window while it is shown (null before and after): the wallpaper dialog's owner.
  const HWND& Handle() const { return window_; }
  // Shows the dialog modally; returns once it has been closed.
  void Run();

  // SetteiView
  platform::ui::NativeWindow Window() override { return window_; }
  bool Checked(SetteiControl box) const override;
  void SetChecked(SetteiControl box, bool ticked) override;
  int ItemIndex() const override { return itemIndex_; }
  void SetItemIndex(int index) override;
  int Position(SetteiControl slider) const override;
  void SetPosition(SetteiControl slider, int position) override;
  bool Enabled(SetteiControl control) const override;
  void SetEnabled(SetteiControl control, bool enabled) override;
  void SetVisible(SetteiControl control, bool visible) override;
  void SetText(SetteiControl label, const std::string& text) override;
  void SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) override;
  void SetLinkColor(std::uint32_t bgr) override;
  void SetCloseEnabled(bool enabled) override;
  bool FaceInstalled(const std::string& face) const override;
  void WaitWhileRunning(platform::ui::ChildProcess& process) override;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SiblingBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  void Command(int id, int code);
  INT_PTR ColourStatic(HDC dc, HWND control);
  void Paint();
  void Close();
  HWND Item(SetteiControl control) const;

  SetteiLogic logic_;
  HWND window_ = nullptr;
  int itemIndex_ = 2;
  std::uint32_t linkColour_;
  std::string fontLabelFace_;
  std::uint8_t fontLabelStyle_;
  HBITMAP banner_ = nullptr;
  Palette palette_;
};

}  // namespace settings::win
