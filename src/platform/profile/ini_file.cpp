#include <string>

#include "platform/fs/fs.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/profile.h"
#include "platform/text/text.h"

namespace platform {
namespace {

// Values longer than this many bytes are cut when read.
constexpr DWORD kValueBufferSize = 2048;

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません") {}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  const std::optional<std::string> bytes = ReadWholeFile(path_);
  if (!bytes) return false;
  return ini::Document::Parse(DecodeTextFile(*bytes)).Find(section, key).has_value();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  std::string buffer(kValueBufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                buffer.data(), kValueBufferSize, path_.c_str());
  buffer.resize(length);
  return buffer;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
  return ParseProfileInteger(ReadString(section, key, ""), defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str())) {
    throw IniWriteError(path_);
  }
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace platform
