#include "platform/profile/profile.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/windows/system_profile.h"
#include "platform/text/text.h"

namespace platform {
namespace ini {
namespace {

// `utf8` in the code page, when every character of it is there: a value written with '?' in
// place of a character would be lost data.
std::optional<std::string> InCodePage(std::string_view utf8) {
  std::string ansi = Utf8ToAnsi(utf8);
  if (AnsiToUtf8(ansi) != utf8) return std::nullopt;
  return ansi;
}

// The system takes a name without a "\" for one in its own folder, so the path goes with
// "\" separators. '/' is never the second byte of a double-byte character.
std::optional<std::string> SystemPath(const std::string& path) {
  std::optional<std::string> ansi = InCodePage(path);
  if (ansi) std::replace(ansi->begin(), ansi->end(), '/', '\\');
  return ansi;
}

// The value, or `absent` itself when the key is not there.
std::string ReadOrDefault(const std::string& path, const std::string& section,
                          const std::string& key, const char* absent) {
  std::vector<char> buffer(256);
  for (;;) {
    const ::DWORD length =
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), absent, buffer.data(),
                                   static_cast<::DWORD>(buffer.size()), path.c_str());
    // A value that fills the buffer may have been cut: read it again with room to spare.
    if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
      return std::string(buffer.data(), length);
    }
    buffer.resize(buffer.size() * 4);
  }
}

// One write through the system, `file` in the code page with "\" separators; the names and
// the value already checked.
bool WriteInCodePage(const std::string& file, const char* section, const char* key,
                     const char* value) {
  const std::string ansiSection = Utf8ToAnsi(section);
  const std::string ansiKey = key ? Utf8ToAnsi(key) : "";
  const std::string ansiValue = value ? Utf8ToAnsi(value) : "";
  return ::WritePrivateProfileStringA(ansiSection.c_str(), key ? ansiKey.c_str() : nullptr,
                                      value ? ansiValue.c_str() : nullptr, file.c_str()) != 0;
}

bool Exists(const std::string& file) {
  return ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name beside `file` that nothing holds, with a copy of the file under it when the file
// exists; "" when none could be made. In the same folder, so that moving it over the file
// is one rename on one volume.
std::string CopyBeside(const std::string& file) {
  static std::atomic<unsigned> counter{0};
  const bool exists = Exists(file);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string copy = file + ".commit" + std::to_string(::GetCurrentProcessId()) + "_" +
                             std::to_string(counter++);
    if (Exists(copy)) continue;
    if (!exists || ::CopyFileA(file.c_str(), copy.c_str(), TRUE)) return copy;
    if (::GetLastError() != ERROR_FILE_EXISTS) return "";
  }
  return "";
}

}  // namespace

std::optional<std::string> SystemRead(const std::string& path, std::string_view section,
                                      std::string_view key) {
  const auto file = SystemPath(path);
  const auto ansiSection = InCodePage(section);
  const auto ansiKey = InCodePage(key);
  if (!file || !ansiSection || !ansiKey) return std::nullopt;
  // The system answers an absent key with the default: a value that could be a default is
  // read again with another, and only a key that gives back both is absent.
  std::string value = ReadOrDefault(*file, *ansiSection, *ansiKey, "\x01");
  if (value == "\x01" && ReadOrDefault(*file, *ansiSection, *ansiKey, "\x02") == "\x02") {
    return std::nullopt;
  }
  return AnsiToUtf8(value);
}

bool SystemCanWrite(const char* section, const char* key, const char* value) {
  if (section == nullptr || !IsWritableSectionName(section) || !InCodePage(section)) return false;
  if (key != nullptr && (!IsWritableKeyName(key) || !InCodePage(key))) return false;
  return value == nullptr || (IsWritableValue(value) && InCodePage(value));
}

bool SystemWrite(const std::string& path, const char* section, const char* key, const char* value) {
  const auto file = SystemPath(path);
  if (!file || file->empty() || !SystemCanWrite(section, key, value)) return false;
  return WriteInCodePage(*file, section, key, value);
}

bool SystemWriteAll(const std::string& path, const std::vector<SystemWriteRequest>& writes) {
  const auto file = SystemPath(path);
  if (!file || file->empty() || !IsWritableFile(path)) return false;
  for (const SystemWriteRequest& w : writes) {
    if (!SystemCanWrite(w.section.c_str(), w.key.c_str(), w.value.c_str())) return false;
  }
  const std::string copy = CopyBeside(*file);
  if (copy.empty()) return false;
  bool ok = true;
  for (const SystemWriteRequest& w : writes) {
    ok = ok && WriteInCodePage(copy, w.section.c_str(), w.key.c_str(), w.value.c_str());
  }
  // Without a file to start from and with nothing written, there is nothing to put in place.
  if (!Exists(copy)) return ok;
  ok = ok && ::MoveFileExA(copy.c_str(), file->c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) ::DeleteFileA(copy.c_str());
  return ok;
}

}  // namespace ini

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string value;
  if (section != nullptr && key != nullptr && fileName != nullptr) {
    if (auto read = ini::SystemRead(fileName, section, key)) {
      value = std::move(*read);
    } else {
      // The default loses its trailing blanks, as a value in the file would.
      value = defaultValue ? defaultValue : "";
      value.erase(value.find_last_not_of(" \t") + 1);
    }
  }
  const std::string_view cut = ini::CutUtf8(value, size);
  std::memcpy(buffer, cut.data(), cut.size());
  buffer[cut.size()] = '\0';
  return static_cast<DWORD>(cut.size());
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
  return fileName != nullptr && ini::SystemWrite(fileName, section, key, value) ? 1 : 0;
}

}  // namespace platform
