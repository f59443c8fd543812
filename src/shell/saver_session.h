// The saver without its window: the start-up after the device and textures exist, and the
// tick of at most one frame per 100 ms. The saver window drives it from the message loop's
// idle event; velmorandi-still drives it headless on a test clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dictionary/dictionary.h"
#include "game/clock.h"
#include "game/game.h"
#include "game/random.h"
#include "music/music_player.h"
#include "platform/fs/app_paths.h"
#include "presentation/screen.h"
#include "settings/settings_store.h"
#include "shell/setting_overrides.h"

namespace shell {

// Length of one tick slot, and what the tick keeps in hand when it sleeps the rest away.
inline constexpr std::uint32_t kTickMs = 100;
// How long the audio device stays open after the last sound has ended while no music plays.
inline constexpr unsigned kAudioQuietMs = 1000;
inline constexpr std::int32_t kSleepMarginMs = 3;

// The game's clock on the multimedia timer (timeGetTime and Sleep, or the test clock
// installed there).
class WinmmClock final : public game::Clock {
 public:
  std::uint32_t Now() override;
  void Sleep(std::uint32_t ms) override;
};

// A saver window's game clock: timeGetTime, with the tick's sleep left to the message loop,
// which waits for the next tick with window messages still handled instead of blocking.
class LoopClock final : public game::Clock {
 public:
  std::uint32_t Now() override;
  void Sleep(std::uint32_t) override {}
};

enum class MusicOutput { kPlay, kNone };

struct SessionOptions {
  platform::AppPaths paths;                   // the data folder and the user's files
  std::optional<std::uint64_t> seed;          // none: seeded from the clock
  settings::FontInstalledTest fontInstalled;  // null: no stored face is taken
  MusicOutput music = MusicOutput::kPlay;     // kNone: the music settings are ignored
  // Handles pending window messages during the music's folder scan; may be empty.
  std::function<void()> handleMessages;
  SettingOverrides overrides;  // from the command line; win over the stored settings
};

class SaverSession {
 public:
  // `screen` and `clock` must outlive the session.
  SaverSession(presentation::Screen& screen, game::Clock& clock, SessionOptions options);

  // Reads the user list and the settings, gives the writers the stored font, seeds the
  // random numbers, builds the first board with its wallpaper; the first step comes
  // 3000 ms + stepInterval from now, the first tick at once.
  void StartUp();

  // One idle call: nothing until 100 ms have passed since the last tick began; then the
  // step timer, the music service, the flights and a frame, and a sleep for the rest of the slot
  // less 3 ms. Returns true when it ran a tick.
  bool Tick();

  const settings::SaverSettings& Settings() const { return settings_; }
  game::Game& Game() { return *game_; }
  const dictionary::Dictionary& Dictionary() const { return dictionary_; }
  std::uint32_t LastTickTime() const { return lastTickTime_; }
  bool MusicOn() const { return music_ != nullptr && music_->State().musicOn; }

 private:
  presentation::Screen& screen_;
  game::Clock& clock_;
  SessionOptions options_;
  dictionary::Dictionary dictionary_;
  settings::SaverSettings settings_;
  std::unique_ptr<game::SeededRandom> random_;
  std::unique_ptr<game::Game> game_;
  std::uint32_t lastTickTime_ = 0;
  std::unique_ptr<music::MusicPlayer> music_;  // only when music may play
};

}  // namespace shell
