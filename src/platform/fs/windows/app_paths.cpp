// Where the files live on Windows: everything, the user's files included, in the data
// folder beside the executable, as a copied installation keeps it.
#include "platform/fs/app_paths.h"

#include <windows.h>

#include "platform/fs/fs.h"
#include "platform/fs/windows/wide_path.h"

namespace platform {

bool MakeDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return !path.empty();
  // Each prefix ending before a separator, the drive ("C:") and existing folders included:
  // those fail harmlessly, and only the final test decides.
  for (std::size_t end = path.find_first_of("/\\", 1); end != std::string::npos;
       end = path.find_first_of("/\\", end + 1)) {
    CreateDirectoryW(WidePath(path.substr(0, end)).c_str(), nullptr);
  }
  CreateDirectoryW(WidePath(path).c_str(), nullptr);
  return DirectoryExists(path);
}

AppPaths FindAppPaths(const std::string& exeDir, const EnvLookup&) {
  AppPaths paths;
  paths.exeDir = exeDir.empty() || exeDir.back() == '/' ? exeDir : exeDir + "/";
  const std::string folder = paths.exeDir + kDataFolderName + "/";
  paths.dataDir = paths.legacyDir = paths.configDir = paths.userDataDir = paths.stateDir = folder;
  paths.dataHome = paths.exeDir;  // the sibling savers' folders stand beside ours
  return paths;
}

const AppPaths& Paths() {
  static const AppPaths paths = FindAppPaths(ExeDir(), [](const char*) { return nullptr; });
  return paths;
}

}  // namespace platform
