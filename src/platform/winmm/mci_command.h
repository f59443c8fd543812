// The media-control command strings this layer understands, parsed into one structure.
//
//   open <element> [alias <name>]    element: a path, in double quotes when it has spaces
//   play <name>
//   stop <name>
//   seek <name> to 0 | to start
//   status <name> mode
//   close <name>
//
// Command words, keywords and device names match regardless of ASCII case; the element is
// taken byte for byte.
#pragma once

#include <string>
#include <variant>

#include "platform/winmm/winmm_types.h"

namespace platform {

enum class MciVerb { kOpen, kPlay, kStop, kSeek, kStatus, kClose };

struct MciCommand {
  MciVerb verb = MciVerb::kOpen;
  std::string device;   // the alias (for open: the alias given, else the element)
  std::string element;  // open only: the file path
};

// The command, or the MCIERR_* code that says why the string is not one.
std::variant<MciCommand, MCIERROR> ParseMciCommand(const char* text);

// ASCII letters compared without regard to case, every other byte exactly.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b);

}  // namespace platform
