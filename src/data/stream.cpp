#include "data/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/fs/fs.h"

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

FileStream::FileStream(const std::string& path) : path_(path), file_(path) {
  if (!file_.IsOpen()) {
    throw StreamError(platform::DisplayPath(path) + " を開けません: " + file_.Error());
  }
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  const std::int64_t got = file_.ReadAt(position_, buffer, count);
  if (got < 0) throw StreamError(platform::DisplayPath(path_) + " を読めません: " + file_.Error());
  position_ += static_cast<std::uint64_t>(got);
  return static_cast<std::size_t>(got);
}

}  // namespace data
