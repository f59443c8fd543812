#include "data/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace data {

void Stream::ReadExact(void* buffer, std::size_t count) {
  const std::uint64_t at = Position();
  const std::size_t got = Read(buffer, count);
  if (got != count) {
    throw StreamError("short read: " + std::to_string(count) + " bytes wanted at offset " +
                      std::to_string(at) + ", " + std::to_string(got) + " available");
  }
}

std::uint64_t Stream::Remaining() const {
  const std::uint64_t size = Size(), position = Position();
  return position < size ? size - position : 0;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
  if (n > 0) {
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
  }
  return n;
}

void MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  const std::uint64_t end = position_ + count;
  if (end > bytes_.max_size()) throw StreamError("memory stream would grow past its limit");
  if (end > bytes_.size()) bytes_.resize(static_cast<std::size_t>(end));
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ = end;
}

std::vector<std::uint8_t> MemoryStream::TakeBytes() {
  std::vector<std::uint8_t> out = std::move(bytes_);
  bytes_.clear();
  position_ = 0;
  return out;
}

namespace {

[[noreturn]] void ThrowFileError(const std::string& what, const std::string& path, int error) {
  throw StreamError(what + " '" + path + "': " + std::strerror(error));
}

}  // namespace

FileStream::FileStream(const std::string& path) : path_(path) {
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) ThrowFileError("cannot open", path, errno);
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    const int error = errno;
    ::close(fd_);
    ThrowFileError("cannot examine", path, error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd_);
    ThrowFileError("cannot read", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
}

FileStream::~FileStream() { ::close(fd_); }

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  std::size_t done = 0;
  if (position_ > static_cast<std::uint64_t>(INT64_MAX)) return 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(position_));
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError("cannot read", path_, errno);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    position_ += static_cast<std::uint64_t>(n);
  }
  return done;
}

}  // namespace data
