// A music player wired to a test clock, the system's music output and recording hooks.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "music/music_player.h"
#include "platform/winmm/audio_test_support.h"
#include "platform/winmm/mci.h"
#include "platform/winmm/timer.h"
#include "support/temp_dir.h"

namespace testing_support {

// "status FILE mode" as the player sees it, or "closed" when the device is not open.
inline std::string DeviceMode() {
  char buffer[16];
  return platform::mciSendStringA("status FILE mode", buffer, sizeof buffer, nullptr) == 0
             ? std::string(buffer)
             : "closed";
}

inline void CloseDevice() { platform::mciSendStringA("close FILE", nullptr, 0, nullptr); }

}  // namespace testing_support

// Each system's output, found in the suite's folder of that system.
#include "music_output.h"

namespace testing_support {

struct PlayerRig {
  explicit PlayerRig(const TempDir& temp, unsigned seed = 7)
      : clock(100000),
        audio(temp.File("out.raw")),
        generator(seed),
        player(music::MusicHooks{
            [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(generator); },
            [this](const std::string& text) { captions.push_back(text); },
            [this] { ++messageRounds; }}) {
    CloseDevice();
  }
  ~PlayerRig() { CloseDevice(); }

  // Advances the clock in 100 ms ticks, servicing each, until `mode` shows or `limitMs`
  // of test time passed; returns the test time that took, or -1.
  int TickUntilMode(const std::string& mode, int limitMs) {
    for (int elapsed = 0; elapsed <= limitMs; elapsed += 100) {
      if (DeviceMode() == mode) return elapsed;
      clock.Advance(100);
      player.ServiceMusic();
    }
    return -1;
  }

  // The piece playing ends (without servicing): true when the device then says so.
  bool WaitForEnd() { return audio.WaitForEnd(); }

  platform::TestClock clock;
  MusicOutput audio;
  std::mt19937 generator;
  std::vector<std::string> captions;
  int messageRounds = 0;
  music::MusicPlayer player;
};

// Single mode with `file`, five seconds of ticks: the caption names the file, the music
// stays on, and no device is left open (for a file that nothing can play).
inline void ExpectCaptionOnly(PlayerRig& rig, const std::string& file) {
  rig.player.Configure(true, file, "", music::MusicMode::kSingle);
  rig.player.ArmMusicService();
  for (int tick = 0; tick < 50; ++tick) {
    rig.clock.Advance(100);
    rig.player.ServiceMusic();
  }
  EXPECT_TRUE(rig.player.State().musicOn);
  EXPECT_EQ(rig.captions, std::vector<std::string>{file});
  EXPECT_EQ(DeviceMode(), "closed");
}

}  // namespace testing_support
