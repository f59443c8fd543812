// The real saver without a window (and, unless asked, without a speaker): a software device
// presenting into a target that keeps the last frame, the process-wide test clock (Sleep advances
// it at once), a chosen seed. Frames and boards come out exactly as the saver would show them at
// the same times.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dg/carad.h"
#include "platform/winmm/timer.h"
#include "presentation/saver_screen.h"
#include "shell/saver_session.h"

namespace shell {

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom; alpha undefined
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] &
           0x00FFFFFFu;
  }
};

class HeadlessSaver {
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

  // Runs idle calls until `ticks` ticks have run; returns the last presented frame.
  void RunTicks(int ticks);
  Frame LastFrame() const;

  presentation::SaverScreen& Screen() { return *screen_; }
  SaverSession& Session() { return *session_; }
  game::Game& Game() { return session_->Game(); }
  const game::GameState& State() { return session_->Game().State(); }
  platform::TestClock& Clock() { return testClock_; }

 private:
  platform::TestClock testClock_;
  WinmmClock clock_;
  // The window the device fills "full screen": it keeps the last presented frame.
  FrameTarget target_{640, 480};
  std::unique_ptr<dg::TDGCarad> carad_;
  std::unique_ptr<presentation::SaverScreen> screen_;
  std::unique_ptr<SaverSession> session_;
};

}  // namespace shell
