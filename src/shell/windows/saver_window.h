// The saver window on Windows: a top-most pop-up window on which the device goes full screen
// at 640 x 480 (the display mode changes while the saver runs), or, where the display has no
// such mode or refuses it, a borderless top-most window showing the frame scaled with its
// aspect kept on the primary monitor at the monitor's own mode. Every other part of every
// monitor is covered black. A host of the saver runner: it makes the windows and hands their
// key presses and mouse moves, in frame pixels, to the runner's rules.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/fs/app_paths.h"
#include "shell/input_rules.h"
#include "shell/saver_host.h"
#include "shell/saver_runner.h"
#include "shell/windows/frame_copy.h"

namespace shell {

struct SaverWindowOptions {
  platform::AppPaths paths;
  // When set, the time of the first presented frame after this moment is written to
  // standard error.
  std::optional<std::chrono::steady_clock::time_point> reportFirstFrameSince;
  // The frame is read back from the back buffer before it is presented.
  std::optional<FrameCopyRequest> frameCopy;
  // The game's random numbers start from this instead of the clock: the same board, walk
  // and timings every run.
  std::optional<std::uint64_t> seed;
};

class TVelmorandiSaverForm final : private SaverHost {
 public:
  // FormCreate: the window, then the runner's start-up; on screen afterwards.
  TVelmorandiSaverForm(HINSTANCE instance, SaverWindowOptions options);
  // Destroys the windows if they still exist (FormDestroy runs then).
  ~TVelmorandiSaverForm();
  TVelmorandiSaverForm(const TVelmorandiSaverForm&) = delete;
  TVelmorandiSaverForm& operator=(const TVelmorandiSaverForm&) = delete;

  // The message loop until the saver ends; the exit status.
  int Run();

  HWND Handle() const { return window_; }

 private:
  // SaverHost
  HWND DeviceWindow() override { return window_; }
  void DeviceStarted(SaverDisplay display) override;
  void SetCursor(Cursor cursor) override { ::ShowCursor(cursor == Cursor::kShown); }
  game::Clock& GameClock() override { return clock_; }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Input on any of the windows; true when the message is handled.
  bool OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void CoverMonitors(const RECT& except);
  void FramePresenting(IDirect3DDevice9& device);
  // The window is going: the runner's end (timer, session, screen, device).
  void FormDestroy() { runner_.reset(); }

  HINSTANCE instance_;
  std::optional<FrameCopyRequest> frameCopy_;
  HWND window_ = nullptr;
  std::vector<HWND> covers_;
  LoopClock clock_;
  int framesPresented_ = 0;
  std::unique_ptr<SaverRunner> runner_;
};

}  // namespace shell
