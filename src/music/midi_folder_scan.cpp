#include "music/midi_folder_scan.h"

#include <set>

#include "platform/fs/fs.h"

namespace music {
namespace {

bool HasMidiExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && name.compare(dot, std::string::npos, ".mid") == 0;
}

void Scan(std::string folder, std::vector<std::string>& list,
          const std::function<void()>& handleMessages, std::set<std::string>& visited) {
  if (handleMessages) handleMessages();
  if (folder.empty() || folder.back() != '/') folder += '/';
  // A folder that cannot be identified is read at most once under each spelling.
  if (!visited.insert(platform::FileIdentity(folder).value_or(folder)).second) return;
  for (const platform::DirEntry& entry : platform::ListDirectory(folder)) {
    if (entry.isDirectory) {
      Scan(folder + entry.name, list, handleMessages, visited);
    } else if (HasMidiExtension(entry.name)) {
      list.push_back(folder + entry.name);
    }
  }
}

}  // namespace

void ScanMidiFolder(const std::string& folder, std::vector<std::string>& list,
                    const std::function<void()>& handleMessages) {
  std::set<std::string> visited;
  Scan(folder, list, handleMessages, visited);
}

}  // namespace music
