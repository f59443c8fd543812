// A music player wired to a test clock, SDL's disk audio driver and recording hooks.
#pragma once

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

  // Waits in real time for the piece playing to end, without servicing.
  bool WaitForEnd() {
    return WaitUntil([] { return DeviceMode() == "stopped"; }, 5000);
  }

  platform::TestClock clock;
  DiskAudio audio;
  std::mt19937 generator;
  std::vector<std::string> captions;
  int messageRounds = 0;
  music::MusicPlayer player;
};

}  // namespace testing_support
