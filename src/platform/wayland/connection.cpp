#include "platform/wayland/connection.h"

#include <poll.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <xdg-output-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {
namespace {

// The oldest versions with what the saver uses: wl_surface.damage_buffer came with
// wl_compositor 4.
constexpr std::uint32_t kCompositorVersion = 4;
// The seat's first version has every event the saver reads.
constexpr std::uint32_t kSeatVersion = 1;
constexpr std::uint32_t kOutputVersion = 2;
// The first version tells an output's logical size.
constexpr std::uint32_t kOutputManagerVersion = 1;

constexpr xdg_wm_base_listener kWmBaseListener = {
    .ping = [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

}  // namespace

std::unique_ptr<Connection> Connection::Open(std::string& error) {
  std::unique_ptr<Connection> connection(new Connection());
  connection->display_ = wl_display_connect(nullptr);
  if (connection->display_ == nullptr) {
    error = "cannot connect to the Wayland compositor";
    return nullptr;
  }
  static const wl_registry_listener listener = {&Connection::Global, &Connection::GlobalRemove};
  connection->registry_ = wl_display_get_registry(connection->display_);
  wl_registry_add_listener(connection->registry_, &listener, connection.get());
  if (wl_display_roundtrip(connection->display_) < 0) {
    error = "the Wayland compositor closed the connection";
    return nullptr;
  }
  const char* missing = connection->compositor_ == nullptr      ? "wl_compositor 4"
                        : connection->subcompositor_ == nullptr ? "wl_subcompositor"
                        : connection->shm_ == nullptr           ? "wl_shm"
                        : connection->viewporter_ == nullptr    ? "wp_viewporter"
                        : connection->wmBase_ == nullptr        ? "xdg_wm_base"
                                                                : nullptr;
  if (missing != nullptr) {
    error = std::string("the Wayland compositor offers no ") + missing;
    return nullptr;
  }
  return connection;
}

Connection::~Connection() {
  for (const Output& output : outputs_) wl_output_destroy(output.output);
  if (outputManager_ != nullptr) zxdg_output_manager_v1_destroy(outputManager_);
  if (seat_ != nullptr) wl_seat_destroy(seat_);
  if (wmBase_ != nullptr) xdg_wm_base_destroy(wmBase_);
  if (viewporter_ != nullptr) wp_viewporter_destroy(viewporter_);
  if (shm_ != nullptr) wl_shm_destroy(shm_);
  if (subcompositor_ != nullptr) wl_subcompositor_destroy(subcompositor_);
  if (compositor_ != nullptr) wl_compositor_destroy(compositor_);
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  if (display_ != nullptr) wl_display_disconnect(display_);
}

void Connection::Global(void* data, wl_registry* registry, std::uint32_t name,
                        const char* interface, std::uint32_t version) {
  auto* self = static_cast<Connection*>(data);
  const std::string_view which(interface);
  if (which == wl_compositor_interface.name && version >= kCompositorVersion) {
    self->compositor_ =
        Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, kCompositorVersion);
  } else if (which == wl_subcompositor_interface.name) {
    self->subcompositor_ =
        Bind<wl_subcompositor>(registry, name, &wl_subcompositor_interface, version, 1);
  } else if (which == wl_shm_interface.name) {
    self->shm_ = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
  } else if (which == wp_viewporter_interface.name) {
    self->viewporter_ = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
  } else if (which == xdg_wm_base_interface.name) {
    self->wmBase_ = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(self->wmBase_, &kWmBaseListener, self);
  } else if (which == wl_seat_interface.name && self->seat_ == nullptr) {
    // The first seat: a session with several is rare, and any key on it ends the saver.
    self->seat_ = Bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion);
  } else if (which == zxdg_output_manager_v1_interface.name) {
    self->outputManager_ = Bind<zxdg_output_manager_v1>(
        registry, name, &zxdg_output_manager_v1_interface, version, kOutputManagerVersion);
  } else if (which == wl_output_interface.name) {
    const Output output{
        name, Bind<wl_output>(registry, name, &wl_output_interface, version, kOutputVersion)};
    self->outputs_.push_back(output);
    if (self->watch_.added) self->watch_.added(output);
  }
}

void Connection::GlobalRemove(void* data, wl_registry* registry, std::uint32_t name) {
  (void)registry;
  auto* self = static_cast<Connection*>(data);
  const auto it = std::find_if(self->outputs_.begin(), self->outputs_.end(),
                               [name](const Output& o) { return o.name == name; });
  if (it == self->outputs_.end()) return;
  const Output gone = *it;
  self->outputs_.erase(it);
  if (self->watch_.removed) self->watch_.removed(gone);
  wl_output_destroy(gone.output);
}

bool Connection::ReadAvailable(int timeoutMs) {
  // Reading follows the library's protocol: prepare, flush, wait, then read or cancel, so
  // that no event read meanwhile is left undispatched.
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) return false;
  }
  if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(display_);
    return false;
  }
  pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
  const int ready = poll(&fd, 1, timeoutMs);
  if (ready > 0) {
    if (wl_display_read_events(display_) < 0) return false;
  } else {
    wl_display_cancel_read(display_);
    if (ready < 0 && errno != EINTR) return false;
  }
  return wl_display_dispatch_pending(display_) >= 0;
}

bool Connection::Dispatch() { return ReadAvailable(0); }

bool Connection::DispatchUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    if (!ReadAvailable(static_cast<int>(left))) return false;
  }
  return true;
}

}  // namespace platform
