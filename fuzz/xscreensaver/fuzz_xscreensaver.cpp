// Arbitrary bytes as the user's ~/.xscreensaver: adding the hack lists it once (a second
// add changes nothing), and every line of the file but the list's last one is kept, in order.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "desktop/xscreensaver_list.h"

namespace {

constexpr std::string_view kCommand = "velmorandi --root";

std::string_view NextLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

// True when the lines of `before` but at most one are found in `after` in their order.
bool KeptInOrder(std::string_view before, std::string_view after) {
  int missed = 0;
  while (!before.empty()) {
    const std::string_view line = NextLine(before);
    std::string_view rest = after;
    bool found = false;
    while (!rest.empty() && !found) found = NextLine(rest) == line;
    if (found) {
      after = rest;
    } else if (++missed > 1) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const desktop::ProgramsEdit edit = desktop::AddToPrograms(file, kCommand);
  if (edit.change == desktop::ListChange::kAlreadyListed) {
    if (edit.text != file) std::abort();
    return 0;
  }
  if (edit.text.find(kCommand) == std::string::npos || !KeptInOrder(file, edit.text)) std::abort();
  const desktop::ProgramsEdit again = desktop::AddToPrograms(edit.text, kCommand);
  if (again.change != desktop::ListChange::kAlreadyListed || again.text != edit.text) std::abort();
  return 0;
}
