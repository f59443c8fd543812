// The completion chime through the system's own sndPlaySoundA, heard in the sound sink that
// scripts/wine-sound-sink gives Wine (VM_SOUND_SINK names the file it writes).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "chime.h"
#include "platform/fs/app_paths.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/audio_test_support.h"
#include "platform/winmm/sound.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using namespace testing_support;

TEST(Chime, PlaysThroughTheSystemIntoTheSoundSink) {
  const char* sink = std::getenv("VM_SOUND_SINK");
  ASSERT_NE(sink, nullptr) << "run the suite through scripts/wine-sound-sink";
  TempDir temp;
  // A folder name outside ASCII: the path reaches the system in UTF-16.
  const std::string folder = temp.File("データ");
  ASSERT_TRUE(MakeDirectories(folder));
  const auto wav = gendata::EncodeWav16Mono(gendata::SynthesiseChime(), gendata::kChimeRate);
  WriteBytes(folder + "/seikai.wav", std::string(wav.begin(), wav.end()));
  ASSERT_TRUE(AudioDeviceOpen()) << "the sink is the system's sound device";

  EXPECT_EQ(sndPlaySoundA((folder + "/seikai.wav").c_str(), SND_ASYNC | SND_NODEFAULT), 1);
  // The call has returned; the chime plays out by itself into the sink.
  EXPECT_TRUE(
      WaitUntil([&] { return PeakOf(ReadSamples(sink)) > kAudiblePeak; }, kAudioWaitLimitMs));
  EXPECT_EQ(sndPlaySoundA(temp.File("missing.wav").c_str(), SND_ASYNC | SND_NODEFAULT), 0);
}

}  // namespace
}  // namespace platform
