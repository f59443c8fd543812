#include "music/midi_folder_scan.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/fs/fs.h"

namespace music {
namespace {

bool HasMidiExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && name.compare(dot, std::string::npos, ".mid") == 0;
}

// The folder's identity once links are resolved; the path itself when it cannot be
// resolved (it is then read at most once under that spelling).
std::string RealFolder(const std::string& folder) {
  std::error_code error;
  const auto real = std::filesystem::canonical(folder, error);
  return error ? folder : real.string();
}

void Scan(std::string folder, std::vector<std::string>& list,
          const std::function<void()>& handleMessages, std::set<std::string>& visited) {
  if (handleMessages) handleMessages();
  if (folder.empty() || folder.back() != '/') folder += '/';
  if (!visited.insert(RealFolder(folder)).second) return;
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
