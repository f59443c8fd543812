// The program's connection to the Wayland compositor: the globals the saver needs, the
// outputs as they come and go, and the handling of what the compositor sends. Answers the
// window manager's pings itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_subcompositor;
struct wp_viewporter;
struct xdg_wm_base;
struct zxdg_output_manager_v1;

namespace platform {

class Connection {
 public:
  // Connects to $WAYLAND_DISPLAY (or the compositor's default socket). Null, with `error`
  // set, when there is no compositor or it lacks a global the saver cannot do without.
  static std::unique_ptr<Connection> Open(std::string& error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  wl_display* Display() const { return display_; }
  wl_compositor* Compositor() const { return compositor_; }
  wl_subcompositor* Subcompositor() const { return subcompositor_; }
  wl_shm* Shm() const { return shm_; }
  wp_viewporter* Viewporter() const { return viewporter_; }
  xdg_wm_base* WmBase() const { return wmBase_; }
  // Null when the compositor has no seat (no keyboard or pointer can reach the saver).
  wl_seat* Seat() const { return seat_; }
  // Null when the compositor does not tell the outputs' sizes in its own layout.
  zxdg_output_manager_v1* OutputManager() const { return outputManager_; }

  struct Output {
    std::uint32_t name = 0;  // the registry's name of the global
    wl_output* output = nullptr;
  };
  const std::vector<Output>& Outputs() const { return outputs_; }
  // Told of each output that appears after Open, and of each that goes (its wl_output is
  // destroyed after the call).
  struct OutputWatch {
    std::function<void(const Output&)> added;
    std::function<void(const Output&)> removed;
  };
  void WatchOutputs(OutputWatch watch) { watch_ = std::move(watch); }

  // Sends what is queued, then handles whatever the compositor has sent, without waiting.
  // False once the connection is lost.
  bool Dispatch();
  // Handles what the compositor sends until `done` holds or `timeoutMs` have passed;
  // false on timeout or a lost connection.
  bool DispatchUntil(const std::function<bool()>& done, int timeoutMs);

 private:
  Connection() = default;
  static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);
  static void GlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
  bool ReadAvailable(int timeoutMs);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  wl_subcompositor* subcompositor_ = nullptr;
  wl_shm* shm_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
  xdg_wm_base* wmBase_ = nullptr;
  wl_seat* seat_ = nullptr;
  zxdg_output_manager_v1* outputManager_ = nullptr;
  std::vector<Output> outputs_;
  OutputWatch watch_;
};

}  // namespace platform
