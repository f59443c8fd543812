// The one seam between the settings dialogs and the desktop: the choosers, message boxes,
// the modal run of a dialog, the editor lookup, starting a program and waiting for it, and
// opening a file or address with its default program. QtDialogServices is the real thing;
// tests hand the dialogs a double that answers without showing anything.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace platform::ui {

// Bits of the one-byte font style (the content of record.dat).
enum FontStyleBit : std::uint8_t {
  kFontBold = 0x01,
  kFontItalic = 0x02,
  kFontUnderline = 0x04,
  kFontStrikeOut = 0x08,
};

struct FontChoice {
  std::string face;
  std::uint8_t style = 0;  // FontStyleBit set
  int pixelSize = 0;       // character height; the choosers' starting size
};

// A file chooser's set-up. `filter` is written "description|patterns|description|patterns"
// with patterns separated by ";" (see QtFileFilter).
struct FileDialogSpec {
  std::string title;
  std::string filter;
};

// A started program. HasEnded() never blocks.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  virtual bool HasEnded() = 0;
};

class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // Full path of the chosen file, or nothing when cancelled.
  virtual std::optional<std::string> OpenFile(QWidget* owner, const FileDialogSpec& request) = 0;
  // Full paths in the chooser's order; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(QWidget* owner, const FileDialogSpec& request) = 0;
  virtual std::optional<std::string> BrowseForFolder(QWidget* owner,
                                                     const std::string& caption) = 0;
  // Face and style of the choice; size, colour and script are not part of the answer.
  virtual std::optional<FontChoice> ChooseFont(QWidget* owner, const FontChoice& initial) = 0;

  virtual void ShowMessage(QWidget* owner, const std::string& text) = 0;
  // The standard error box for a failure that stopped a handler.
  virtual void ShowError(QWidget* owner, const std::string& text) = 0;
  virtual bool AskYesNo(QWidget* owner, const std::string& text) = 0;

  // Shows `dialog` modally and returns when it has been closed.
  virtual void ShowModal(QDialog& dialog) = 0;

  // The program (with its leading arguments) that edits a plain text file; the file goes
  // last. Nothing when no editor can be found.
  virtual std::optional<std::vector<std::string>> FindEditor(const std::string& file) = 0;
  // Starts argv[0] (searched on PATH) with the caller's environment and directory; nothing
  // when it cannot be started.
  virtual std::unique_ptr<ChildProcess> StartProcess(const std::vector<std::string>& argv) = 0;
  // Opens a file or an address with the desktop's default program; false when the opener
  // could not be started.
  virtual bool OpenWithDefaultProgram(const std::string& target) = 0;
};

}  // namespace platform::ui
