#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/text/text.h"

namespace platform::gdi {

bool SetFaceName(LOGFONTA& description, std::string_view utf8) {
  const std::string ansi = platform::Utf8ToAnsi(utf8);
  bool whole = platform::AnsiToUtf8(ansi) == utf8;
  // Whole characters only, and room for the terminating zero.
  std::size_t length = 0;
  while (length < ansi.size()) {
    const std::size_t width =
        platform::IsLeadByte(static_cast<unsigned char>(ansi[length])) ? 2 : 1;
    if (length + width > LF_FACESIZE - 1) {
      whole = false;
      break;
    }
    length += width;
  }
  std::memset(description.lfFaceName, 0, sizeof description.lfFaceName);
  std::memcpy(description.lfFaceName, ansi.data(), std::min(length, ansi.size()));
  return whole;
}

namespace {

int CALLBACK CollectFamily(const LOGFONTA* font, const TEXTMETRICA* /*metrics*/, DWORD /*type*/,
                           LPARAM names) {
  reinterpret_cast<std::set<std::string>*>(names)->insert(platform::AnsiToUtf8(font->lfFaceName));
  return 1;
}

struct FaceSearch {
  std::wstring name;
  bool found = false;
};

// The system matches the name without regard to case; the saver's rule does not.
int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM search) {
  auto& wanted = *reinterpret_cast<FaceSearch*>(search);
  if (wanted.name == font->lfFaceName) wanted.found = true;
  return wanted.found ? 0 : 1;
}

}  // namespace

std::vector<std::string> InstalledScreenFonts() {
  std::set<std::string> names;
  const UniqueDC dc(CreateCompatibleDC(nullptr));
  LOGFONTA every{};
  every.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExA(dc.get(), &every, CollectFamily, reinterpret_cast<LPARAM>(&names), 0);
  return {names.begin(), names.end()};
}

bool IsInstalledScreenFont(std::string_view faceName) {
  const std::vector<std::string> names = InstalledScreenFonts();
  return std::binary_search(names.begin(), names.end(), faceName);
}

bool IsJapaneseScreenFont(std::string_view faceName) {
  const std::u16string name = platform::Utf8ToUtf16(faceName);
  FaceSearch search{std::wstring(name.begin(), name.end())};
  if (search.name.empty() || search.name.size() >= LF_FACESIZE) return false;
  LOGFONTW wanted{};
  wanted.lfCharSet = SHIFTJIS_CHARSET;
  std::copy(search.name.begin(), search.name.end(), wanted.lfFaceName);
  const UniqueDC dc(CreateCompatibleDC(nullptr));
  ::EnumFontFamiliesExW(dc.get(), &wanted, NoteFace, reinterpret_cast<LPARAM>(&search), 0);
  return search.found;
}

void SetFontAliasFile(std::string /*path*/) {}

}  // namespace platform::gdi
