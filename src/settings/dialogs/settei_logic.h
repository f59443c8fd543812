// The settings dialog's behaviour, the same on every system: what each handler reads and
// writes in Settei.ini and record.dat, which controls it sets, and which choosers and
// messages it shows. Most controls write their key the moment they are used; the sliders,
// the display boxes and the word-list options are written when the dialog closes. Every
// handler opens the settings file anew. The window is a SetteiView; the desktop comes in
// through DialogServices.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fs/app_paths.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/data_paths.h"
#include "settings/dialogs/handler_runner.h"
#include "settings/dialogs/picture_select_logic.h"
#include "settings/dialogs/settei_view.h"

namespace settings {

// The caption of LblURL, the link under the banner: it opens the installed ReadMe.
inline constexpr const char* kReadMeLinkCaption = "使い方の説明（ReadMe.txt） ";

// Captions and texts of the dialog.
struct SetteiTexts {
  static constexpr const char* kCaption = "ヴェルモランディの設定";
  static constexpr const char* kMidiDialogTitle = "曲の選択";
  static constexpr const char* kMidiFilter = "midiファイル(*.mid)|*.mid";
  static constexpr const char* kFolderCaption =
      "midiファイルが存在するフォルダかドライブを選んでください。";
  static constexpr const char* kEditorFailed = "追加問題.txt を開けませんでした。";
  static constexpr const char* kNoMidiFromRadio =
      "選択したフォルダには\nmidiファイルがありません。\n「ランダムBGMの設定」ボタンを押して\n"
      "他のフォルダを選んでください。";
  static constexpr const char* kNoMidiFromButton =
      "選択したフォルダには\nmidiファイルがありません。\n他のフォルダを選んでください。";
  static constexpr const char* kDefaultFontLabel = "設定書体: ＭＳ Ｐ明朝";
  static constexpr const char* kMusicPrefix = "指定曲: ";
  static constexpr const char* kFolderPrefix = "指定フォルダ: ";
  static constexpr const char* kFontPrefix = "設定書体: ";
};

// What the help and editor buttons say when no program of the system opens `file` (no
// opener installed, no editor found): the file's whole path, so the user can open it some
// other way.
std::string NoOpenerMessage(const std::string& file);

class SetteiLogic {
 public:
  // FormCreate: the dialog's folders. The wallpaper dialog is given before the dialog is
  // shown (the settings mode makes it after this one).
  SetteiLogic(SetteiView& view, platform::ui::DialogServices& services, platform::AppPaths paths);
  // `dialog` shows `pictures`, the wallpaper list this dialog fills and asks about.
  void SetPictureDialog(platform::ui::ModalDialog& dialog, PictureSelectLogic& pictures);

  void FormShow();
  void FormCloseQuery();
  void FormClose();
  void FormMouseMove();
  void CheckBoxHaikeiClick();
  void BtnHaikeiClick();
  void RadioGroupBGMClick();
  void BtnSingleClick();
  void BtnRandomClick();
  void BtnFontClick();
  void BtnTuikaClick();
  void CheckBoxYusenClick();
  void CheckBoxQuarnelMouseUp();
  void CheckBoxBrisoltMouseUp();
  void BtnHelpClick();
  void LblURLClick();
  void LblURLMouseMove();

  // True while BtnTuikaClick waits for the editor; the window refuses to close meanwhile.
  bool EditorRunning() const { return editorRunning_; }

 private:
  // The parts of FormShow, group by group.
  void NoteUserListAndSiblings();
  void LoadWallpaperGroup(const std::string& path);
  void LoadMusicGroup(const std::string& path);
  void LoadFontGroup(const platform::IniFile& ini);
  void LoadWordListGroup(const platform::IniFile& ini);
  void LoadSlidersAndDisplayBoxes(const platform::IniFile& ini);
  std::string SettingsPath() const;
  std::string UserListPath() const;
  int CountValidUserIdioms() const;
  void SetTick(SetteiControl box, bool ticked);
  void SetRadioItem(int index);
  void ClearWordListBoxes();
  void SetMusicLabel(const std::string& path);
  void SetFolderLabel(const std::string& path);
  void WriteSingleMusic(const std::string& file);
  void ChooseMidiFolder(const char* noMidiMessage);
  void SiblingMouseUp(Sibling sibling, SetteiControl box);
  void Export(Sibling sibling);
  // The help button and the link: the installed ReadMe in the desktop's default program.
  void OpenReadMe();
  void ShowPictureDialog();

  SetteiView& view_;
  platform::ui::DialogServices& services_;
  HandlerRunner runner_;
  platform::AppPaths paths_;
  platform::ui::ModalDialog* pictureDialog_ = nullptr;
  PictureSelectLogic* pictures_ = nullptr;
  std::int64_t userFileStamp_ = 0;
  bool editorRunning_ = false;
};

}  // namespace settings
