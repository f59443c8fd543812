#include "platform/profile/profile.h"

#include <cstring>
#include <limits>
#include <optional>

#include "platform/fs/fs.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/linux/ini_storage.h"
#include "platform/text/text.h"

namespace platform {
namespace ini {
namespace {

// A value written with quotes around it reads without them.
std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// At most limit - 1 bytes, never ending inside a UTF-8 character.
std::string_view Cut(std::string_view text, std::size_t limit) {
  if (limit == 0) return {};
  std::size_t length = text.size();
  if (length > limit - 1) {
    length = limit - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  return text.substr(0, length);
}

}  // namespace

LoadedDocument LoadDocument(const std::string& path) {
  if (std::optional<std::string> bytes = ReadWholeFile(path)) {
    return {FileState::kRead, Document::Parse(*bytes)};
  }
  if (PathExists(path)) return {FileState::kUnreadable, {}};
  return {FileState::kMissing, {}};
}

std::string ReadValue(const Document* document, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::size_t limit) {
  // The default loses its trailing blanks, as a value in the file would.
  const std::size_t lastNonBlank = defaultValue.find_last_not_of(" \t");
  std::string_view fallback =
      lastNonBlank == std::string_view::npos ? "" : defaultValue.substr(0, lastNonBlank + 1);
  const std::optional<std::string> value = document ? document->Find(section, key) : std::nullopt;
  return std::string(Cut(value ? StripQuotes(*value) : fallback, limit));
}

bool ApplyWrite(Document& document, const char* section, const char* key, const char* value,
                bool& changed) {
  changed = false;
  if (section == nullptr || !IsWritableSectionName(section)) return false;
  if (key != nullptr && !IsWritableKeyName(key)) return false;
  if (value != nullptr && !IsWritableValue(value)) return false;
  if (key == nullptr) {
    changed = document.RemoveSection(section);
  } else if (value == nullptr) {
    changed = document.RemoveKey(section, key);
  } else {
    changed = document.Set(section, key, value);
  }
  return true;
}

bool StoreDocument(const std::string& path, const Document& document) {
  return WriteWholeFileAtomic(path, document.Serialize());
}

}  // namespace ini

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string value;
  if (section != nullptr && key != nullptr && fileName != nullptr) {
    const ini::LoadedDocument file = ini::LoadDocument(fileName);
    value = ini::ReadValue(file.state == ini::FileState::kRead ? &file.document : nullptr, section,
                           key, defaultValue ? defaultValue : "", size);
  }
  std::memcpy(buffer, value.data(), value.size());
  buffer[value.size()] = '\0';
  return static_cast<DWORD>(value.size());
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
  if (fileName == nullptr || *fileName == '\0') return 0;
  ini::LoadedDocument file = ini::LoadDocument(fileName);
  if (file.state == ini::FileState::kUnreadable) return 0;
  bool changed = false;
  if (!ini::ApplyWrite(file.document, section, key, value, changed)) return 0;
  if (!changed) return 1;
  return ini::StoreDocument(fileName, file.document) ? 1 : 0;
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
