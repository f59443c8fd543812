#include <string>

#include "platform/profile/linux/ini_storage.h"
#include "platform/profile/profile.h"

namespace platform {
namespace {

// Values longer than this many bytes are cut when read.
constexpr std::size_t kValueBufferSize = 2048;

}  // namespace

struct IniFile::Cache {
  ini::LoadedDocument file;
  bool changed = false;  // kOnCommit: a write changed the document since it was read
};

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません") {}

IniFile::IniFile(std::string path, IniWrites writes) : path_(std::move(path)), writes_(writes) {}

IniFile::~IniFile() = default;

const IniFile::Cache& IniFile::Loaded() const {
  if (!cache_) cache_ = std::make_unique<Cache>(Cache{ini::LoadDocument(path_)});
  return *cache_;
}

const ini::Document* IniFile::Readable() const {
  const Cache& cache = Loaded();
  const bool read = cache.file.state == ini::FileState::kRead || cache.changed;
  return read ? &cache.file.document : nullptr;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  const ini::Document* document = Readable();
  return document && document->Find(section, key).has_value();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  return ini::ReadValue(Readable(), section, key, defaultValue, kValueBufferSize);
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
  if (writes_ == IniWrites::kEach) cache_.reset();  // the write starts from the file as it is now
  Loaded();
  Cache& cache = *cache_;
  if (cache.file.state == ini::FileState::kUnreadable) throw IniWriteError(path_);
  bool changed = false;
  if (!ini::ApplyWrite(cache.file.document, section.c_str(), key.c_str(), value.c_str(), changed)) {
    throw IniWriteError(path_);
  }
  if (!changed) return;
  if (writes_ == IniWrites::kOnCommit) {
    cache.changed = true;
    return;
  }
  if (!ini::StoreDocument(path_, cache.file.document)) {
    cache_.reset();
    throw IniWriteError(path_);
  }
  cache.file.state = ini::FileState::kRead;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::Commit() {
  if (!cache_ || !cache_->changed) return;
  if (!ini::StoreDocument(path_, cache_->file.document)) {
    cache_.reset();
    throw IniWriteError(path_);
  }
  cache_->changed = false;
  cache_->file.state = ini::FileState::kRead;
}

}  // namespace platform
