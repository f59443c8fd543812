// The saver window: full screen on the screen the saver starts on, showing the 640 x 480
// frames scaled with their aspect kept, with a window of the same frames on every other
// monitor. It owns the device wrapper, the screen (textures, writers, scene) and the
// session (game state and tick), keeps the X server's own screen saver off while it runs,
// and ends the program on a key press or a mouse movement of more than 10 frame pixels on
// any monitor.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dg/carad.h"
#include "platform/fs/app_paths.h"
#include "platform/ui/application.h"
#include "platform/ui/device_window.h"
#include "platform/ui/fan_out_target.h"
#include "platform/ui/screen_saver_suspension.h"
#include "presentation/saver_screen.h"
#include "shell/input_rules.h"
#include "shell/linux/monitor_window.h"
#include "shell/saver_session.h"

namespace shell {

struct SaverFormOptions {
  platform::AppPaths paths;
  SettingOverrides overrides;
  std::optional<std::uint64_t> seed;  // none: seeded from the clock
  // When set, the time of the first presented frame after this moment is written to
  // standard error.
  std::optional<std::chrono::steady_clock::time_point> reportFirstFrameSince;
};

class TVelmorandiSaverForm final : public DeviceWindow {
 public:
  // FormCreate: the whole start-up; the window is on screen afterwards.
  TVelmorandiSaverForm(platform::Application& application, SaverFormOptions options);
  // FormDestroy.
  ~TVelmorandiSaverForm() override;

  // The idle handler: one tick when due; never finished, and called again when the next
  // tick is due.
  platform::IdleResult ApplicationEvents1Idle();
  void FormKeyDown();
  // A position in frame pixels.
  void FormMouseMove(int x, int y);
  // The saver window's answer to a system command; see WMSysCommand in input_rules.h.
  SysCommandAnswer WMSysCommand(std::uint32_t command, std::intptr_t& result);
  void FormClose();

  // DeviceWindow: reports the first frame when asked to.
  void FrameShown() override;

  SaverSession& Session() { return *session_; }
  const MouseRule& Mouse() const { return mouse_; }
  // The windows on the other monitors.
  const std::vector<std::unique_ptr<MonitorWindow>>& Monitors() const { return monitors_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  platform::Application& application_;
  SaverFormOptions options_;
  MouseRule mouse_;
  LoopClock clock_;
  bool closed_ = false;
  bool firstFrameReported_ = false;
  platform::ScreenSaverSuspension screenSaverOff_;
  std::vector<std::unique_ptr<MonitorWindow>> monitors_;
  std::unique_ptr<FanOutTarget> allMonitors_;
  std::unique_ptr<dg::TDGCarad> DG;
  std::unique_ptr<presentation::SaverScreen> screen_;
  std::unique_ptr<SaverSession> session_;
};

}  // namespace shell
