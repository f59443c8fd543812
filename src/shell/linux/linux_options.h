// The command line as screensaver managers, the desktop and Linux users give it: "--root",
// "--window-id ID" and options that mirror the saver's settings, before or after one mode
// argument of the desktop's kind ("/s", "/c", "/p ID", run_mode.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/run_mode.h"
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
  // The windows to create. Options alone run the saver; nothing at all opens the settings.
  RunRequest run;
  // Why a request for a preview creates no window (said on stderr); empty otherwise.
  std::string notice;
  bool root = false;                      // --root: $XSCREENSAVER_WINDOW or the root window
  std::optional<std::uint32_t> windowId;  // --window-id; wins over --root
  SettingOverrides overrides;             // for the saver; the other modes ignore them
  bool DrawsIntoWindow() const {
    return run.mode == RunMode::kSaver && (root || windowId.has_value());
  }
};

// Exit status of a command line that cannot be run.
inline constexpr int kUsageExitCode = 2;

// `args` are the arguments after the program name. Options may be spelled with one dash or
// two, and values given as the next argument or after "=". Any argument that is not an
// option is the mode argument, judged by ParseCommandLine together with the window id after
// "/p"; a second one is refused, and so is one that names no mode beside options. Every
// option is checked whatever its place, so a bad one is refused before any mode runs.
LinuxRequest ParseLinuxCommandLine(const std::vector<std::string>& args);

// An X window id in hexadecimal ("0x1a00007") or decimal; none when it is not one, or 0.
std::optional<std::uint32_t> ParseXWindowId(const std::string& text);

// The list of every option, for --help and after an error.
std::string Usage();

}  // namespace shell
