// The keys and the pointer of a seat, reported as the saver reads them: any key pressed,
// and where the pointer is on which surface, from its entering a surface on (the place it
// enters at is the first place seen there). The pointer shows no cursor over our surfaces.
#pragma once

#include <cstdint>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;

namespace platform {

class SeatInput {
 public:
  class Sink {
   public:
    virtual void KeyPressed() = 0;
    // The pointer is at (x, y) of `surface`, in its own coordinates.
    virtual void PointerAt(wl_surface* surface, double x, double y) = 0;

   protected:
    ~Sink() = default;
  };

  // Follows the seat's keyboard and pointer as they come and go; the seat stays its
  // owner's.
  SeatInput(wl_seat* seat, Sink& sink);
  ~SeatInput();
  SeatInput(const SeatInput&) = delete;
  SeatInput& operator=(const SeatInput&) = delete;

 private:
  static void Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
  static void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial,
                           wl_surface* surface, std::int32_t x, std::int32_t y);
  static void PointerLeave(void* data, wl_pointer* pointer, std::uint32_t serial,
                           wl_surface* surface);
  static void PointerMotion(void* data, wl_pointer* pointer, std::uint32_t time, std::int32_t x,
                            std::int32_t y);
  static void Key(void* data, wl_keyboard* keyboard, std::uint32_t serial, std::uint32_t time,
                  std::uint32_t key, std::uint32_t state);

  wl_seat* seat_;
  Sink& sink_;
  wl_keyboard* keyboard_ = nullptr;
  wl_pointer* pointer_ = nullptr;
  wl_surface* pointerSurface_ = nullptr;  // the surface the pointer is on, or null
};

}  // namespace platform
