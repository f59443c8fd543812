// Paths of the program (UTF-8, "/" or "\" between names) as the wide strings the file API
// takes, and back.
#pragma once

#include <string>

namespace platform {

std::wstring WidePath(const std::string& path);
std::string Utf8Path(const std::wstring& path);  // with "/" between names
std::string SystemError(unsigned long code);     // the system's message for an error code

}  // namespace platform
