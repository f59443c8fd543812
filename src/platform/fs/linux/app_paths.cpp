// Where the files live on Linux: the data found from the executable and the XDG data
// folders, the user's files in the XDG base folders of the user.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"

namespace platform {
namespace {

constexpr char kDataMarker[] = "data.qda";
constexpr char kDefaultDataDirs[] = "/usr/local/share:/usr/share";

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// A variable's value when it is an absolute path; the base directory rules ignore
// relative ones.
std::string AbsoluteValue(const EnvLookup& env, const char* name) {
  const char* value = env(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string HomeFolder(const EnvLookup& env) {
  if (std::string home = AbsoluteValue(env, "HOME"); !home.empty()) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/tmp";
}

std::string UserBase(const EnvLookup& env, const char* variable, const std::string& home,
                     const char* fallback) {
  std::string base = AbsoluteValue(env, variable);
  if (base.empty()) base = WithSlash(home) + fallback;
  return WithSlash(base);
}

std::vector<std::string> DataCandidates(const std::string& exeDir, const EnvLookup& env) {
  std::vector<std::string> candidates{exeDir + "../" + kInstalledDataFolder + "/",
                                      exeDir + kDataFolderName + "/"};
  const char* dirs = env("XDG_DATA_DIRS");
  const std::string list = (dirs != nullptr && dirs[0] != '\0') ? dirs : kDefaultDataDirs;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t colon = std::min(list.find(':', start), list.size());
    const std::string entry = list.substr(start, colon - start);
    if (!entry.empty() && entry[0] == '/')
      candidates.push_back(WithSlash(entry) + kUserFolderName + "/");
    start = colon + 1;
  }
  return candidates;
}

// "dir/../x" spelled without the "..", when dir exists; keeps messages and logs readable.
std::string Tidy(const std::string& folder) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr),
                                                       &std::free);
  return resolved ? WithSlash(resolved.get()) : folder;
}

}  // namespace

bool MakeDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return !path.empty();
  std::string partial;
  std::size_t start = 0;
  while (start < path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    partial = path.substr(0, slash);
    if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    start = slash + 1;
  }
  return DirectoryExists(path);
}

AppPaths FindAppPaths(const std::string& exeDir, const EnvLookup& env) {
  AppPaths paths;
  paths.exeDir = WithSlash(exeDir);
  paths.legacyDir = paths.exeDir + kDataFolderName + "/";
  paths.dataDir = paths.legacyDir;
  for (const std::string& candidate : DataCandidates(paths.exeDir, env)) {
    if (FileExists(candidate + kDataMarker)) {
      paths.dataDir = Tidy(candidate);
      break;
    }
  }
  const std::string home = HomeFolder(env);
  const std::string user = std::string(kUserFolderName) + "/";
  paths.configDir = UserBase(env, "XDG_CONFIG_HOME", home, ".config") + user;
  paths.dataHome = UserBase(env, "XDG_DATA_HOME", home, ".local/share");
  paths.userDataDir = paths.dataHome + user;
  paths.stateDir = UserBase(env, "XDG_STATE_HOME", home, ".local/state") + user;
  return paths;
}

const AppPaths& Paths() {
  static const AppPaths paths = FindAppPaths(
      ExeDir(), [](const char* name) { return static_cast<const char*>(std::getenv(name)); });
  return paths;
}

}  // namespace platform
