#include "settings/stored_font.h"

#include "platform/fs/fs.h"

namespace settings {

std::optional<SaverFont> UsableStoredFont(const std::string& face, const std::string& styleFile,
                                          const FontInstalledTest& usable) {
  if (!usable || !usable(face)) return std::nullopt;
  SaverFont font{face, std::nullopt};
  if (platform::FileExists(styleFile)) {
    if (const auto bytes = platform::ReadFilePrefix(styleFile, 1)) {
      font.style = bytes->empty() ? std::uint8_t{0}
                                  : static_cast<std::uint8_t>((*bytes)[0] & kFontStyleBits);
    }
  }
  return font;
}

}  // namespace settings
