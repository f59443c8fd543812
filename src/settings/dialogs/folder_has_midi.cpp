#include "settings/dialogs/folder_has_midi.h"

#include <sys/stat.h>

#include <set>
#include <utility>

#include "platform/fs/fs.h"

namespace settings {
namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool Search(const std::string& folder, std::set<FolderId>& visited) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return false;
  if (!visited.insert({info.st_dev, info.st_ino}).second) return false;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (const platform::DirEntry& entry : platform::ListDirectory(prefix)) {
    if (entry.isDirectory) {
      if (Search(prefix + entry.name, visited)) return true;
    } else if (IsMidiName(entry.name)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsMidiName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && name.compare(dot, std::string::npos, ".mid") == 0;
}

bool FolderHasMidi(const std::string& folder) {
  std::set<FolderId> visited;
  return Search(folder, visited);
}

}  // namespace settings
