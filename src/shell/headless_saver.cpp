#include "shell/headless_saver.h"

namespace shell {

HeadlessSaver::HeadlessSaver(const platform::AppPaths& paths, std::uint64_t seed,
                             std::uint32_t start, presentation::SoundOutput sound)
    : testClock_(start) {
  SaverRunOptions options;
  options.paths = paths;
  options.seed = seed;
  options.music = MusicOutput::kNone;
  options.sound = sound;
  options.framePresenting = [this](IDirect3DDevice9& device) { target_.FramePresenting(device); };
  runner_ = std::make_unique<SaverRunner>(static_cast<SaverHost&>(*this), std::move(options));
}

HeadlessSaver::~HeadlessSaver() { runner_.reset(); }

void HeadlessSaver::RunTicks(int ticks) {
  for (int done = 0; done < ticks;) {
    target_.KeepFrames(done == ticks - 1);
    if (runner_->TickWhenDue()) {
      ++done;
    } else {
      platform::Sleep(runner_->NextTickInMs());
    }
  }
  target_.KeepFrames(true);
}

Frame HeadlessSaver::LastFrame() const { return target_.LastFrame(); }

}  // namespace shell
