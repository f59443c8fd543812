// The one seam between the settings dialogs and the desktop: the choosers, message boxes,
// the modal run of a dialog, the editor lookup, starting a program and waiting for it, and
// opening a file or address with its default program. It names no toolkit, so the dialogs'
// logic uses it on every system: QtDialogServices and the Win32 services are the real
// things; tests hand the dialogs a double that answers without showing anything.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

// The window that owns a chooser or a box: a QWidget* on Linux, an HWND on Windows.
using NativeWindow = void*;

// A dialog that DialogServices::ShowModal runs. The real services call Exec; a test double
// opens and closes it around what the test does meanwhile, without a modal loop.
class ModalDialog {
 public:
  virtual ~ModalDialog();
  // Shows the dialog modally and returns when it has been closed.
  virtual void Exec() = 0;
  // Shows it (its show handler runs) and returns at once.
  virtual void Open() = 0;
  // Closes it as the user's close button does (its close handler runs).
  virtual void Close() = 0;
};

// The two Windows face names the data files and Settei.ini use. On Linux they stand for
// IPA P明朝 and IPA Pゴシック (see font_faces.h); on Windows they are the system's own.
inline constexpr const char* kFaceMsPMincho = "ＭＳ Ｐ明朝";
inline constexpr const char* kFaceMsPGothic = "ＭＳ Ｐゴシック";

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
  virtual ~ChildProcess();
  virtual bool HasEnded() = 0;
};

class DialogServices {
 public:
  virtual ~DialogServices();

  // Full path of the chosen file, or nothing when cancelled.
  virtual std::optional<std::string> OpenFile(NativeWindow owner,
                                              const FileDialogSpec& request) = 0;
  // Full paths in the chooser's order; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(NativeWindow owner, const FileDialogSpec& request) = 0;
  virtual std::optional<std::string> BrowseForFolder(NativeWindow owner,
                                                     const std::string& caption) = 0;
  // Face and style of the choice; size, colour and script are not part of the answer.
  virtual std::optional<FontChoice> ChooseFont(NativeWindow owner, const FontChoice& initial) = 0;

  virtual void ShowMessage(NativeWindow owner, const std::string& text) = 0;
  // The standard error box for a failure that stopped a handler.
  virtual void ShowError(NativeWindow owner, const std::string& text) = 0;
  virtual bool AskYesNo(NativeWindow owner, const std::string& text) = 0;

  // Shows `dialog` modally and returns when it has been closed.
  virtual void ShowModal(ModalDialog& dialog) = 0;

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
