#include "platform/fs/fs.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/fs/read_only_file.h"
#include "platform/fs/windows/wide_path.h"

namespace platform {
namespace {

constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
constexpr std::int64_t kEpochInFileTimeSeconds = 11'644'473'600;  // 1601-01-01 to 1970-01-01

DWORD Attributes(const std::string& path) { return GetFileAttributesW(WidePath(path).c_str()); }

// Owns a file handle.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!valid()) return true;
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), want, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::string ExeDir() {
  std::wstring buffer(MAX_PATH, L'\0');
  while (true) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "./";
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string path = Utf8Path(buffer);
  return path.substr(0, path.rfind('/') + 1);
}

std::string DisplayPath(std::string_view path) {
  std::string shown(path);
  std::replace(shown.begin(), shown.end(), '/', '\\');
  return shown;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

std::vector<DirEntry> ListDirectory(const std::string& path) {
  std::vector<DirEntry> entries;
  const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(WidePath(prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({Utf8Path(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

std::optional<std::string> FileIdentity(const std::string& path) {
  // Backup semantics: the only way to open a folder; no access asked, so nothing is locked.
  Handle file(CreateFileW(WidePath(path).c_str(), 0,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return std::to_string(info.dwVolumeSerialNumber) + ":" +
         std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                        info.nFileIndexLow);
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  const std::int64_t ticks =
      (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime;
  return ticks / kFileTimeTicksPerSecond - kEpochInFileTimeSeconds;
}

std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
  ReadOnlyFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), maxBytes)), '\0');
  const std::int64_t got = file.ReadAt(0, bytes.data(), bytes.size());
  if (got < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(got));
  return bytes;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  return ReadFilePrefix(path, std::string::npos);
}

bool IsWritableFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // A read-only file is one its owner froze on purpose.
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  Handle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return false;
  if (!IsWritableFile(path)) return false;

  // The temporary name is unique per process and call; CREATE_NEW refuses a stale leftover.
  static std::atomic<unsigned> counter{0};
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string temp;
  Handle file(INVALID_HANDLE_VALUE);
  for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temp = folder + "." + name + ".tmp" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(counter++);
    file.Reset(CreateFileW(WidePath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (!file.valid()) return false;
  bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  ok = file.Close() && ok;
  ok = ok && MoveFileExW(WidePath(temp).c_str(), WidePath(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(WidePath(temp).c_str());
  return ok;
}

std::string WriteFileInPlace(const std::string& path, std::string_view bytes, InPlaceWrite how) {
  // Append access puts every write at the end of the file, whoever else writes there.
  const bool append = how == InPlaceWrite::kAppend;
  Handle file(CreateFileW(WidePath(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return SystemError(GetLastError());
  const bool written = WriteAll(file.get(), bytes);
  const DWORD error = GetLastError();
  if (!file.Close() || !written) return SystemError(written ? GetLastError() : error);
  return "";
}

}  // namespace platform
