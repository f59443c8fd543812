// The saver window on Windows: a top-most pop-up window on which the device goes full screen
// at 640 x 480 (the display mode changes while the saver runs). It owns the device wrapper,
// the screen (textures, writers, scene) and the session (game state and tick), and ends the
// program on a key press or a mouse movement of more than 10 pixels.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dg/carad.h"
#include "platform/fs/app_paths.h"
#include "presentation/saver_screen.h"
#include "shell/input_rules.h"
#include "shell/saver_session.h"
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

class TVelmorandiSaverForm {
 public:
  // FormCreate: the window and the whole start-up; the window is on screen afterwards.
  TVelmorandiSaverForm(HINSTANCE instance, SaverWindowOptions options);
  // Destroys the window if it still exists (FormDestroy runs then).
  ~TVelmorandiSaverForm();
  TVelmorandiSaverForm(const TVelmorandiSaverForm&) = delete;
  TVelmorandiSaverForm& operator=(const TVelmorandiSaverForm&) = delete;

  // The idle handler: one tick when due; returns the milliseconds until the next is due.
  std::uint32_t ApplicationEvents1Idle();
  void FormKeyDown();
  // A position in client pixels, which full screen are frame pixels.
  void FormMouseMove(int x, int y);
  void FormClose();
  // The window is going: restores the timer and frees the screen, the session and the
  // device.
  void FormDestroy();

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FramePresenting(IDirect3DDevice9& device);

  SaverWindowOptions options_;
  HWND window_ = nullptr;
  MouseRule mouse_;
  LoopClock clock_;
  bool closed_ = false;
  bool destroyed_ = false;
  int framesPresented_ = 0;
  bool firstFrameReported_ = false;
  std::unique_ptr<dg::TDGCarad> DG;
  std::unique_ptr<presentation::SaverScreen> screen_;
  std::unique_ptr<SaverSession> session_;
};

}  // namespace shell
