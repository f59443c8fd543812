#include "platform/wayland/seat_input.h"

#include <unistd.h>
#include <wayland-client.h>

namespace platform {

SeatInput::SeatInput(wl_seat* seat, Sink& sink) : seat_(seat), sink_(sink) {
  static const wl_seat_listener listener = {.capabilities = &SeatInput::Capabilities};
  if (seat_ != nullptr) wl_seat_add_listener(seat_, &listener, this);
}

SeatInput::~SeatInput() {
  if (keyboard_ != nullptr) wl_keyboard_destroy(keyboard_);
  if (pointer_ != nullptr) wl_pointer_destroy(pointer_);
  // The seat outlives this object; no event of it may reach it any more.
  if (seat_ != nullptr) wl_proxy_set_user_data(reinterpret_cast<wl_proxy*>(seat_), nullptr);
}

void SeatInput::Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
  auto* self = static_cast<SeatInput*>(data);
  if (self == nullptr) return;
  static const wl_keyboard_listener keyboardListener = {
      // Nothing here reads the keymap: any key ends the saver.
      .keymap = [](void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t) { close(fd); },
      // Keys already down when our surface gets the keyboard were pressed before.
      .enter = [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
      .leave = [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
      .key = &SeatInput::Key,
      .modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                      std::uint32_t, std::uint32_t) {},
  };
  static const wl_pointer_listener pointerListener = {
      .enter = &SeatInput::PointerEnter,
      .leave = &SeatInput::PointerLeave,
      .motion = &SeatInput::PointerMotion,
      // A click without movement does not end the saver, nor does the wheel.
      .button = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                   std::uint32_t) {},
      .axis = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
  };
  const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (keyboard && self->keyboard_ == nullptr) {
    self->keyboard_ = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(self->keyboard_, &keyboardListener, self);
  } else if (!keyboard && self->keyboard_ != nullptr) {
    wl_keyboard_destroy(self->keyboard_);
    self->keyboard_ = nullptr;
  }
  const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
  if (pointer && self->pointer_ == nullptr) {
    self->pointer_ = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(self->pointer_, &pointerListener, self);
  } else if (!pointer && self->pointer_ != nullptr) {
    wl_pointer_destroy(self->pointer_);
    self->pointer_ = nullptr;
    self->pointerSurface_ = nullptr;
  }
}

void SeatInput::PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial,
                             wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
  auto* self = static_cast<SeatInput*>(data);
  // No cursor over the saver.
  wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
  self->pointerSurface_ = surface;
  self->sink_.PointerAt(surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void SeatInput::PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
  static_cast<SeatInput*>(data)->pointerSurface_ = nullptr;
}

void SeatInput::PointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
  auto* self = static_cast<SeatInput*>(data);
  if (self->pointerSurface_ != nullptr)
    self->sink_.PointerAt(self->pointerSurface_, wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void SeatInput::Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t state) {
  if (state == WL_KEYBOARD_KEY_STATE_PRESSED) static_cast<SeatInput*>(data)->sink_.KeyPressed();
}

}  // namespace platform
