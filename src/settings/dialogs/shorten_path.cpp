#include "settings/dialogs/shorten_path.h"

#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace settings {

std::string ShortenPath(const std::string& path) {
  const std::string shown = platform::DisplayPath(path);
  const std::u16string units = platform::Utf8ToUtf16(shown);
  if (units.size() <= 32) return shown;
  return platform::Utf16ToUtf8(units.substr(0, 10)) + "..." +
         platform::Utf16ToUtf8(units.substr(units.size() - 20));
}

}  // namespace settings
