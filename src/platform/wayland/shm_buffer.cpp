#include "platform/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// The listener's data is the buffer's `released` callback.
constexpr wl_buffer_listener kBufferListener = {.release = [](void* data, wl_buffer*) {
  const auto& released = *static_cast<std::function<void()>*>(data);
  if (released) released();
}};

}  // namespace

std::unique_ptr<ShmBuffer> ShmBuffer::Create(wl_shm* shm, int width, int height,
                                             std::function<void()> released, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "a buffer of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    return nullptr;
  }
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  const int fd = memfd_create("velmorandi-frame", MFD_CLOEXEC);
  if (fd < 0) {
    error = std::string("shared memory for the frame: ") + std::strerror(errno);
    return nullptr;
  }
  if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
    error = std::string("shared memory of the frame's size: ") + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) {
    error = std::string("mapping the frame's shared memory: ") + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  std::unique_ptr<ShmBuffer> buffer(new ShmBuffer());
  buffer->pixels_ = static_cast<std::uint32_t*>(memory);
  buffer->bytes_ = bytes;
  buffer->released_ = std::move(released);
  // The pool holds its own reference to the memory; the buffer keeps the memory alive
  // after the pool is gone.
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
  buffer->buffer_ = wl_shm_pool_create_buffer(
      pool, 0, width, height, static_cast<std::int32_t>(stride), WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  wl_buffer_add_listener(buffer->buffer_, &kBufferListener, &buffer->released_);
  return buffer;
}

ShmBuffer::~ShmBuffer() {
  if (buffer_ != nullptr) wl_buffer_destroy(buffer_);
  if (pixels_ != nullptr) munmap(pixels_, bytes_);
}

}  // namespace platform
