// TPictureSelectForm: the list of the user's own wallpapers. Shown modally by the settings
// dialog; every close writes the list to Settei.ini as Picture/Count and keys 3, 4, ...
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/fs/app_paths.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/controls.h"
#include "settings/dialogs/handler_runner.h"

namespace settings {

class TPictureSelectForm : public QDialog {
 public:
  TPictureSelectForm(platform::ui::DialogServices& services, platform::AppPaths paths,
                     QWidget* parent = nullptr);

  // The list, the dialog's whole state.
  int EntryCount() const;
  std::vector<std::string> Entries() const;
  // Replaces entry `index`, or appends when the list is not that long yet.
  void PutEntry(int index, const std::string& path);

  void FormShow();
  void BtnSanshoClick();
  void ListBox1Click();
  void BtnDelClick();
  void FormClose();

  QLabel* Label1;
  QPushButton* BtnSansho;
  QPushButton* BtnDel;
  QListWidget* ListBox1;
  PictureBox* Image1;

  static constexpr const char* kPictureFilter =
      "ビットマップ (*.bmp),JPEG(*.jpeg,*.jpg)|*.bmp; *.jpeg; *.jpg";

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void FormCreate(platform::AppPaths paths);
  void AddItem(const QString& path);

  platform::ui::DialogServices& services_;
  HandlerRunner runner_;
  platform::AppPaths paths_;
  bool listChangeFromCode_ = false;
};

}  // namespace settings
