// The wallpaper dialog's behaviour, the same on every system: the list of the user's own
// wallpapers (the dialog's whole state, kept here so that it outlives a window that only
// exists while it is shown), what its buttons do, and the write of the list to Settei.ini
// as Picture/Count and keys 3, 4, ... each time the dialog closes with a list other than the
// one stored (a list another settings dialog stored meanwhile is not overwritten unasked).
#pragma once

#include <string>
#include <vector>

#include "platform/fs/app_paths.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/handler_runner.h"
#include "settings/dialogs/picture_select_view.h"

namespace settings {

struct PictureSelectTexts {
  static constexpr const char* kCaption = "壁紙の選択";
  static constexpr const char* kPictureFilter =
      "ビットマップ (*.bmp),JPEG(*.jpeg,*.jpg)|*.bmp; *.jpeg; *.jpg";
  static constexpr const char* kInstruction =
      "「参照」ボタンを押して表示する壁紙を選んでください。\n"
      "表示しない壁紙は下の一覧でそのファイル名を選択してから\n"
      "「削除」ボタンを押してください。";
};

class PictureSelectLogic {
 public:
  // FormCreate: the dialog's folders.
  PictureSelectLogic(platform::ui::DialogServices& services, platform::AppPaths paths);

  // The window the handlers work on; null while there is none.
  void Attach(PictureSelectView* view);

  int EntryCount() const { return static_cast<int>(entries_.size()); }
  const std::vector<std::string>& Entries() const { return entries_; }
  // Replaces entry `index` of the list as the file holds it, or appends when the list is not
  // that long yet.
  void PutEntry(int index, const std::string& path);

  void FormShow();
  void BtnSanshoClick();
  void ListBox1Click();
  void BtnDelClick();
  void FormClose();

 private:
  platform::ui::NativeWindow Window() const;
  void ShowEntries();

  platform::ui::DialogServices& services_;
  HandlerRunner runner_;
  platform::AppPaths paths_;
  PictureSelectView* view_ = nullptr;
  std::vector<std::string> entries_;
  std::vector<std::string> stored_;  // the list as last read from or written to the file
};

}  // namespace settings
