#include "shell/linux/headless_saver.h"

#include "platform/gdi/gdi.h"
#include "shell/saver_device.h"

namespace shell {

HeadlessSaver::HeadlessSaver(const platform::AppPaths& paths, std::uint64_t seed,
                             std::uint32_t start, presentation::SoundOutput sound)
    : testClock_(start) {
  carad_ = std::make_unique<dg::TDGCarad>(&target_);
  StartSaverDevice(*carad_);
  presentation::ScreenOptions options;
  options.dataDir = paths.dataDir;
  options.sound = sound;
  screen_ = std::make_unique<presentation::SaverScreen>(*carad_, options);
  session_ = std::make_unique<SaverSession>(
      *screen_, clock_,
      SessionOptions{
          paths, seed,
          [](const std::string& face) { return platform::gdi::IsInstalledScreenFont(face); },
          MusicOutput::kNone, nullptr});
  session_->StartUp();
}

HeadlessSaver::~HeadlessSaver() {
  session_.reset();
  screen_.reset();
  carad_.reset();
}

void HeadlessSaver::RunTicks(int ticks) {
  for (int done = 0; done < ticks;) {
    if (session_->Tick()) {
      ++done;
    } else {
      platform::Sleep(1);
    }
  }
}

Frame HeadlessSaver::LastFrame() const {
  Frame frame;
  frame.width = target_.FrameWidth();
  frame.height = target_.FrameHeight();
  frame.pixels = target_.Frame();
  return frame;
}

}  // namespace shell
