// The saver window: full screen on the screen the saver starts on, showing the 640 x 480
// frames scaled with their aspect kept, with a window of the same frames on every other
// monitor. A host of the saver runner: it makes the windows, keeps the X server's own screen
// saver off while it runs, and hands key presses and pointer positions (in frame pixels, from
// any monitor) to the runner's rules.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/fs/app_paths.h"
#include "platform/ui/device_window.h"
#include "platform/ui/display_loss.h"
#include "platform/ui/fan_out_target.h"
#include "platform/ui/screen_saver_suspension.h"
#include "shell/input_rules.h"
#include "shell/linux/monitor_window.h"
#include "shell/saver_host.h"
#include "shell/saver_runner.h"

namespace shell {

struct SaverFormOptions {
  platform::AppPaths paths;
  SettingOverrides overrides;
  std::optional<std::uint64_t> seed;  // none: seeded from the clock
  // When set, the time of the first presented frame after this moment is written to
  // standard error.
  std::optional<std::chrono::steady_clock::time_point> reportFirstFrameSince;
};

// What the runner of a full-screen saver takes of them.
SaverRunOptions RunOptions(SaverFormOptions options);

class TVelmorandiSaverForm final : public DeviceWindow, private SaverHost {
 public:
  // FormCreate: the windows, then the runner's start-up; on screen afterwards. The window
  // framework's application object must exist.
  explicit TVelmorandiSaverForm(SaverFormOptions options);
  // FormDestroy: the runner's end, then the windows.
  ~TVelmorandiSaverForm() override;

  // The message loop until the saver ends; the exit status.
  int Run() { return runner_->Run(); }

  void FormKeyDown() { runner_->KeyDown(); }
  // A position in frame pixels.
  void FormMouseMove(int x, int y) { runner_->MouseMove(x, y); }
  // The saver window's answer to a system command; see WMSysCommand in input_rules.h.
  SysCommandAnswer WMSysCommand(std::uint32_t command, std::intptr_t& result);
  void FormClose() { runner_->Close(); }
  bool Closed() const { return runner_->Closed(); }

  SaverSession& Session() { return runner_->Session(); }
  const MouseRule& Mouse() const { return runner_->Mouse(); }
  // The windows on the other monitors.
  const std::vector<std::unique_ptr<MonitorWindow>>& Monitors() const { return monitors_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // SaverHost
  HWND DeviceWindow() override { return allMonitors_.get(); }
  void SetCursor(Cursor cursor) override;
  game::Clock& GameClock() override { return clock_; }

  LoopClock clock_;
  // Ends the program with status 0 when the X connection breaks under the running saver.
  platform::DisplayLossExit displayLoss_;
  platform::ScreenSaverSuspension screenSaverOff_;
  std::vector<std::unique_ptr<MonitorWindow>> monitors_;
  std::unique_ptr<FanOutTarget> allMonitors_;
  std::unique_ptr<SaverRunner> runner_;
};

}  // namespace shell
