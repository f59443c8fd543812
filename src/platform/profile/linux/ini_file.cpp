#include <string>

#include "platform/profile/ini_document.h"
#include "platform/profile/linux/ini_storage.h"
#include "platform/profile/profile.h"

namespace platform {
namespace {

// The document reads answer from; null when the file could not be read.
const ini::Document* Readable(const ini::LoadedDocument& file, bool changed) {
  return file.state == ini::FileState::kRead || changed ? &file.document : nullptr;
}

}  // namespace

struct IniFile::Cache {
  ini::LoadedDocument file;
  bool changed = false;  // kOnCommit: a write changed the document since it was read
};

IniFile::IniFile(std::string path, IniWrites writes) : path_(std::move(path)), writes_(writes) {}

IniFile::~IniFile() = default;

const IniFile::Cache& IniFile::Loaded() const {
  if (!cache_) cache_ = std::make_unique<Cache>(Cache{ini::LoadDocument(path_)});
  return *cache_;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  const Cache& cache = Loaded();
  const ini::Document* document = Readable(cache.file, cache.changed);
  return document && document->Find(section, key).has_value();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  const Cache& cache = Loaded();
  return ini::ReadValue(Readable(cache.file, cache.changed), section, key, defaultValue,
                        ini::kValueLimit);
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
