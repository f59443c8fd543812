// The completion chime, heard through SDL's disk audio driver: it sounds when the fourth
// character of an idiom lands, not when it is eaten.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <unistd.h>

#include "platform/winmm/linux/disk_audio.h"
#include "shell/headless_saver.h"

namespace {

using namespace testing_support;
using Clock = std::chrono::steady_clock;

std::size_t SampleAt(Clock::time_point origin, Clock::time_point t) {
  return static_cast<std::size_t>(
             std::chrono::duration_cast<std::chrono::milliseconds>(t - origin).count()) *
         kSamplesPerMs;
}

TEST(Chime, SoundsWhenTheFourthCharacterLandsNotWhenItIsEaten) {
  const std::string out = (std::filesystem::temp_directory_path() /
                           ("vm_chime_test_" + std::to_string(::getpid()) + ".raw"))
                              .string();
  DiskAudio audio(out);
  ASSERT_TRUE(platform::AudioDeviceOpen());
  const Clock::time_point opened = Clock::now();
  shell::HeadlessSaver saver(VM_TEST_DATA_DIR "/", 21, 0, presentation::SoundOutput::kSpeaker);
  const game::GameState& g = saver.State();
  // Quickly up to the eating of an idiom's fourth character.
  for (int i = 0; i < 20000 && !g.idiomDone; ++i) saver.RunTicks(1);
  ASSERT_TRUE(g.idiomDone);
  ASSERT_FALSE(g.answerArrived[3]);
  const Clock::time_point eaten = Clock::now();
  // Its flight takes nine ticks; let them take real time.
  while (!g.answerArrived[3]) {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    saver.RunTicks(1);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  const std::vector<std::int16_t> samples = audio.CloseAndReadSamples();
  const std::size_t quietEnd = SampleAt(opened, eaten) + 150 * kSamplesPerMs;
  ASSERT_GT(samples.size(), quietEnd + 300 * kSamplesPerMs);
  EXPECT_EQ(PeakOf(samples, 0, quietEnd), 0);
  EXPECT_GT(PeakOf(samples, quietEnd), kAudiblePeak);
  std::filesystem::remove(out);
}

}  // namespace
