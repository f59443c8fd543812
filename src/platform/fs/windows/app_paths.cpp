// Where the files live on Windows: the read-only data in the folder beside the .scr (where
// the installer puts it, in the system folder the screen saver settings list), the user's
// files in %APPDATA%\Velmorandi, the log in %LOCALAPPDATA%\Velmorandi. The install folder is
// not writable for a standard user; files an older installation kept beside the .scr are
// still read from there until the user's own exist.
#include "platform/fs/app_paths.h"

#include <windows.h>
// The known folders after windows.h.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "platform/fs/fs.h"
#include "platform/fs/windows/wide_path.h"

namespace platform {
namespace {

constexpr char kWindowsUserFolder[] = "Velmorandi";

std::string WithSlash(std::string folder) {
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += '/';
  return folder;
}

// "C:\x", "C:/x" or "\\server\share\x": a relative or drive-relative value would put the
// user's files wherever the program happened to start.
bool IsAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[0] == path[1];
  return drive || share;
}

// The folder named by `variable` with our own folder in it, or `fallback` when the variable
// is unset or not absolute.
std::string UserFolder(const EnvLookup& env, const char* variable, const std::string& fallback) {
  const char* value = env(variable);
  if (value == nullptr || !IsAbsolute(value)) return fallback;
  std::string folder = value;
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  return WithSlash(folder) + kWindowsUserFolder + "/";
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) folder = Utf8Path(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

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

// `env` answers APPDATA and LOCALAPPDATA; without them the user's files stay beside the
// .scr, as a copied installation kept them.
AppPaths FindAppPaths(const std::string& exeDir, const EnvLookup& env) {
  AppPaths paths;
  paths.exeDir = WithSlash(exeDir);
  paths.dataDir = paths.legacyDir = paths.exeDir + kDataFolderName + "/";
  paths.configDir = paths.userDataDir = UserFolder(env, "APPDATA", paths.legacyDir);
  paths.stateDir = UserFolder(env, "LOCALAPPDATA", paths.configDir);
  // The sibling savers read their word files from their folders beside their .scr, which
  // is beside ours.
  paths.dataHome = paths.exeDir;
  return paths;
}

// The shell's known folders, not the variables, which a program's caller may have changed.
const AppPaths& Paths() {
  static const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
  static const std::string local = KnownFolder(FOLDERID_LocalAppData);
  static const AppPaths paths = FindAppPaths(ExeDir(), [](const char* name) -> const char* {
    const std::string& folder = std::string(name) == "APPDATA" ? roaming : local;
    return folder.empty() ? nullptr : folder.c_str();
  });
  return paths;
}

}  // namespace platform
