#include "platform/profile/profile.h"

#include <cstring>
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

}  // namespace

LoadedDocument LoadDocument(const std::string& path) {
  if (std::optional<std::string> bytes = ReadFilePrefix(path, kMaxDocumentBytes + 1)) {
    if (bytes->size() > kMaxDocumentBytes) return {FileState::kUnreadable, {}};
    return {FileState::kRead, Document::Parse(std::move(*bytes))};
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
  return std::string(CutUtf8(value ? StripQuotes(*value) : fallback, limit));
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

}  // namespace platform
