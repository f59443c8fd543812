#include "settings/dialogs/folder_identity.h"

#include <sys/stat.h>

namespace settings {

std::optional<std::string> FolderIdentity(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return std::nullopt;
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

}  // namespace settings
