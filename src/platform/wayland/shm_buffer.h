// A wl_buffer of 32-bit pixels (B, G, R, unused in memory, as the device's back buffer) in
// shared memory of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct wl_buffer;
struct wl_shm;

namespace platform {

class ShmBuffer {
 public:
  // Null, with `error` set, when the memory cannot be had. `released` is called whenever
  // the compositor gives the buffer back.
  static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, int width, int height,
                                           std::function<void()> released, std::string& error);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* Buffer() const { return buffer_; }
  std::uint32_t* Pixels() const { return pixels_; }

 private:
  ShmBuffer() = default;

  wl_buffer* buffer_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  std::size_t bytes_ = 0;
  std::function<void()> released_;
};

}  // namespace platform
