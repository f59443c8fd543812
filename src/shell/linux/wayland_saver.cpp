#include "shell/linux/wayland_saver.h"

#include <cstdlib>
#include <string_view>

#include "shell/linux/hack_mode.h"

namespace shell {
namespace {

constexpr char kAppId[] = "velmorandi";
constexpr char kTitle[] = "ヴェルモランディ";

}  // namespace

bool WaylandSessionWanted() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return platform == nullptr || std::string_view(platform).rfind("xcb", 0) != 0;
}

std::unique_ptr<WaylandSaver> WaylandSaver::Open(std::string& error) {
  std::unique_ptr<WaylandSaver> saver(new WaylandSaver());
  saver->target_ = platform::WaylandTarget::Open(
      kAppId, kTitle, static_cast<platform::WaylandTarget::Input&>(*saver), error);
  if (!saver->target_) return nullptr;
  PrepareHackMode();
  return saver;
}

int WaylandSaver::Run(SaverFormOptions options) {
  SaverRunner runner(static_cast<SaverHost&>(*this), RunOptions(std::move(options)));
  runner_ = &runner;
  const int status = runner.Run();
  runner_ = nullptr;
  return status;
}

}  // namespace shell
