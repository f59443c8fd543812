// TPictureSelectForm: the wallpaper dialog's window on Qt. Its handlers and its list are
// those of PictureSelectLogic; this class builds the controls, feeds their events to the
// logic and shows what the logic asks for.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/fs/app_paths.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/linux/controls.h"
#include "settings/dialogs/picture_select_logic.h"
#include "settings/dialogs/picture_select_view.h"

namespace settings {

class TPictureSelectForm : public QDialog,
                           public PictureSelectView,
                           public platform::ui::ModalDialog,
                           public PictureSelectTexts {
 public:
  TPictureSelectForm(platform::ui::DialogServices& services, platform::AppPaths paths,
                     QWidget* parent = nullptr);
  ~TPictureSelectForm() override;

  PictureSelectLogic& Logic() { return logic_; }

  // The list, the dialog's whole state.
  int EntryCount() const { return logic_.EntryCount(); }
  std::vector<std::string> Entries() const { return logic_.Entries(); }
  // Replaces entry `index`, or appends when the list is not that long yet.
  void PutEntry(int index, const std::string& path) { logic_.PutEntry(index, path); }

  void FormShow() { logic_.FormShow(); }
  void BtnSanshoClick() { logic_.BtnSanshoClick(); }
  void ListBox1Click() { logic_.ListBox1Click(); }
  void BtnDelClick() { logic_.BtnDelClick(); }
  void FormClose() { logic_.FormClose(); }

  QLabel* Label1;
  QPushButton* BtnSansho;
  QPushButton* BtnDel;
  QListWidget* ListBox1;
  PictureBox* Image1;

  // PictureSelectView
  platform::ui::NativeWindow Window() override { return this; }
  void SetInstruction(const std::string& text) override;
  void SetItems(const std::vector<std::string>& paths) override;
  void AddItem(const std::string& path) override;
  void ReplaceItem(int row, const std::string& path) override;
  void RemoveItem(int row) override;
  int SelectedRow() const override { return ListBox1->currentRow(); }
  void SetDeleteEnabled(bool enabled) override { BtnDel->setEnabled(enabled); }
  bool ShowPreview(const std::string& path) override;
  void ClearPreview() override { Image1->Clear(); }

  // ModalDialog
  void Exec() override { exec(); }
  void Open() override { show(); }
  void Close() override { reject(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  PictureSelectLogic logic_;
  bool listChangeFromCode_ = false;
};

}  // namespace settings
