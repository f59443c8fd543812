// The text of a user idiom list for tests: the 15 header lines, then the given lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/user_list.h"
#include "platform/text/text.h"

namespace testing_support {

// The 15 header lines followed by `body`, each line ended by `eol`.
inline std::string ListText(const std::vector<std::string>& body, std::string_view eol = "\r\n") {
  std::string text;
  for (int i = 1; i <= dictionary::kUserListHeaderLines; ++i) {
    text += "見出し" + std::to_string(i);
    text += eol;
  }
  for (const std::string& line : body) {
    text += line;
    text += eol;
  }
  return text;
}

// The same as a list file holds it: in the code page every system reads lists in.
inline std::string FileListText(const std::vector<std::string>& body,
                                std::string_view eol = "\r\n") {
  return platform::Utf8ToAnsi(ListText(body, eol));
}

}  // namespace testing_support
