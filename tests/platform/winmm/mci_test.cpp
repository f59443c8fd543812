#include "platform/winmm/mci.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/fs/fs.h"
#include "platform/winmm/linux/disk_audio.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using namespace testing_support;

std::string OpenCommand(const std::string& path, const std::string& alias = "FILE") {
  return "open \"" + path + "\" alias " + alias;
}

// "status <alias> mode" through the 16-byte buffer the player uses; the error code when
// the command fails.
std::string Mode(const std::string& alias = "FILE") {
  char buffer[16];
  const MCIERROR error =
      mciSendStringA(("status " + alias + " mode").c_str(), buffer, sizeof buffer, nullptr);
  return error == 0 ? std::string(buffer) : "error " + MciErrorName(error);
}

bool Ended() { return Mode() == "stopped"; }

class MciTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(temp_.File("short piece.mid"), MakeMelody(3, 120));
    WriteBytes(temp_.File("long.mid"), MakeMelody(40, 250));
  }
  void TearDown() override {
    mciSendStringA("close FILE", nullptr, 0, nullptr);
    mciSendStringA("close OTHER", nullptr, 0, nullptr);
  }
  std::string Short() const { return temp_.File("short piece.mid"); }
  std::string Long() const { return temp_.File("long.mid"); }

  TempDir temp_;
};

