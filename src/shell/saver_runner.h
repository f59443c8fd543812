// The saver, wired once for every system and every way it runs: the device on the host's
// window, the screen, the session with its game and music, the timer period, the tick on the
// message loop's idle event, the input rules and the end. The hosts (the full-screen windows
// of each system, the hack in a foreign window, the Wayland surfaces, the headless saver)
// only make windows and feed their input here.
//
// Start-up, in this order: the device full screen at 640 x 480 (or windowed, for the host to
// show scaled, where the display has no such mode), the cursor hidden, the scene,
// the timer period raised to 1 ms, the textures and writers, the session (word list, settings,
// font, music, seed, first board, wallpaper), the audio device opened when anything may
// sound. The end, in reverse: the timer period restored, the session (music) and the screen
// freed, the device released, the audio device and mixer closed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "dg/carad.h"
#include "presentation/saver_screen.h"
#include "shell/input_rules.h"
#include "shell/saver_host.h"
#include "shell/saver_session.h"

namespace shell {

struct SaverRunOptions {
  platform::AppPaths paths;
  SettingOverrides overrides;
  std::optional<std::uint64_t> seed;  // none: seeded from the clock
  MusicOutput music = MusicOutput::kPlay;
  presentation::SoundOutput sound = presentation::SoundOutput::kSpeaker;
  // When set, the time of the first presented frame after this moment goes to stderr.
  std::optional<std::chrono::steady_clock::time_point> reportFirstFrameSince;
  // Runs with each finished frame before it is presented; may be empty.
  std::function<void(IDirect3DDevice9&)> framePresenting;
};

class SaverRunner {
 public:
  // The whole start-up; `host` must outlive the runner.
  SaverRunner(SaverHost& host, SaverRunOptions options);
  // The end (see above).
  ~SaverRunner();
  SaverRunner(const SaverRunner&) = delete;
  SaverRunner& operator=(const SaverRunner&) = delete;

  // Runs the message loop until the saver ends (input, a stop request, the windows gone, a
  // device that can no longer draw); returns the exit status.
  int Run();

  // The loop's idle handler: the host's pending events, then a tick when one is due.
  // Returns the milliseconds until the next tick is due.
  std::uint32_t Idle();
  // A tick when one is due (see SaverSession::Tick); true when one ran.
  bool TickWhenDue();
  // Milliseconds until the next tick is due, at least 1.
  std::uint32_t NextTickInMs() const;

  // Input from any of the host's windows: a key press closes the saver; a pointer position
  // in frame pixels goes through the mouse rule (the first one, or where the pointer was
  // when it entered a window, is where it was first seen).
  void KeyDown();
  void MouseMove(int frameX, int frameY);
  // Closes the saver: the cursor shows again and the loop ends after what runs now.
  void Close();
  bool Closed() const { return closed_; }

  SaverSession& Session() { return *session_; }
  presentation::SaverScreen& Screen() { return *screen_; }
  const MouseRule& Mouse() const { return mouse_; }

 private:
  void ReportFirstFrame();

  SaverHost& host_;
  SaverRunOptions options_;
  MouseRule mouse_;
  bool closed_ = false;
  bool firstFrameReported_ = false;
  std::unique_ptr<dg::TDGCarad> DG;
  std::unique_ptr<presentation::SaverScreen> screen_;
  std::unique_ptr<SaverSession> session_;
};

}  // namespace shell
