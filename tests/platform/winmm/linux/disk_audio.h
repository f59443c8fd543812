// SDL's disk audio driver, whose output file the Linux tests read back, and a session
// without any audio device.
//
// The driver writes in real time, and ctest runs other suites beside these on two cores:
// a test waits for what it needs, the voice's end or a count of samples written, never
// for a stretch of wall-clock time taken for a stretch of sound.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/winmm/audio_device.h"
#include "platform/winmm/audio_test_support.h"
#include "platform/winmm/linux/audio_voice.h"

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

  // The samples in the file so far. The driver writes each buffer after the mixer filled it
  // and the file is buffered, so the count trails what the device has taken by at most
  // kSamplesInFlight; every sample below it was mixed before the call.
  std::size_t SamplesSoFar() const {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(file_, error);
    return error ? 0 : static_cast<std::size_t>(bytes / 2);
  }

  // Waits until the file holds `count` samples.
  bool WaitForSamples(std::size_t count) const {
    return WaitUntil([this, count] { return SamplesSoFar() >= count; }, kAudioWaitLimitMs);
  }

  // Waits until the file holds something audible.
  bool WaitUntilHeard() const {
    return WaitUntil([this] { return PeakOf(ReadSamples(file_)) > kAudiblePeak; },
                     kAudioWaitLimitMs);
  }

  // Waits until the completion sound has been handed to the device in full.
  static bool WaitForVoiceToEnd() {
    return WaitUntil([] { return !platform::VoicePlaying(); }, kAudioWaitLimitMs);
  }

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

// What SamplesSoFar may trail the device by: a device buffer of 2048 stereo frames mixed but
// not yet written, and the file's own buffer of at most 8 KiB; some 93 ms of sound.
inline constexpr std::size_t kSamplesInFlight = 2048 * 2 + 8192 / 2;

}  // namespace testing_support
