// The tests' keyboard and pointer on a Wayland compositor's seat: a virtual keyboard and a
// virtual pointer that stay on the seat as long as this program runs, so that clients get
// a wl_keyboard and a wl_pointer as on a real desktop. It reads commands from its standard
// input, one a line, and answers each with "ok" once the compositor has handled it:
//
//   key CODE          presses and releases the key of that evdev code (57: space)
//   move X Y W H      puts the pointer at (X, Y) of the compositor's layout, W x H
//   by DX DY          moves the pointer by (DX, DY)
//
// It prints "ready" when both devices are on the seat and ends at the end of its input.
#include <sys/mman.h>
#include <unistd.h>
#include <virtual-keyboard-client-protocol.h>
#include <virtual-pointer-client-protocol.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// The compositor compiles this with its own keyboard data: every key a test may press.
constexpr char kKeymap[] =
    "xkb_keymap {\n"
    "  xkb_keycodes { include \"evdev\" };\n"
    "  xkb_types { include \"complete\" };\n"
    "  xkb_compat { include \"complete\" };\n"
    "  xkb_symbols { include \"pc+us\" };\n"
    "};\n";
constexpr std::uint32_t kKeymapFormatXkbV1 = 1;

struct Globals {
  wl_seat* seat = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  const std::string which(interface);
  if (which == wl_seat_interface.name && globals->seat == nullptr) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (which == zwp_virtual_keyboard_manager_v1_interface.name) {
    globals->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
    globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}

void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

int Fail(const char* what) {
  std::fprintf(stderr, "wayland_input: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return Fail("cannot connect to the Wayland compositor");
  Globals globals;
  static const wl_registry_listener listener = {&Global, &GlobalRemove};
  wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
  wl_display_roundtrip(display);
  if (globals.seat == nullptr) return Fail("the compositor has no seat");
  if (globals.keyboards == nullptr || globals.pointers == nullptr)
    return Fail("the compositor offers no virtual keyboard or pointer");

  zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.keyboards, globals.seat);
  const int fd = memfd_create("keymap", MFD_CLOEXEC);
  const std::size_t size = sizeof kKeymap;  // with its terminating zero
  if (fd < 0 || write(fd, kKeymap, size) != static_cast<ssize_t>(size))
    return Fail("cannot write the keymap");
  zwp_virtual_keyboard_v1_keymap(keyboard, kKeymapFormatXkbV1, fd,
                                 static_cast<std::uint32_t>(size));
  close(fd);
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
  if (wl_display_roundtrip(display) < 0) return Fail("the compositor refused the devices");
  std::cout << "ready" << std::endl;

  std::uint32_t time = 0;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    time += 10;
    if (command == "key") {
      std::uint32_t code = 0;
      words >> code;
      zwp_virtual_keyboard_v1_key(keyboard, time, code, WL_KEYBOARD_KEY_STATE_PRESSED);
      zwp_virtual_keyboard_v1_key(keyboard, time + 5, code, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else if (command == "move") {
      std::uint32_t x = 0, y = 0, w = 0, h = 0;
      words >> x >> y >> w >> h;
      zwlr_virtual_pointer_v1_motion_absolute(pointer, time, x, y, w, h);
      zwlr_virtual_pointer_v1_frame(pointer);
    } else if (command == "by") {
      double dx = 0, dy = 0;
      words >> dx >> dy;
      zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_double(dx),
                                     wl_fixed_from_double(dy));
      zwlr_virtual_pointer_v1_frame(pointer);
    } else if (!command.empty()) {
      std::cout << "unknown command: " << command << std::endl;
      continue;
    }
    if (wl_display_roundtrip(display) < 0) return Fail("the compositor closed the connection");
    std::cout << "ok" << std::endl;
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwp_virtual_keyboard_v1_destroy(keyboard);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