TEST_F(MciTest, EveryCommandOfThePlayerInItsOrder) {
  DiskAudio audio(temp_.File("out.raw"));
  // The player's sequence: open, play, status, seek, "play File", "Stop FILE", close.
  ASSERT_EQ(mciSendStringA(OpenCommand(Short()).c_str(), nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode(), "stopped");
  EXPECT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode(), "playing");
  ASSERT_TRUE(WaitUntil(Ended, kAudioWaitLimitMs)) << "the piece never ended";
  // At its end a piece stays there: play alone plays nothing, a rewind first does.
  EXPECT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode(), "stopped");
  EXPECT_EQ(mciSendStringA("seek FILE to 0", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(mciSendStringA("play File", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode(), "playing");
  EXPECT_EQ(mciExecute("Stop FILE"), 1);
  EXPECT_EQ(Mode(), "stopped");
  EXPECT_EQ(mciSendStringA("close FILE", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode(), "error MCIERR_INVALID_DEVICE_NAME");
  EXPECT_GT(PeakOf(audio.CloseAndReadSamples()), kAudiblePeak);
}

TEST_F(MciTest, StopKeepsThePlaceAndSeekRewinds) {
  DiskAudio audio(temp_.File("out.raw"));
  ASSERT_EQ(mciSendStringA(OpenCommand(Long()).c_str(), nullptr, 0, nullptr), 0u);
  const char* const steps[][2] = {
      {"play FILE", "playing"}, {"stop FILE", "stopped"},          {"play FILE", "playing"},
      {"play FILE", "playing"}, {"seek FILE to start", "stopped"}, {"play FILE", "playing"},
      {"stop FILE", "stopped"}, {"stop FILE", "stopped"},          {"seek FILE to 0", "stopped"},
  };
  for (const auto& [command, mode] : steps) {
    EXPECT_EQ(mciSendStringA(command, nullptr, 0, nullptr), 0u) << command;
    EXPECT_EQ(Mode(), mode) << "after " << command;
  }
}

TEST_F(MciTest, AliasesMatchWithoutRegardToCase) {
  DiskAudio audio(temp_.File("out.raw"));
  ASSERT_EQ(mciSendStringA(OpenCommand(Long(), "FILE").c_str(), nullptr, 0, nullptr), 0u);
  EXPECT_EQ(mciSendStringA("PLAY file", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode("File"), "playing");
  EXPECT_EQ(Mode("fIlE"), "playing");
  // The alias is taken, whatever its case.
  EXPECT_EQ(mciSendStringA(OpenCommand(Short(), "file").c_str(), nullptr, 0, nullptr),
            MCIERR_DUPLICATE_ALIAS);
  EXPECT_EQ(Mode(), "playing");
  EXPECT_EQ(mciSendStringA("Close File", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode("FILE"), "error MCIERR_INVALID_DEVICE_NAME");
}

// Every malformed or misdirected command fails with its code and leaves the open device
// playing as it was.
TEST_F(MciTest, FailuresReturnTheirCodeAndChangeNothing) {
  WriteBytes(temp_.File("junk.mid"), "MThd but nothing after it");
  WriteBytes(temp_.File("tone.mid"), MakeWav(100, 440, 0.5));
  DiskAudio audio(temp_.File("out.raw"));
  ASSERT_EQ(mciSendStringA(OpenCommand(Long()).c_str(), nullptr, 0, nullptr), 0u);
  ASSERT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);

  const struct {
    std::string command;
    MCIERROR error;
  } cases[] = {
      {"", MCIERR_MISSING_COMMAND_STRING},
      {"   ", MCIERR_MISSING_COMMAND_STRING},
      {"pause FILE", MCIERR_UNRECOGNIZED_COMMAND},
      {"playing FILE", MCIERR_UNRECOGNIZED_COMMAND},
      {"play", MCIERR_MISSING_DEVICE_NAME},
      {"stop OTHER", MCIERR_INVALID_DEVICE_NAME},
      {"close OTHER", MCIERR_INVALID_DEVICE_NAME},
      {"status OTHER mode", MCIERR_INVALID_DEVICE_NAME},
      {"play FILE from 0", MCIERR_UNRECOGNIZED_KEYWORD},
      {"close FILE wait", MCIERR_UNRECOGNIZED_KEYWORD},
      {"status FILE", MCIERR_MISSING_PARAMETER},
      {"status FILE length", MCIERR_UNSUPPORTED_FUNCTION},
      {"seek FILE", MCIERR_MISSING_PARAMETER},
      {"seek FILE to", MCIERR_MISSING_PARAMETER},
      {"seek FILE to 500", MCIERR_OUTOFRANGE},
      {"seek FILE by 0", MCIERR_UNRECOGNIZED_KEYWORD},
      {"open \"" + Short() + " alias OTHER", MCIERR_NO_CLOSING_QUOTE},
      {"open \"" + Short() + "\" alias", MCIERR_MISSING_STRING_ARGUMENT},
      {"open \"" + Short() + "\" as OTHER", MCIERR_UNRECOGNIZED_KEYWORD},
      {OpenCommand(Short(), "FILE"), MCIERR_DUPLICATE_ALIAS},
      {OpenCommand(temp_.File("missing.mid"), "OTHER"), MCIERR_FILE_NOT_FOUND},
      {OpenCommand(temp_.path(), "OTHER"), MCIERR_FILE_NOT_FOUND},
      {OpenCommand(temp_.File("junk.mid"), "OTHER"), MCIERR_INVALID_FILE},
      {OpenCommand(temp_.File("tone.mid"), "OTHER"), MCIERR_INVALID_FILE},
  };
  for (const auto& [command, error] : cases) {
    char buffer[16] = "untouched";
    EXPECT_EQ(mciSendStringA(command.c_str(), buffer, sizeof buffer, nullptr), error)
        << command << " gave a different result";
    EXPECT_STREQ(buffer, "") << command;
    EXPECT_EQ(Mode(), "playing") << "after " << command;
    EXPECT_EQ(Mode("OTHER"), "error MCIERR_INVALID_DEVICE_NAME") << "after " << command;
  }
  EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, nullptr), MCIERR_MISSING_COMMAND_STRING);
}

TEST_F(MciTest, PlayingOneDeviceSilencesTheOther) {
  DiskAudio audio(temp_.File("out.raw"));
  ASSERT_EQ(mciSendStringA(OpenCommand(Long(), "FILE").c_str(), nullptr, 0, nullptr), 0u);
  ASSERT_EQ(mciSendStringA(OpenCommand(Long(), "OTHER").c_str(), nullptr, 0, nullptr), 0u);
  ASSERT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);
  ASSERT_EQ(mciSendStringA("play OTHER", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode("FILE"), "stopped");
  EXPECT_EQ(Mode("OTHER"), "playing");
  ASSERT_EQ(mciSendStringA("close OTHER", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(Mode("FILE"), "playing");
}

TEST_F(MciTest, WithoutAudioDeviceOpenFailsAndLaterQueriesFail) {
  NoAudioDevice none;
  EXPECT_EQ(mciSendStringA(OpenCommand(Short()).c_str(), nullptr, 0, nullptr),
            MCIERR_SEQ_NOMIDIPRESENT);
  EXPECT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(Mode(), "error MCIERR_INVALID_DEVICE_NAME");
}

// The saver opens the audio device at start-up, before its first MCI command, and ends by
// exit() with a piece playing: the exit handler then closes the devices and the mixer.
TEST_F(MciTest, ExitWhilePlayingReleasesEverythingOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        DiskAudio audio(temp_.File("exit.raw"));
        if (!AudioDeviceOpen()) std::_Exit(3);
        if (mciSendStringA(OpenCommand(Long()).c_str(), nullptr, 0, nullptr) != 0) std::_Exit(4);
        if (mciSendStringA("play FILE", nullptr, 0, nullptr) != 0) std::_Exit(5);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(MciErrorString, NamesKnownCodesAndCutsToTheBuffer) {
  char text[64];
  EXPECT_EQ(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, sizeof text), 1);
  EXPECT_STREQ(text, "The file does not exist.");
  EXPECT_EQ(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, 5), 1);
  EXPECT_STREQ(text, "The ");
  EXPECT_EQ(mciGetErrorStringA(9999, text, sizeof text), 0);
}

}  // namespace
}  // namespace platform
