#include "platform/fs/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
  int fd = -1;
  do {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer; it is refused below.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error_ = std::strerror(errno);
    return;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error_ = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : errno != 0 ? errno : EINVAL);
    ::close(fd);
    return;
  }
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

std::int64_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!IsOpen()) return -1;
  std::size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count && offset + done <= static_cast<std::uint64_t>(INT64_MAX)) {
    const ssize_t n = ::pread(static_cast<int>(handle_), out + done, count - done,
                              static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = std::strerror(errno);
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace platform
