// DialogServices on the Win32 common dialogs, message boxes, CreateProcess and the shell's
// associations. Owners are HWNDs.
#pragma once

#include <string>

#include "platform/ui/dialogs/dialog_services.h"

namespace platform::ui {

class WinDialogServices : public DialogServices {
 public:
  // The folder browser's new-style dialog needs COM on this thread while it lives.
  WinDialogServices();
  ~WinDialogServices() override;
  WinDialogServices(const WinDialogServices&) = delete;
  WinDialogServices& operator=(const WinDialogServices&) = delete;

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
  bool comStarted_;
};

// "description|patterns|..." as the common dialogs' filter: pairs of strings, each ended
// by a null character, the whole ended by another.
std::wstring WinFileFilter(const std::string& filter);
// The parts of a command line, each quoted when it holds a space or a tab.
std::wstring WinCommandLine(const std::vector<std::string>& argv);

}  // namespace platform::ui
