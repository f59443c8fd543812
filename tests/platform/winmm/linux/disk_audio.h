// SDL's disk audio driver, whose output file the Linux tests read back, and a session
// without any audio device.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/winmm/audio_device.h"
#include "platform/winmm/audio_test_support.h"

namespace testing_support {

// The disk driver writes the mixer's output (44.1 kHz, 16-bit stereo) to `file` in real
// time. Switching drivers needs the device closed first; the destructor closes it again.
class DiskAudio {
 public:
  explicit DiskAudio(std::string file) : file_(std::move(file)) {
    platform::CloseAudioDevice();
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
  }
  ~DiskAudio() { platform::CloseAudioDevice(); }
  DiskAudio(const DiskAudio&) = delete;
  DiskAudio& operator=(const DiskAudio&) = delete;

  // Closes the device, which flushes the file, and returns every sample written.
  std::vector<std::int16_t> CloseAndReadSamples() {
    platform::CloseAudioDevice();
    return ReadSamples(file_);
  }

 private:
  std::string file_;
};

// No audio device at all: the driver named does not exist.
class NoAudioDevice {
 public:
  NoAudioDevice() {
    platform::CloseAudioDevice();
    ::setenv("SDL_AUDIODRIVER", "velmorandi_no_such_driver", 1);
  }
  ~NoAudioDevice() { platform::CloseAudioDevice(); }
  NoAudioDevice(const NoAudioDevice&) = delete;
  NoAudioDevice& operator=(const NoAudioDevice&) = delete;
};

// 44.1 kHz stereo: frames per millisecond times two channels.
inline constexpr std::size_t kSamplesPerMs = 88;

}  // namespace testing_support
