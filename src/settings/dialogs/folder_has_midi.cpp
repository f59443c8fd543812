#include "settings/dialogs/folder_has_midi.h"

#include <set>

#include "platform/fs/fs.h"

namespace settings {
namespace {

bool Search(const std::string& folder, std::set<std::string>& visited) {
  const std::optional<std::string> identity = platform::FileIdentity(folder);
  if (!identity || !visited.insert(*identity).second) return false;
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
  std::set<std::string> visited;
  return Search(folder, visited);
}

}  // namespace settings
