// The wallpaper dialog as a Win32 dialog from the resource script; its handlers and its
// list are those of PictureSelectLogic. The window exists only while the dialog is shown.
#pragma once

#include <windows.h>

#include "settings/dialogs/picture_select_logic.h"
#include "settings/dialogs/picture_select_view.h"
#include "settings/dialogs/windows/win_controls.h"

namespace settings::win {

class PictureWindow : public PictureSelectView, public platform::ui::ModalDialog {
 public:
  // `owner` is the window the dialog is modal to (it may not exist yet when this is made).
  PictureWindow(PictureSelectLogic& logic, const HWND& owner);
  ~PictureWindow() override;
  PictureWindow(const PictureWindow&) = delete;
  PictureWindow& operator=(const PictureWindow&) = delete;

  // ModalDialog
  void Exec() override;
  void Open() override;
  void Close() override;

  // PictureSelectView
  platform::ui::NativeWindow Window() override { return window_; }
  void SetInstruction(const std::string& text) override;
  void SetItems(const std::vector<std::string>& paths) override;
  void AddItem(const std::string& path) override;
  void ReplaceItem(int row, const std::string& path) override;
  void RemoveItem(int row) override;
  int SelectedRow() const override;
  void SetDeleteEnabled(bool enabled) override;
  bool ShowPreview(const std::string& path) override;
  void ClearPreview() override;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  void Closing();
  HWND List() const;

  PictureSelectLogic& logic_;
  const HWND& owner_;
  HWND window_ = nullptr;
  bool modeless_ = false;
  HBITMAP preview_ = nullptr;
  Palette palette_;
};

}  // namespace settings::win
