#include "settings/dialogs/folder_identity.h"

#include <windows.h>

#include "platform/fs/windows/wide_path.h"

namespace settings {

// The volume's serial number and the folder's file index, through a handle opened for no
// access (a folder needs FILE_FLAG_BACKUP_SEMANTICS to be opened at all).
std::optional<std::string> FolderIdentity(const std::string& folder) {
  const HANDLE handle = CreateFileW(platform::WidePath(folder).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) +
         ":" + std::to_string(info.nFileIndexLow);
}

}  // namespace settings
