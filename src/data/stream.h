// Byte streams: what the archive reader reads from and hands back, and what the texture
// layer loads bitmaps from.
//
// Positions and sizes are 64-bit byte counts. A position may lie past the end: reads there
// return 0 bytes, and a MemoryStream written there grows (the gap reads as zeros).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fs/read_only_file.h"

namespace data {

// A read that came up short, or a file that cannot be opened or read.
class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Stream {
 public:
  virtual ~Stream() = default;

  // Copies up to `count` bytes from the current position into `buffer` and advances the
  // position by the number copied, which is returned; fewer than `count` only at the end.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual std::uint64_t Size() const = 0;

  // Read() that throws StreamError unless all `count` bytes arrive.
  void ReadExact(void* buffer, std::size_t count);
  // Bytes between the position and the end (0 when the position lies past the end).
  std::uint64_t Remaining() const;
};

class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Seek(std::uint64_t position) override { position_ = position; }
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() const override { return bytes_.size(); }

  // Grows with zeros or cuts; the position is left where it was.
  void SetSize(std::size_t size) { bytes_.resize(size); }
  // Writes at the position, growing the stream as needed, and advances the position.
  void Write(const void* buffer, std::size_t count);

  const std::uint8_t* Data() const { return bytes_.data(); }
  std::uint8_t* Data() { return bytes_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // Hands the bytes over and leaves the stream empty at position 0.
  std::vector<std::uint8_t> TakeBytes();

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

// A file opened read-only for the life of the object. Its size is taken when it is opened.
class FileStream final : public Stream {
 public:
  // Throws StreamError naming `path` and the system's reason when the file cannot be
  // opened or is not a regular file.
  explicit FileStream(const std::string& path);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Seek(std::uint64_t position) override { position_ = position; }
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() const override { return file_.Size(); }

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  platform::ReadOnlyFile file_;
  std::uint64_t position_ = 0;
};

}  // namespace data
