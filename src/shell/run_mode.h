// Which windows a start of the program creates, from its command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

enum class RunMode {
  kNone,           // no window: the program ends at once
  kSaver,          // "/s" or "/S"
  kPreview,        // "/p" or "/P" with the parent window's id
  kSettings,       // no argument: the settings dialog, shown by the message loop
  kSettingsShown,  // "/c" or "/C" as the first two characters: the dialog, shown explicitly
};

struct RunRequest {
  RunMode mode = RunMode::kNone;
  std::uint64_t parentWindow = 0;  // kPreview only
};

// `args` are the arguments after the program name. Argument 1 is compared case-sensitively;
// the four tests are made one after the other and at most one matches. A preview request
// whose second argument is missing or not a decimal number that fits a window id asks for
// no window.
RunRequest ParseCommandLine(const std::vector<std::string>& args);

}  // namespace shell
