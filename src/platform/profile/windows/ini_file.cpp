#include <map>
#include <string>
#include <vector>

#include "platform/profile/ini_document.h"
#include "platform/profile/profile.h"
#include "platform/profile/windows/system_profile.h"

namespace platform {
namespace {

// How the system matches names: blanks around them ignored, ASCII case ignored.
std::string NameKey(std::string_view section, std::string_view key) {
  std::string name =
      std::string(ini::TrimBlanks(section)) + '\0' + std::string(ini::TrimBlanks(key));
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

// The system reads the file; this holds only the writes kept for Commit, in their order and
// by name for the reads that must see them.
struct IniFile::Cache {
  std::vector<ini::SystemWriteRequest> writes;
  std::map<std::string, std::string> values;
};

IniFile::IniFile(std::string path, IniWrites writes) : path_(std::move(path)), writes_(writes) {}

IniFile::~IniFile() = default;

const IniFile::Cache& IniFile::Loaded() const {
  if (!cache_) cache_ = std::make_unique<Cache>();
  return *cache_;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  return Loaded().values.contains(NameKey(section, key)) ||
         ini::SystemRead(path_, section, key).has_value();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  const Cache& cache = Loaded();
  std::optional<std::string> value;
  if (const auto pending = cache.values.find(NameKey(section, key));
      pending != cache.values.end()) {
    value = pending->second;
  } else {
    value = ini::SystemRead(path_, section, key);
  }
  if (!value) {
    // The default loses its trailing blanks, as a value in the file would.
    value = defaultValue;
    value->erase(value->find_last_not_of(" \t") + 1);
  }
  return std::string(ini::CutUtf8(*value, ini::kValueLimit));
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (writes_ == IniWrites::kEach) {
    if (!ini::SystemWrite(path_, section.c_str(), key.c_str(), value.c_str())) {
      throw IniWriteError(path_);
    }
    return;
  }
  // Checked now, so that a value the file cannot hold is refused where it is written.
  if (!ini::SystemCanWrite(section.c_str(), key.c_str(), value.c_str())) {
    throw IniWriteError(path_);
  }
  Loaded();
  cache_->writes.push_back({section, key, value});
  cache_->values[NameKey(section, key)] = value;
}

void IniFile::Commit() {
  if (!cache_ || cache_->writes.empty()) return;
  const std::vector<ini::SystemWriteRequest> writes = std::move(cache_->writes);
  cache_.reset();
  if (!ini::SystemWriteAll(path_, writes)) throw IniWriteError(path_);
}

}  // namespace platform
