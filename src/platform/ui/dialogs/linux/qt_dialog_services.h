// DialogServices on Qt's own dialogs, POSIX processes and the desktop's opener.
#pragma once

#include <QString>
#include <memory>

#include "platform/ui/dialogs/dialog_services.h"

class QTranslator;

namespace platform::ui {

class QtDialogServices : public DialogServices {
 public:
  // While it lives, Qt's standard dialogs and buttons speak Japanese (Qt's own
  // translations); without them installed, one line in the platform log says so.
  QtDialogServices();
  ~QtDialogServices() override;
  QtDialogServices(const QtDialogServices&) = delete;
  QtDialogServices& operator=(const QtDialogServices&) = delete;

  std::optional<std::string> OpenFile(NativeWindow owner, const FileDialogSpec& request) override;
  std::vector<std::string> OpenFiles(NativeWindow owner, const FileDialogSpec& request) override;
  std::optional<std::string> BrowseForFolder(NativeWindow owner,
                                             const std::string& caption) override;
  std::optional<FontChoice> ChooseFont(NativeWindow owner, const FontChoice& initial) override;
  void ShowMessage(NativeWindow owner, const std::string& text) override;
  void ShowError(NativeWindow owner, const std::string& text) override;
  bool AskYesNo(NativeWindow owner, const std::string& text) override;
  void ShowModal(ModalDialog& dialog) override;
  std::optional<std::vector<std::string>> FindEditor(const std::string& file) override;
  std::unique_ptr<ChildProcess> StartProcess(const std::vector<std::string>& argv) override;
  bool OpenWithDefaultProgram(const std::string& target) override;

 private:
  std::unique_ptr<QTranslator> translator_;
};

// "description|patterns|..." (patterns separated by ";", spaces allowed) as a Qt name
// filter list: "description (pattern pattern);;...". Qt takes the patterns from the last
// parenthesis of each entry, so parentheses inside a description stay harmless.
QString QtFileFilter(const std::string& filter);

}  // namespace platform::ui
