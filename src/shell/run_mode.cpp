#include "shell/run_mode.h"

#include <limits>

namespace shell {

namespace {

bool ParseWindowId(const std::string& text, std::uint64_t& id) {
  if (text.empty()) return false;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();  // X11 ids are 32-bit
  std::uint64_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(ch - '0');
    if (value > kMax) return false;
  }
  id = value;
  return true;
}

}  // namespace

RunRequest ParseCommandLine(const std::vector<std::string>& args) {
  const std::string first = args.empty() ? std::string() : args[0];
  RunRequest request;
  if (first == "/s" || first == "/S") request.mode = RunMode::kSaver;
  if (first == "/p" || first == "/P") {
    std::uint64_t id = 0;
    if (args.size() >= 2 && ParseWindowId(args[1], id)) {
      request.mode = RunMode::kPreview;
      request.parentWindow = id;
    }
  }
  if (first.empty()) request.mode = RunMode::kSettings;
  const std::string prefix = first.substr(0, 2);
  if (prefix == "/c" || prefix == "/C") request.mode = RunMode::kSettingsShown;
  return request;
}

}  // namespace shell
