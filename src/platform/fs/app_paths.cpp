#include "platform/fs/app_paths.h"

#include "platform/fs/fs.h"

namespace platform {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

const char* NameOf(UserFile file) {
  switch (file) {
    case UserFile::kSettings:
      return kSettingsFileName;
    case UserFile::kFontStyle:
      return kFontStyleFileName;
    case UserFile::kUserWords:
      return kUserWordsFileName;
  }
  return kSettingsFileName;
}

}  // namespace

std::string AppPaths::UserPath(UserFile file) const {
  return (file == UserFile::kUserWords ? userDataDir : configDir) + NameOf(file);
}

std::string AppPaths::ReadPath(UserFile file) const {
  const std::string own = UserPath(file);
  if (FileExists(own)) return own;
  const std::string legacy = legacyDir + NameOf(file);
  return FileExists(legacy) ? legacy : own;
}

std::string AppPaths::UpdatePath(UserFile file) const {
  const std::string own = UserPath(file);
  if (FileExists(own)) return own;
  const std::string folder = file == UserFile::kUserWords ? userDataDir : configDir;
  if (!MakeDirectories(folder)) return own;
  std::string seed = legacyDir + NameOf(file);
  if (!FileExists(seed) && file == UserFile::kUserWords) seed = Data(kUserWordsFileName);
  if (seed != own && FileExists(seed)) {
    if (const auto bytes = ReadWholeFile(seed)) WriteWholeFileAtomic(own, *bytes);
  }
  return own;
}

AppPaths SingleFolderPaths(const std::string& folder) {
  AppPaths paths;
  const std::string dir = WithSlash(folder);
  paths.exeDir = dir + "../";
  paths.dataDir = paths.legacyDir = paths.configDir = paths.userDataDir = paths.stateDir = dir;
  paths.dataHome = paths.exeDir;
  return paths;
}

}  // namespace platform
