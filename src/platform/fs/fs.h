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

// A path as the system's users write it, for text a person reads (messages, labels, captions,
// the log): unchanged on Linux, with "\" between names on Windows.
std::string DisplayPath(std::string_view path);

bool FileExists(const std::string& path);       // a regular file (after links)
bool DirectoryExists(const std::string& path);  // a folder (after links)
bool PathExists(const std::string& path);       // anything at all (after links)

struct DirEntry {
  std::string name;  // without the folder
  bool isDirectory = false;
};
// Every entry of the folder, hidden ones included, "." and ".." excluded, in the order the
// file system returns them. An unreadable or missing folder gives an empty list.
std::vector<DirEntry> ListDirectory(const std::string& path);

// The same text for every name of one file or folder (through links, junctions or "..") and
// different texts for different ones, while they exist; nothing when `path` cannot be reached.
// Linux: the device and inode numbers; Windows: the volume's serial and the file's index.
std::optional<std::string> FileIdentity(const std::string& path);

// Seconds since the epoch of the last modification, or nothing when the file is missing.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// The whole file, or nothing when it cannot be read. Only regular files are read: a FIFO, a
// device or a folder gives nothing at once instead of blocking or streaming for ever.
std::optional<std::string> ReadWholeFile(const std::string& path);
// The same for the file's first `maxBytes` bytes at most.
std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// False when a write to `path` must not replace it: it exists and is not writable for this
// user, or has no write permission at all (0444, even for root). True for a missing file.
bool IsWritableFile(const std::string& path);

// Replaces the file with `bytes`: written to a temporary file in the same folder, flushed
// to disk, then renamed over the target, so the target is either old or new, never half.
// Returns false (and leaves the target and the folder as they were) on any failure, a
// target that IsWritableFile refuses included. Temporaries left beside the target by
// writers that were killed are removed; a process that writes files should ignore SIGXFSZ
// so that a file size limit fails the write instead of ending the process.
bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes);

// What WriteFileInPlace does with what the file holds already.
enum class InPlaceWrite { kReplace, kAppend };

// Writes `bytes` into the file itself, made when missing, in binary mode: after what it holds
// (kAppend) or in place of it (kReplace). Not atomic: for a log, whose lines reach the file one
// by one. Returns "" when every byte reached the file, else the system's reason.
std::string WriteFileInPlace(const std::string& path, std::string_view bytes, InPlaceWrite how);

}  // namespace platform
