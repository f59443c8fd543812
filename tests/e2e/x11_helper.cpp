// What the end-to-end scripts need from X that the installed tools do not do:
//
//   x11_helper window W H     makes a W x H window at (10, 10) with a magenta background,
//                             prints its id in decimal once it is mapped, then reads
//                             commands from stdin: "destroy" destroys the window (the
//                             program stays, as a control panel does), "resize W H"
//                             resizes it, end of input ends.
//   x11_helper close ID       asks window ID to close, the way a window manager does when
//                             the user clicks the close button (WM_DELETE_WINDOW).
//   x11_helper saver-state    prints the state of the server's own screen saver (off, on,
//                             cycle, disabled).
//
// Exit status 0 on success, 2 on a usage or display error.
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

int MakeWindow(xcb_connection_t* connection, int width, int height) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t window = xcb_generate_id(connection);
  const std::uint32_t values[] = {kMagenta, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10,
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  const char title[] = "preview area";
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, sizeof title - 1, title);
  xcb_map_window(connection, window);
  xcb_flush(connection);
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
    std::free(event);
    if (mapped) break;
  }
  std::cout << window << std::endl;
  std::string command;
  while (std::getline(std::cin, command)) {
    if (command == "destroy") {
      xcb_destroy_window(connection, window);
      xcb_flush(connection);
      std::cout << "destroyed" << std::endl;
    } else if (command.rfind("resize ", 0) == 0) {
      unsigned w = 0, h = 0;
      if (std::sscanf(command.c_str(), "resize %u %u", &w, &h) == 2) {
        const std::uint32_t size[] = {w, h};
        xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                             size);
        xcb_flush(connection);
        std::cout << "resized" << std::endl;
      }
    }
  }
  return 0;
}

int Close(xcb_connection_t* connection, xcb_window_t window) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = Atom(connection, "WM_PROTOCOLS");
  message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_void_cookie_t cookie = xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char*>(&message));
  if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
    std::fprintf(stderr, "x11_helper: cannot send to window %u (error %d)\n", window,
                 error->error_code);
    std::free(error);
    return 2;
  }
  return 0;
}

int SaverState(xcb_connection_t* connection) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
      connection, xcb_screensaver_query_info(connection, screen->root), nullptr);
  if (info == nullptr) {
    std::fprintf(stderr, "x11_helper: no MIT-SCREEN-SAVER extension\n");
    return 2;
  }
  static const char* const kStates[] = {"off", "on", "cycle", "disabled"};
  std::cout << (info->state < 4 ? kStates[info->state] : "unknown") << std::endl;
  std::free(info);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (!((command == "window" && argc == 4) || (command == "close" && argc == 3) ||
        (command == "saver-state" && argc == 2))) {
    std::fprintf(stderr, "usage: x11_helper window W H | close ID | saver-state\n");
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "x11_helper: no X display\n");
    xcb_disconnect(connection);
    return 2;
  }
  const int status =
      command == "window" ? MakeWindow(connection, std::atoi(argv[2]), std::atoi(argv[3]))
      : command == "saver-state"
          ? SaverState(connection)
          : Close(connection, static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 10)));
  xcb_disconnect(connection);
  return status;
}
