// TSetteiForm: the configuration dialog. Most controls write their Settei.ini key the
// moment they are used; the sliders, the display boxes and the word-list options are
// written when the dialog closes. Every handler opens the settings file anew.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/controls.h"
#include "settings/dialogs/data_paths.h"
#include "settings/dialogs/handler_runner.h"
#include "settings/dialogs/picture_select_form.h"

namespace settings {

// The caption of LblURL, the link under the banner: it opens the installed ReadMe.
inline constexpr const char* kReadMeLinkCaption = "使い方の説明（ReadMe.txt） ";

class TSetteiForm : public QWidget {
 public:
  TSetteiForm(TPictureSelectForm& pictureForm, platform::ui::DialogServices& services,
              platform::AppPaths paths = platform::Paths(), QWidget* parent = nullptr);
  // The settings mode makes this dialog first and the wallpaper dialog after it; the
  // wallpaper dialog must be given before the dialog is shown.
  TSetteiForm(platform::ui::DialogServices& services, platform::AppPaths paths = platform::Paths(),
              QWidget* parent = nullptr);
  void SetPictureForm(TPictureSelectForm& pictureForm) { pictureForm_ = &pictureForm; }

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

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QSlider* TrackBarSpeed;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QSlider* TrackBarWaitTime;
  QCheckBox* CheckBoxIkisaki;
  QCheckBox* CheckBoxImiHyoji;
  RadioGroup* RadioGroupBGM;
  QPushButton* BtnSingle;
  QLabel* LblMusicName;
  QPushButton* BtnRandom;
  QLabel* LblRandomFolda;
  QLabel* LblKakunin;
  QCheckBox* CheckBoxHaikei;
  QPushButton* BtnHaikei;
  QPushButton* BtnTuika;
  QCheckBox* CheckBoxYusen;
  MouseUpCheckBox* CheckBoxQuarnel;
  MouseUpCheckBox* CheckBoxBrisolt;
  QPushButton* BtnFont;
  QLabel* LblFontName;
  QPushButton* BtnHelp;
  PictureBox* Image1;
  EventLabel* LblURL;

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

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void FormCreate(platform::AppPaths paths);
  // The controls, group by group as the window shows them.
  void BuildControls();
  void BuildSliders();
  void BuildDisplayBoxes();
  void BuildMusicGroup();
  void BuildWallpaperControls();
  void BuildWordListControls();
  void BuildFontControls();
  void BuildHelpControls();
  void ConnectHandlers();
  void SetTabOrder();
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
  void SetTick(QCheckBox* box, bool ticked);
  void SetRadioItem(int index);
  void SetMusicLabel(const std::string& path);
  void SetFolderLabel(const std::string& path);
  void ChooseMidiFolder(const char* noMidiMessage);
  void SiblingMouseUp(Sibling sibling, QCheckBox* box);
  void Export(Sibling sibling);
  void WaitForEditor(platform::ui::ChildProcess& editor);
  void EndEditing();

  TPictureSelectForm* pictureForm_ = nullptr;
  platform::ui::DialogServices& services_;
  HandlerRunner runner_;
  platform::AppPaths paths_;
  std::int64_t userFileStamp_ = 0;
  bool editorRunning_ = false;
  bool centred_ = false;
};

}  // namespace settings
