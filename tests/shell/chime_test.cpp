// The completion chime, heard through SDL's disk audio driver: it sounds when the fourth
// character of an idiom lands, not when it is eaten.
#include <gtest/gtest.h>

#include "platform/winmm/linux/disk_audio.h"
#include "shell/headless_saver.h"
#include "support/temp_dir.h"

namespace {

using namespace testing_support;

TEST(Chime, SoundsWhenTheFourthCharacterLandsNotWhenItIsEaten) {
  TempDir temp;
  DiskAudio audio(temp.File("out.raw"));
  ASSERT_TRUE(platform::AudioDeviceOpen());
  shell::HeadlessSaver saver(VM_TEST_DATA_DIR "/", 21, 0, presentation::SoundOutput::kSpeaker);
  const game::GameState& g = saver.State();
  // The saver runs on its test clock: up to the eating of an idiom's fourth character at once.
  for (int i = 0; i < 20000 && !g.idiomDone; ++i) saver.RunTicks(1);
  ASSERT_TRUE(g.idiomDone);
  ASSERT_FALSE(g.answerArrived[3]);
  // Had the eating started the chime, the device would be playing it from here on.
  const std::size_t eaten = audio.SamplesSoFar() + kSamplesInFlight;
  ASSERT_TRUE(audio.WaitForSamples(eaten + 200 * kSamplesPerMs));
  const std::size_t landing = audio.SamplesSoFar();
  while (!g.answerArrived[3]) saver.RunTicks(1);
  ASSERT_TRUE(audio.WaitForVoiceToEnd());
  const std::vector<std::int16_t> samples = audio.CloseAndReadSamples();
  ASSERT_GT(samples.size(), landing);
  EXPECT_EQ(PeakOf(samples, 0, landing), 0);
  EXPECT_GT(PeakOf(samples, landing), kAudiblePeak);
}

}  // namespace
