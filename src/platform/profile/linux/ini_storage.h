// How the profile functions and IniFile load, change and store one settings file; shared
// by both so that they read and write alike.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile/ini_document.h"

namespace platform::ini {

enum class FileState {
  kRead,
  kMissing,
  // Something is there that cannot be read as a file (a folder, a FIFO, a file without
  // read permission, one of more than kMaxDocumentBytes): a write must not replace it.
  kUnreadable,
};

struct LoadedDocument {
  FileState state = FileState::kMissing;
  Document document;
};

LoadedDocument LoadDocument(const std::string& path);

// The value read for `key` (quotes around it dropped) or `defaultValue` (its trailing
// blanks dropped), cut to fewer than `limit` bytes without splitting a UTF-8 character.
std::string ReadValue(const Document* document, std::string_view section, std::string_view key,
                      std::string_view defaultValue, std::size_t limit);

// One write of WritePrivateProfileStringA's kinds: a null `value` removes the key, a null
// `key` the section. False when the names or the value cannot be written; `changed` tells
// whether the document changed.
bool ApplyWrite(Document& document, const char* section, const char* key, const char* value,
                bool& changed);

// Writes the document over the file; false when the file system refuses.
bool StoreDocument(const std::string& path, const Document& document);

}  // namespace platform::ini
