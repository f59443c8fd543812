#include "platform/winmm/sound.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/log/log.h"
#include "platform/winmm/linux/disk_audio.h"
#include "platform/winmm/linux/mixer_library.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using namespace testing_support;

constexpr UINT kSaverFlags = SND_ASYNC | SND_NODEFAULT;

TEST(SndPlaySound, AsyncWavReachesTheAudioDevice) {
  TempDir temp;
  WriteBytes(temp.File("chime.wav"), MakeWav(200, 880, 0.5));
  DiskAudio audio(temp.File("out.raw"));
  EXPECT_EQ(sndPlaySoundA(temp.File("chime.wav").c_str(), kSaverFlags), 1);
  // Returned at once: the sound is still to be heard. Let it play out.
  ASSERT_TRUE(audio.WaitForVoiceToEnd());
  EXPECT_GT(PeakOf(audio.CloseAndReadSamples()), kAudiblePeak);
}

TEST(SndPlaySound, ANewSoundCutsOffTheOneStillPlaying) {
  TempDir temp;
  WriteBytes(temp.File("long.wav"), MakeWav(3000, 440, 0.5));
  WriteBytes(temp.File("quiet.wav"), MakeWav(50, 440, 0.0));
  DiskAudio audio(temp.File("out.raw"));
  ASSERT_EQ(sndPlaySoundA(temp.File("long.wav").c_str(), kSaverFlags), 1);
  ASSERT_TRUE(audio.WaitUntilHeard());
  ASSERT_EQ(sndPlaySoundA(temp.File("quiet.wav").c_str(), kSaverFlags), 1);
  // Everything from here on was mixed after the quiet sound replaced the long one: had it not,
  // the rest of the long one's 3 s would be there.
  const std::size_t replaced = audio.SamplesSoFar() + kSamplesInFlight;
  ASSERT_TRUE(audio.WaitForSamples(replaced + 300 * kSamplesPerMs));
  EXPECT_EQ(PeakOf(audio.CloseAndReadSamples(), replaced), 0);
}

TEST(SndPlaySound, NothingPlayableReturnsFalse) {
  TempDir temp;
  WriteBytes(temp.File("chime.wav"), MakeWav(100, 880, 0.5));
  WriteBytes(temp.File("junk.wav"), "RIFF but not a wave at all");
  {
    DiskAudio audio(temp.File("out.raw"));
    EXPECT_EQ(sndPlaySoundA(temp.File("missing.wav").c_str(), kSaverFlags), 0);
    EXPECT_EQ(sndPlaySoundA(temp.File("junk.wav").c_str(), kSaverFlags), 0);
    EXPECT_EQ(sndPlaySoundA(temp.File("").c_str(), kSaverFlags), 0);
    // The device ran long enough to have played the start of anything it was given.
    ASSERT_TRUE(audio.WaitForSamples(kSamplesInFlight + 100 * kSamplesPerMs));
    EXPECT_EQ(PeakOf(audio.CloseAndReadSamples()), 0);
  }
  {
    NoAudioDevice none;
    EXPECT_EQ(sndPlaySoundA(temp.File("chime.wav").c_str(), kSaverFlags), 0);
    EXPECT_EQ(sndPlaySoundA(temp.File("chime.wav").c_str(), kSaverFlags), 0);
  }
}

TEST(AudioDevice, LeavesTerminationSignalsToTheProcess) {
  // Whatever the caller's environment says, a process whose sound is open still ends on
  // SIGTERM and SIGINT by their default action.
  unsetenv("SDL_NO_SIGNAL_HANDLERS");
  TempDir temp;
  WriteBytes(temp.File("chime.wav"), MakeWav(50, 880, 0.5));
  DiskAudio audio(temp.File("out.raw"));
  ASSERT_EQ(sndPlaySoundA(temp.File("chime.wav").c_str(), kSaverFlags), 1);
  for (const int signal : {SIGTERM, SIGINT}) {
    struct sigaction action {};
    ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal;
  }
}

TEST(AudioDevice, TheDriversProbeStaysOffStderr) {
  // ALSA without a sound card describes its failed probe at length; with one the device
  // opens. Either way nothing of it reaches stderr, and a failure is one line of the log.
  CloseAudioDevice();
  ::setenv("SDL_AUDIODRIVER", "alsa", 1);
  std::vector<std::string> logged;
  SetLogSink([&logged](std::string_view line) { logged.emplace_back(line); });
  ::testing::internal::CaptureStderr();
  const bool opened = AudioDeviceOpen();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(logged.size(), opened ? 0u : 1u);
  SetLogSink(nullptr);
  CloseAudioDevice();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SndPlaySound, SyncReturnsAfterTheSoundAndNullStops) {
  TempDir temp;
  WriteBytes(temp.File("chime.wav"), MakeWav(100, 880, 0.5));
  DiskAudio audio(temp.File("out.raw"));
  EXPECT_EQ(sndPlaySoundA(temp.File("chime.wav").c_str(), SND_SYNC | SND_NODEFAULT), 1);
  EXPECT_EQ(sndPlaySoundA(nullptr, kSaverFlags), 1);
  EXPECT_GT(PeakOf(audio.CloseAndReadSamples()), kAudiblePeak);
}

TEST(SndPlaySound, PlaysOnWhenMusicTakesTheDevice) {
  // The mixer is loaded for music only. A sound playing when it takes over the device
  // carries on through it, and later sounds play through it too. The disk driver starts
  // its file afresh when the mixer reopens the device, so the file holds what followed.
  enum class Start { kBeforeTheSwitch, kAfterTheSwitch };
  for (const Start start : {Start::kBeforeTheSwitch, Start::kAfterTheSwitch}) {
    SCOPED_TRACE(start == Start::kBeforeTheSwitch ? "switch during the sound"
                                                  : "sound after the switch");
    TempDir temp;
    WriteBytes(temp.File("long.wav"), MakeWav(1500, 440, 0.5));
    DiskAudio audio(temp.File("out.raw"));
    ASSERT_TRUE(AudioDeviceOpen());
    if (start == Start::kBeforeTheSwitch) {
      ASSERT_EQ(sndPlaySoundA(temp.File("long.wav").c_str(), kSaverFlags), 1);
      ASSERT_TRUE(audio.WaitUntilHeard());  // partly played
    }
    ASSERT_TRUE(MidiAvailable());
    if (start == Start::kAfterTheSwitch) {
      ASSERT_EQ(sndPlaySoundA(temp.File("long.wav").c_str(), kSaverFlags), 1);
    }
    ASSERT_TRUE(audio.WaitForSamples(kSamplesInFlight + 200 * kSamplesPerMs));
    EXPECT_GT(PeakOf(audio.CloseAndReadSamples()), kAudiblePeak);
  }
}

TEST(MixerLibrary, LoadsOnlyALibraryWithEveryFunction) {
  struct Case {
    const char* soname;
    bool loads;
    const char* reason;
  };
  for (const Case c :
       {Case{kMixerLibraryName, true, ""},
        Case{"libvelmorandi-no-such-mixer.so", false, "libvelmorandi-no-such-mixer.so"},
        Case{"libSDL2-2.0.so.0", false, "has no Mix_Init"}}) {
    SCOPED_TRACE(c.soname);
    std::string error;
    EXPECT_EQ(LoadMixerLibrary(c.soname, error).has_value(), c.loads);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace platform
