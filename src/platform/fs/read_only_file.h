// A regular file opened for reading its bytes unchanged, read at any offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class ReadOnlyFile {
 public:
  // Opens `path` (UTF-8). On failure the file is not open and Error() says why, in the
  // system's words; a folder, a FIFO or a device is refused.
  explicit ReadOnlyFile(const std::string& path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool IsOpen() const { return handle_ != kClosed; }
  const std::string& Error() const { return error_; }
  std::uint64_t Size() const { return size_; }

  // Reads up to `count` bytes at `offset`; fewer only at the end of the file. Returns the
  // count read, or -1 with Error() set when the system fails the read.
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;  // the system's descriptor or handle
  std::uint64_t size_ = 0;
  std::string error_;
};

}  // namespace platform
