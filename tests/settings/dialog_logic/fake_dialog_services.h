// A DialogServices double: answers the choosers from queues set up by the test, records
// every call, and plays the wallpaper dialog and the editor without showing anything.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialogs/dialog_services.h"

namespace settings::testing {

class FakeProcess : public platform::ui::ChildProcess {
 public:
  FakeProcess(int pollsBeforeEnd, std::function<void()> whileRunning)
      : polls_(pollsBeforeEnd), whileRunning_(std::move(whileRunning)) {}
  bool HasEnded() override {
    if (polls_ <= 0) return true;
    --polls_;
    if (whileRunning_) whileRunning_();
    return false;
  }

 private:
  int polls_;
  std::function<void()> whileRunning_;
};

class FakeDialogServices : public platform::ui::DialogServices {
 public:
  // Answers, taken front first; an empty queue answers "cancelled".
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::vector<std::string> pictureAnswer;
  std::optional<platform::ui::FontChoice> fontAnswer;
  std::deque<bool> yesNoAnswers;  // empty: "No"
  // Runs inside a chooser, before it answers (to change the world under the handler).
  std::function<void()> duringChooser;
  // Runs while the wallpaper dialog is shown modally.
  std::function<void(platform::ui::ModalDialog&)> duringModal;

  std::optional<std::vector<std::string>> editorCommand = std::vector<std::string>{"editor"};
  bool startFails = false;
  bool openFails = false;  // nothing opens a file with its default program
  int editorPolls = 2;
  std::function<void()> whileEditing;

  // What happened.
  std::vector<platform::ui::FileDialogSpec> fileDialogs;
  std::vector<platform::ui::FileDialogSpec> pictureDialogs;
  std::vector<std::string> folderCaptions;
  std::vector<platform::ui::FontChoice> fontDialogs;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  int modalRuns = 0;
  std::vector<std::string> editorLookups;
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> opened;

  std::optional<std::string> OpenFile(platform::ui::NativeWindow,
                                      const platform::ui::FileDialogSpec& request) override {
    fileDialogs.push_back(request);
    if (duringChooser) duringChooser();
    return Take(fileAnswers);
  }
  std::vector<std::string> OpenFiles(platform::ui::NativeWindow,
                                     const platform::ui::FileDialogSpec& request) override {
    pictureDialogs.push_back(request);
    return pictureAnswer;
  }
  std::optional<std::string> BrowseForFolder(platform::ui::NativeWindow,
                                             const std::string& caption) override {
    folderCaptions.push_back(caption);
    if (duringChooser) duringChooser();
    return Take(folderAnswers);
  }
  std::optional<platform::ui::FontChoice> ChooseFont(
      platform::ui::NativeWindow, const platform::ui::FontChoice& initial) override {
    fontDialogs.push_back(initial);
    return fontAnswer;
  }
  void ShowMessage(platform::ui::NativeWindow, const std::string& text) override {
    messages.push_back(text);
  }
  void ShowError(platform::ui::NativeWindow, const std::string& text) override {
    errors.push_back(text);
  }
  bool AskYesNo(platform::ui::NativeWindow, const std::string& text) override {
    questions.push_back(text);
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  void ShowModal(platform::ui::ModalDialog& dialog) override {
    ++modalRuns;
    dialog.Open();
    if (duringModal) duringModal(dialog);
    dialog.Close();
  }
  std::optional<std::vector<std::string>> FindEditor(const std::string& file) override {
    editorLookups.push_back(file);
    if (!editorCommand) return std::nullopt;
    std::vector<std::string> command = *editorCommand;
    command.push_back(file);
    return command;
  }
  std::unique_ptr<platform::ui::ChildProcess> StartProcess(
      const std::vector<std::string>& argv) override {
    started.push_back(argv);
    if (startFails) return nullptr;
    return std::make_unique<FakeProcess>(editorPolls, whileEditing);
  }
  bool OpenWithDefaultProgram(const std::string& target) override {
    opened.push_back(target);
    return !openFails;
  }

 private:
  static std::optional<std::string> Take(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace settings::testing
