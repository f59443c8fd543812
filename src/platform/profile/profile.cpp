#include "platform/profile/profile.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "platform/fs/fs.h"
#include "platform/profile/ini_document.h"

namespace platform {

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error(DisplayPath(path) + " に書き込めません") {}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
  return ParseProfileInteger(ReadString(section, key, ""), defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
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
