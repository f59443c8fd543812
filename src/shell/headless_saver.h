// The real saver headless (and, unless asked, without a speaker): the system's device drawing
// into a target that keeps the last frame (headless_target.h), the process-wide test clock
// (Sleep advances it at once), a chosen seed. Frames and boards come out exactly as the saver would
// show them at the same times.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/winmm/timer.h"
#include "shell/headless_target.h"
#include "shell/saver_host.h"
#include "shell/saver_runner.h"

namespace shell {

class HeadlessSaver final : private SaverHost {
 public:
  // Starts the saver at time `start`. Only one may exist at a time (it owns the process's
  // test clock).
  HeadlessSaver(const platform::AppPaths& paths, std::uint64_t seed, std::uint32_t start = 0,
                presentation::SoundOutput sound = presentation::SoundOutput::kSilent);
  // `dataDir` holds the data and the user's files alike.
  HeadlessSaver(const std::string& dataDir, std::uint64_t seed, std::uint32_t start = 0,
                presentation::SoundOutput sound = presentation::SoundOutput::kSilent)
      : HeadlessSaver(platform::SingleFolderPaths(dataDir), seed, start, sound) {}
  ~HeadlessSaver();

  // Runs idle calls until `ticks` ticks have run; LastFrame then gives the last frame presented
  // (on Windows, of the last tick: headless_target.h).
  void RunTicks(int ticks);
  Frame LastFrame() const;

  presentation::SaverScreen& Screen() { return runner_->Screen(); }
  SaverSession& Session() { return runner_->Session(); }
  game::Game& Game() { return Session().Game(); }
  const game::GameState& State() { return Session().Game().State(); }
  platform::TestClock& Clock() { return testClock_; }

 private:
  // SaverHost
  HWND DeviceWindow() override { return target_.Owner(); }
  void ReleasingDevice() override { target_.ReleaseDeviceObjects(); }
  game::Clock& GameClock() override { return clock_; }

  platform::TestClock testClock_;
  WinmmClock clock_;
  // The window the device fills "full screen": it keeps the last presented frame.
  HeadlessTarget target_;
  std::unique_ptr<SaverRunner> runner_;
};

}  // namespace shell
