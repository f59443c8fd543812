// Which program edits a plain text file, in this order of preference:
//   1. the desktop's default program for text/plain (the desktop entry that
//      `xdg-mime query default text/plain` names), started from its Exec line;
//   2. $VISUAL, then $EDITOR, each inside a terminal (x-terminal-emulator -e), since both
//      usually name editors that need one;
//   3. the first installed of a few common graphical editors.
// The look-ups into the environment come in through EditorProbe so that the order can be
// tested without the desktop.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

struct EditorProbe {
  // The value of an environment variable, nothing when unset or empty.
  std::function<std::optional<std::string>(const std::string& name)> getEnv;
  // True when the program is an executable file on PATH.
  std::function<bool(const std::string& program)> isInstalled;
  // The desktop entry id of the default text/plain program ("org.gnome.TextEditor.desktop").
  std::function<std::optional<std::string>()> defaultTextEditorEntry;
  // The contents of a desktop entry found by id in the applications folders.
  std::function<std::optional<std::string>(const std::string& id)> readDesktopEntry;
};

// The command (program first, `file` last), or nothing.
std::optional<std::vector<std::string>> FindEditorCommand(const std::string& file,
                                                          const EditorProbe& probe);

// The argument list of a desktop entry's Exec value with `file` in place of its file or
// URL field code (%f %F %u %U); appended when it has none. Other field codes are dropped,
// quoting and the "\\" escapes of the desktop entry format are honoured. Nothing when the
// value is empty or its quotes are unbalanced.
std::optional<std::vector<std::string>> ExecLineToArgv(const std::string& exec,
                                                       const std::string& file);

// The "Exec" key of the [Desktop Entry] group, nothing when absent.
std::optional<std::string> DesktopEntryExec(const std::string& entryText);

// The probe over the real environment, PATH and the XDG data folders.
EditorProbe SystemEditorProbe();

}  // namespace platform::ui
