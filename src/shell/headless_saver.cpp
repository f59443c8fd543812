#include "shell/headless_saver.h"

#include "platform/gdi/gdi.h"
#include "shell/saver_device.h"

namespace shell {

HeadlessSaver::HeadlessSaver(const platform::AppPaths& paths, std::uint64_t seed,
                             std::uint32_t start, presentation::SoundOutput sound)
    : testClock_(start) {
  carad_ = std::make_unique<dg::TDGCarad>(target_.Owner());
  StartSaverDevice(*carad_);
  presentation::ScreenOptions options;
  options.dataDir = paths.dataDir;
  options.sound = sound;
  options.framePresenting = [this](IDirect3DDevice9& device) { target_.FramePresenting(device); };
  screen_ = std::make_unique<presentation::SaverScreen>(*carad_, options);
  session_ = std::make_unique<SaverSession>(
      *screen_, clock_,
      SessionOptions{
          paths, seed,
          [](const std::string& face) { return platform::gdi::IsJapaneseScreenFont(face); },
          MusicOutput::kNone, nullptr});
  session_->StartUp();
}

HeadlessSaver::~HeadlessSaver() {
  session_.reset();
  screen_.reset();
  target_.ReleaseDeviceObjects();
  carad_.reset();
}

void HeadlessSaver::RunTicks(int ticks) {
  for (int done = 0; done < ticks;) {
    target_.KeepFrames(done == ticks - 1);
    if (session_->Tick()) {
      ++done;
    } else {
      platform::Sleep(1);
    }
  }
  target_.KeepFrames(true);
}

Frame HeadlessSaver::LastFrame() const { return target_.LastFrame(); }

}  // namespace shell
