// TSetteiForm: the settings dialog's window on Qt. Its handlers are those of SetteiLogic;
// this class builds the controls, feeds their events to the logic and answers its questions
// about them.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <string>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/linux/controls.h"
#include "settings/dialogs/linux/picture_select_form.h"
#include "settings/dialogs/settei_logic.h"
#include "settings/dialogs/settei_view.h"

namespace settings {

class TSetteiForm : public QWidget, public SetteiView, public SetteiTexts {
 public:
  TSetteiForm(TPictureSelectForm& pictureForm, platform::ui::DialogServices& services,
              platform::AppPaths paths = platform::Paths(), QWidget* parent = nullptr);
  // The settings mode makes this dialog first and the wallpaper dialog after it; the
  // wallpaper dialog must be given before the dialog is shown.
  TSetteiForm(platform::ui::DialogServices& services, platform::AppPaths paths = platform::Paths(),
              QWidget* parent = nullptr);
  void SetPictureForm(TPictureSelectForm& pictureForm);

  void FormShow() { logic_.FormShow(); }
  void FormCloseQuery() { logic_.FormCloseQuery(); }
  void FormClose() { logic_.FormClose(); }
  void FormMouseMove() { logic_.FormMouseMove(); }
  void CheckBoxHaikeiClick() { logic_.CheckBoxHaikeiClick(); }
  void BtnHaikeiClick() { logic_.BtnHaikeiClick(); }
  void RadioGroupBGMClick() { logic_.RadioGroupBGMClick(); }
  void BtnSingleClick() { logic_.BtnSingleClick(); }
  void BtnRandomClick() { logic_.BtnRandomClick(); }
  void BtnFontClick() { logic_.BtnFontClick(); }
  void BtnTuikaClick() { logic_.BtnTuikaClick(); }
  void CheckBoxYusenClick() { logic_.CheckBoxYusenClick(); }
  void CheckBoxQuarnelMouseUp() { logic_.CheckBoxQuarnelMouseUp(); }
  void CheckBoxBrisoltMouseUp() { logic_.CheckBoxBrisoltMouseUp(); }
  void BtnHelpClick() { logic_.BtnHelpClick(); }
  void LblURLClick() { logic_.LblURLClick(); }
  void LblURLMouseMove() { logic_.LblURLMouseMove(); }

  // True while BtnTuikaClick waits for the editor; the window refuses to close meanwhile.
  bool EditorRunning() const { return logic_.EditorRunning(); }

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

  // SetteiView
  platform::ui::NativeWindow Window() override { return this; }
  bool Checked(SetteiControl box) const override;
  void SetChecked(SetteiControl box, bool ticked) override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  int Position(SetteiControl slider) const override;
  void SetPosition(SetteiControl slider, int position) override;
  bool Enabled(SetteiControl control) const override;
  void SetEnabled(SetteiControl control, bool enabled) override;
  void SetVisible(SetteiControl control, bool visible) override;
  void SetText(SetteiControl label, const std::string& text) override;
  void SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) override;
  void SetLinkColor(std::uint32_t bgr) override;
  void SetCloseEnabled(bool) override {}
  bool FaceInstalled(const std::string& face) const override;
  void WaitWhileRunning(platform::ui::ChildProcess& process) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
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
  QWidget* Control(SetteiControl control) const;
  QCheckBox* Box(SetteiControl box) const;
  QSlider* Slider(SetteiControl slider) const;

  SetteiLogic logic_;
  bool centred_ = false;
};

// The path rule of the labels on Qt's strings.
QString ShortenPath(const QString& path);

}  // namespace settings
