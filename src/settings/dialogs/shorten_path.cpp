#include "settings/dialogs/shorten_path.h"

#include "platform/text/text.h"

namespace settings {

std::string ShortenPath(const std::string& path) {
  const std::u16string units = platform::Utf8ToUtf16(path);
  if (units.size() <= 32) return path;
  return platform::Utf16ToUtf8(units.substr(0, 10)) + "..." +
         platform::Utf16ToUtf8(units.substr(units.size() - 20));
}

}  // namespace settings
