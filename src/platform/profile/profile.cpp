#include "platform/profile/profile.h"

#include <cstring>
#include <limits>
#include <optional>

#include "platform/fs/fs.h"
#include "platform/profile/ini_document.h"
#include "platform/text/text.h"

namespace platform {
namespace {

enum class FileState { kRead, kMissing, kUnreadable };

struct LoadedFile {
  FileState state;
  std::string bytes;
};

LoadedFile Load(const std::string& path) {
  if (std::optional<std::string> bytes = ReadWholeFile(path)) {
    return {FileState::kRead, std::move(*bytes)};
  }
  // A folder or an unreadable file is there: a write must not replace it.
  if (FileExists(path) || DirectoryExists(path)) return {FileState::kUnreadable, {}};
  return {FileState::kMissing, {}};
}

// A value written with quotes around it reads without them.
std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Copies at most size - 1 bytes, never ending inside a UTF-8 character.
DWORD CopyOut(std::string_view text, char* buffer, DWORD size) {
  std::size_t length = text.size();
  if (length > size - 1) {
    length = size - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  if (section == nullptr || key == nullptr || fileName == nullptr) return CopyOut("", buffer, size);
  // The default loses its trailing blanks, as a value in the file would.
  std::string_view fallback = defaultValue ? defaultValue : "";
  const std::size_t lastNonBlank = fallback.find_last_not_of(" \t");
  fallback = lastNonBlank == std::string_view::npos ? "" : fallback.substr(0, lastNonBlank + 1);

  const LoadedFile file = Load(fileName);
  if (file.state != FileState::kRead) return CopyOut(fallback, buffer, size);
  const ini::Document document = ini::Document::Parse(DecodeTextFile(file.bytes));
  const std::optional<std::string> value = document.Find(section, key);
  return CopyOut(value ? StripQuotes(*value) : fallback, buffer, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
  if (section == nullptr || fileName == nullptr || *fileName == '\0') return 0;
  if (!ini::IsWritableSectionName(section)) return 0;
  if (key != nullptr && !ini::IsWritableKeyName(key)) return 0;
  if (value != nullptr && !ini::IsWritableValue(value)) return 0;

  const LoadedFile file = Load(fileName);
  if (file.state == FileState::kUnreadable) return 0;
  ini::Document document = ini::Document::Parse(DecodeTextFile(file.bytes));
  bool changed = false;
  if (key == nullptr) {
    changed = document.RemoveSection(section);
  } else if (value == nullptr) {
    changed = document.RemoveKey(section, key);
  } else {
    changed = document.Set(section, key, value);
  }
  if (!changed) return 1;
  return WriteWholeFileAtomic(fileName, document.Serialize()) ? 1 : 0;
}

int ParseProfileInteger(const std::string& text, int defaultValue) {
  const std::string_view trimmed = ini::TrimBlanks(text);
  if (trimmed.size() >= 3 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X')) {
    // Up to 32 bits; the top bit makes the value negative, as in the two's complement
    // reading of the stored word.
    std::uint64_t value = 0;
    for (const char c : trimmed.substr(2)) {
      int digit = 0;
      if (c >= '0' && c <= '9') {
        digit = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      } else {
        return defaultValue;
      }
      value = value * 16 + static_cast<std::uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return defaultValue;
    }
    return static_cast<int>(static_cast<std::uint32_t>(value));
  }

  std::string_view digits = trimmed;
  const bool negative = digits.starts_with('-');
  if (negative || digits.starts_with('+')) digits.remove_prefix(1);
  if (digits.empty()) return defaultValue;
  // Accumulated as a negative number, whose range is one larger, so INT_MIN parses too.
  std::int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return defaultValue;
    value = value * 10 - (c - '0');
    if (value < std::numeric_limits<int>::min()) return defaultValue;
  }
  if (!negative) {
    value = -value;
    if (value > std::numeric_limits<int>::max()) return defaultValue;
  }
  return static_cast<int>(value);
}

}  // namespace platform
