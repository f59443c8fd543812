// The debug log as the tests read it: its text in UTF-8, whichever encoding the system
// writes its text files in.
#pragma once

#include <string>

#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace testing_support {

// "" when the file is missing.
inline std::string LogText(const std::string& path) {
  return platform::DecodeTextFile(platform::ReadWholeFile(path).value_or(""));
}

}  // namespace testing_support
