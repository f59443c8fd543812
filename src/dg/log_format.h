// printf-style formatting of the layer's log lines into a std::string.
#pragma once

#include <string>

namespace dg {

std::string LogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace dg
