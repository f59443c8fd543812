#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {
namespace {

// Owns a POSIX file descriptor.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;

  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded: on some file systems the last
  // write error only shows here.
  bool Close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Splits "dir/name" into the folder ("." when there is none) and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file a write to `path` should replace: a symbolic link is followed so that the link
// itself survives the rename.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

constexpr std::string_view kTemporaryInfix = ".tmp";

// ".<name>.tmp<pid>_<n>" beside the target.
std::string TemporaryName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return folder + "/." + name + std::string(kTemporaryInfix) + std::to_string(::getpid()) + "_" +
         std::to_string(counter++);
}

// Gives the unnamed file behind `fd` a temporary name in `folder`; false when it cannot.
bool LinkUnnamed(int fd, const std::string& folder, const std::string& name, std::string& temp) {
  const std::string source = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = TemporaryName(folder, name);
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  temp.clear();
  return false;
}

// Temporaries of `name` left by writes of processes that no longer run (a save killed
// half-way, on a file system without unnamed files) go before the next write adds one.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  const std::string prefix = "." + name + std::string(kTemporaryInfix);
  for (const DirEntry& entry : ListDirectory(folder)) {
    if (entry.isDirectory || !entry.name.starts_with(prefix)) continue;
    const std::string_view rest = std::string_view(entry.name).substr(prefix.size());
    const std::size_t underscore = rest.find('_');
    if (underscore == 0 || underscore == std::string_view::npos) continue;
    pid_t pid = 0;
    const std::string_view digits = rest.substr(0, underscore);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits.size() > 9) {
      continue;
    }
    for (const char c : digits) pid = pid * 10 + (c - '0');
    if (pid == ::getpid() || pid <= 0) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // that writer may still be at work
    ::unlink((folder + "/" + entry.name).c_str());
  }
}

}  // namespace

std::string ExeDir() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return "./";
  buffer.resize(static_cast<std::size_t>(length));
  const std::string folder = SplitPath(buffer).first;
  return folder == "/" ? folder : folder + "/";
}

std::string DisplayPath(std::string_view path) { return std::string(path); }

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<DirEntry> ListDirectory(const std::string& path) {
  std::vector<DirEntry> entries;
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) return entries;
  const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      isDirectory = DirectoryExists(prefix + name);
    }
    entries.push_back({name, isDirectory});
  }
  return entries;
}

std::optional<std::string> FileIdentity(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::int64_t>(info.st_mtime);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  return ReadFilePrefix(path, std::string::npos);
}

std::optional<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer. The descriptor
  // is refused before any read unless it is a regular file, where the flag changes nothing.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes;
  // The size is a hint only (the file may change while it is read), so it is not trusted
  // beyond what a user's file sensibly holds. One byte more lets a reader end the last line
  // without copying the whole file.
  constexpr std::size_t kMostReserved = 64u << 20;
  if (info.st_size > 0) {
    bytes.reserve(std::min({static_cast<std::size_t>(info.st_size) + 1, maxBytes, kMostReserved}));
  }
  char chunk[65536];
  while (bytes.size() < maxBytes) {
    const std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
    const ssize_t got = ::read(fd.get(), chunk, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool IsWritableFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return errno == ENOENT;
  // The mode bits count even for a user whom the system would let write anyway (root): a
  // file without any write permission is one its owner froze on purpose.
  if ((info.st_mode & 0222) == 0) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

bool WriteWholeFileAtomic(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  const auto [folder, name] = SplitPath(target);
  if (name.empty() || !IsWritableFile(target)) return false;
  RemoveStaleTemporaries(folder, name);

  // The new content goes into a file without a name first (where the file system has them),
  // so a write cut off by a signal or a full disk leaves nothing behind; it gets its
  // temporary name only for the instant between linking it and the rename.
  Fd fd(::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666));
  std::string temp;
  if (!fd.valid()) {
    // The temporary name is unique per process and call; O_EXCL refuses a stale leftover.
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
      temp = TemporaryName(folder, name);
      fd.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!fd.valid() && errno != EEXIST) return false;
    }
    if (!fd.valid()) return false;
  }

  // A replaced file keeps its permissions (where the file system has them); a new one gets
  // 0666 less the umask from open(), unnamed or not.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);
  bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
  if (ok && temp.empty()) ok = LinkUnnamed(fd.get(), folder, name, temp);
  ok = fd.Close() && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    if (!temp.empty()) ::unlink(temp.c_str());
    return false;
  }
  // The rename is durable only once the folder's entry is on disk. The new content is in
  // place either way, so a folder that refuses fsync does not turn this into a failure.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
  return true;
}

std::string WriteFileInPlace(const std::string& path, std::string_view bytes, InPlaceWrite how) {
  // O_NONBLOCK: a FIFO nobody reads is refused at once instead of blocking the writer.
  const int mode = how == InPlaceWrite::kAppend ? O_APPEND : O_TRUNC;
  Fd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | mode, 0644));
  if (!file.valid()) return std::strerror(errno);
  const bool written = WriteAll(file.get(), bytes);
  const int error = errno;
  if (!file.Close() || !written) return std::strerror(written ? errno : error);
  return "";
}

}  // namespace platform
