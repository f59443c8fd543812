#include "shell/saver_session.h"

#include <chrono>

#include "platform/fs/fs.h"
#include "platform/text/text.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/timer.h"

namespace shell {

std::uint32_t WinmmClock::Now() { return platform::timeGetTime(); }
void WinmmClock::Sleep(std::uint32_t ms) { platform::Sleep(ms); }
std::uint32_t LoopClock::Now() { return platform::timeGetTime(); }

SaverSession::SaverSession(presentation::Screen& screen, game::Clock& clock, SessionOptions options)
    : screen_(screen), clock_(clock), options_(std::move(options)) {}

void SaverSession::StartUp() {
  const platform::AppPaths& paths = options_.paths;
  const int userIdioms = dictionary_.LoadUserIdioms(paths.ReadPath(platform::UserFile::kUserWords));
  settings_ = settings::ReadSaverSettings(paths, userIdioms, options_.fontInstalled);
  ApplyOverrides(options_.overrides, userIdioms, settings_);
  if (settings_.font) screen_.SetWriterFont(settings_.font->face, settings_.font->style);
  if (options_.music == MusicOutput::kPlay) {
    music::MusicHooks hooks;
    hooks.random = [this](int n) { return random_->Next(n); };
    hooks.writeCaption = [this](const std::string& utf8) {
      // The caption is the playing file's path (or a note without one).
      screen_.WriteMusicCaption(platform::Utf8ToAnsi(platform::DisplayPath(utf8)));
    };
    hooks.handleMessages = options_.handleMessages;
    music_ = std::make_unique<music::MusicPlayer>(std::move(hooks));
    music_->Configure(
        settings_.musicOn, settings_.musicFile, settings_.musicFolder,
        settings_.musicRandom ? music::MusicMode::kRandom : music::MusicMode::kSingle);
  }

  // The clock seed mixes in the wall clock's nanoseconds as well: timeGetTime alone
  // repeats boards for savers started at the same uptime.
  const std::uint64_t seed =
      options_.seed ? *options_.seed
                    : (static_cast<std::uint64_t>(clock_.Now()) << 32) ^
                          static_cast<std::uint64_t>(
                              std::chrono::system_clock::now().time_since_epoch().count());
  random_ = std::make_unique<game::SeededRandom>(seed);

  game_ = std::make_unique<game::Game>(dictionary_, screen_, clock_, *random_,
                                       settings::ToGameSettings(settings_));
  screen_.Attach(game_->State(), game_->Settings());
  game_->StartUp(screen_.LeafWidth(), screen_.LeafHeight());
  if (music_) music_->ArmMusicService();
  screen_.SetMusicOn(MusicOn());
  // The first tick is due at once.
  lastTickTime_ = clock_.Now() - kTickMs;
}

bool SaverSession::Tick() {
  if (!game::TimeReached(clock_.Now(), lastTickTime_ + kTickMs)) return false;
  lastTickTime_ = clock_.Now();
  const bool stepped = game_->RunStepTimer();
  if (MusicOn()) {
    music_->ServiceMusic();
    // The player turns itself off for good when nothing can be played.
    screen_.SetMusicOn(MusicOn());
  } else {
    // Without music the sounds are seconds apart: the device closes in between.
    platform::CloseAudioDeviceWhenSilent(kAudioQuietMs);
  }
  // Only a step and the flights change what the frames show of the game (the screen hears of
  // texts, music and wallpapers itself), and the flights may draw a frame of their own.
  const bool moving = stepped || game_->AnyTileFlying();
  screen_.SetGameMotion(moving ? presentation::GameMotion::kMoving
                               : presentation::GameMotion::kStill);
  game_->MoveFlyingTiles();
  screen_.RenderFrame();
  const auto remaining = static_cast<std::int32_t>(lastTickTime_ + kTickMs - clock_.Now());
  if (remaining > kSleepMarginMs)
    clock_.Sleep(static_cast<std::uint32_t>(remaining - kSleepMarginMs));
  return true;
}

}  // namespace shell
