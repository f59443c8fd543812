// Files and folders, as the program needs them. Paths are UTF-8 with "/" as delimiter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Directory of the running executable, ending in "/" (on Linux from /proc/self/exe with links
// resolved; on Windows from the module's own path, with "/" between names).
std::string ExeDir();

bool FileExists(const std::string& path);       // a regular file (after links)
bool DirectoryExists(const std::string& path);  // a folder (after links)

struct DirEntry {
  std::string name;  // without the folder
  bool isDirectory = false;
};
// Every entry of the folder, hidden ones included, "." and ".." excluded, in the order the
// file system returns them. An unreadable or missing folder gives an empty list.
std::vector<DirEntry> ListDirectory(const std::string& path);

// Seconds since the epoch of the last modification, or nothing when the file is missing.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with `bytes`: written to a temporary file in the same folder, flushed
// to disk, then renamed over the target, so the target is either old or new, never half.
// Returns false (and leaves the target and the folder as they were) on any failure.
bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace platform
