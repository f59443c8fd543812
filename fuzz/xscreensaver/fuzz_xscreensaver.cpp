// Arbitrary bytes as the user's ~/.xscreensaver: adding the hack lists it once (a second
// add changes nothing), and every line of the file but the list's last one is kept, in order.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/xscreensaver_list.h"

namespace {

constexpr std::string_view kCommand = "velmorandi --root";

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// True when `after` is `before` with lines put in at one place, where at most one line of
// `before` may have changed: once the lines both share at their start and at their end are
// set aside, at most one line of `before` is left.
bool KeptInOrder(std::string_view before, std::string_view after) {
  const std::vector<std::string_view> a = Lines(before);
  const std::vector<std::string_view> b = Lines(after);
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  return a.size() - head - tail <= 1;
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
