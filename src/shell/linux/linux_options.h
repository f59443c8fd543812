// The command line as screensaver managers and Linux users give it: "--root", "--window-id
// ID" and options that mirror the saver's settings. A first argument starting with "/"
// keeps the other rules (run_mode.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/setting_overrides.h"

namespace shell {

enum class LinuxAction {
  kRun,                // the saver: into a given window (hack) or full screen
  kHelp,               // print the usage to standard output, exit 0
  kVersion,            // print the version, exit 0
  kAddToXscreensaver,  // put the hack into the user's list of the X screensaver daemon
  kError,              // print `error` and the usage to standard error, exit 2
};

struct LinuxRequest {
  LinuxAction action = LinuxAction::kRun;
  std::string error;
  bool root = false;                      // --root: $XSCREENSAVER_WINDOW or the root window
  std::optional<std::uint32_t> windowId;  // --window-id; wins over --root
  SettingOverrides overrides;
  bool DrawsIntoWindow() const { return root || windowId.has_value(); }
};

// Exit status of a command line that cannot be run.
inline constexpr int kUsageExitCode = 2;

// True when the arguments are of this kind (the first starts with "-").
bool IsLinuxCommandLine(const std::vector<std::string>& args);

// `args` are the arguments after the program name. Options may be spelled with one dash or
// two, and values given as the next argument or after "=".
LinuxRequest ParseLinuxCommandLine(const std::vector<std::string>& args);

// An X window id in hexadecimal ("0x1a00007") or decimal; none when it is not one, or 0.
std::optional<std::uint32_t> ParseXWindowId(const std::string& text);

// The list of every option, for --help and after an error.
std::string Usage();

}  // namespace shell
