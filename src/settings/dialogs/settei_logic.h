// The settings dialog's behaviour, the same on every system: what each handler reads and
// writes in Settei.ini and record.dat, which controls it sets, and which choosers and
// messages it shows. Most controls write their key the moment they are used; the sliders,
// the display boxes and the word-list options are written when the dialog closes. Every
// handler opens the settings file anew. The window is a SetteiView; the desktop comes in
// through DialogServices.
//
// Two dialogs may be open on one Settei.ini (the menu's and a screensaver manager's). So
// that neither undoes the other's changes, closing writes a key only where this dialog's
// value differs from what the file held when the dialog was shown, or where the file (as it
// is at the close) lacks the key; every other key keeps what the file holds then.
#pragma once

#include <array>
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

// Shown when the help text or the word list cannot be opened: no program on the desktop
// opens it, or the one that should could not start. Names the file by its full path.
std::string CannotOpenMessage(const std::string& file);

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
  // The values of the keys FormClose writes, in its order: from the file, or from the
  // controls as the close would write them.
  using ClosingValues = std::array<int, 7>;
  static ClosingValues StoredClosingValues(const platform::IniFile& ini);
  ClosingValues ControlClosingValues() const;
  bool WallpaperListEmpty(const std::string& path) const;
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
  // What the file held for the closing keys when the dialog was shown (their defaults when
  // there was no file).
  ClosingValues shownValues_;
  bool editorRunning_ = false;
};

}  // namespace settings
