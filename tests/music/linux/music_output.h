// Where the music tests' pieces sound on Linux: SDL's disk audio driver, read back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/winmm/linux/disk_audio.h"

namespace testing_support {

class MusicOutput {
 public:
  explicit MusicOutput(const std::string& file) : audio_(file) {}

  // Waits in real time for the piece playing to end by itself.
  bool WaitForEnd() {
    return WaitUntil([] { return DeviceMode() == "stopped"; }, kAudioWaitLimitMs);
  }

  // Closes the device and checks that the pieces played were heard.
  void ExpectHeard() {
    CloseDevice();
    EXPECT_GT(PeakOf(audio_.CloseAndReadSamples()), kAudiblePeak);
  }

 private:
  DiskAudio audio_;
};

}  // namespace testing_support
