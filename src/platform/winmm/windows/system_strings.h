// Our UTF-8 texts with "/" between names, as the wide strings the system's multimedia calls
// take.
#pragma once

#include <string>

namespace platform {

// `path` in UTF-16 with every "/" turned into "\".
std::wstring SystemPath(const std::string& path);

// `command` in UTF-16; inside double quotes, where MCI commands carry their paths, every
// "/" is turned into "\".
std::wstring SystemMciCommand(const std::string& command);

}  // namespace platform
