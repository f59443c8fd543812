#include "dg/debug_log.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "support/log_text.h"
#include "support/temp_dir.h"

namespace dg {
namespace {

using testing_support::TempDir;

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = temp_.File("DGCarad_DebugLog.txt");
    SetDebugLogPath(path_);
    HaltOnError = false;
    DebugMessage = true;
    DetailedLog = true;
    LogIndent = 0;
    LogLineCount = 0;
  }
  void TearDown() override { SetDebugLogPath(""); }

  std::string Log() const {
    return platform::FileExists(path_) ? testing_support::LogText(path_) : "<no file>";
  }

  TempDir temp_;
  std::string path_;
};

TEST_F(DebugLogTest, DefaultFileLiesInTheUsersStateFolderWhichIsMade) {
  SetDebugLogPath("");
  LogLineCount = 0;
  DebugLog("first");
  EXPECT_EQ(testing_support::LogText(platform::Paths().stateDir + "DGCarad_DebugLog.txt"),
            "#00001 | first\r\n");
}

TEST_F(DebugLogTest, FirstLineTruncatesAndLinesAreNumberedAndIndented) {
  std::ofstream(path_) << "previous run\r\n";
  DebugLog("first");
  LogIndent = 2;
  DebugLog("四字熟語");
  LogIndent = 0;
  DebugLog("");
  EXPECT_EQ(Log(), "#00001 | first\r\n#00002 |     四字熟語\r\n#00003 | \r\n");
  EXPECT_EQ(LogLineCount, 3);
}

TEST_F(DebugLogTest, NumbersGrowPastFiveDigits) {
  DebugLog("a");
  LogLineCount = 99999;
  DebugLog("b");
  EXPECT_EQ(Log(), "#00001 | a\r\n#100000 | b\r\n");
}

TEST_F(DebugLogTest, NegativeIndentWritesNoIndent) {
  LogIndent = -3;
  DebugLog("x");
  EXPECT_EQ(Log(), "#00001 | x\r\n");
}

TEST_F(DebugLogTest, SwitchesDecideWhatIsWritten) {
  const struct {
    const char* name;
    bool debugMessage;
    bool detailedLog;
    std::string expected;
  } cases[] = {
      {"everything", true, true,
       "#00001 | detail\r\n#00002 | plain\r\n#00003 | failed(Error Code = D3DERR_NOTFOUND)\r\n"},
      {"no detail: failures and plain lines pass", true, false,
       "#00001 | plain\r\n#00002 | failed(Error Code = D3DERR_NOTFOUND)\r\n"},
      {"no messages: nothing, not even failures", false, true, "<no file>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(path_.c_str());
    LogLineCount = 0;
    DebugMessage = c.debugMessage;
    DetailedLog = c.detailedLog;
    DetailLog("detail");
    DebugLog("plain");
    CheckResult(static_cast<std::int32_t>(0x88760866u), "failed");
    EXPECT_EQ(Log(), c.expected);
  }
}

TEST_F(DebugLogTest, CheckResultLogsFailuresByNameAndReturnsTheCode) {
  const struct {
    std::int32_t code;
    std::string line;
  } cases[] = {
      {0, ""},
      {1, "#00001 | x(Error Code = UNKNOWN ERROR ... $00000001)\r\n"},
      {3, "#00001 | x(Error Code = UNKNOWN ERROR ... $00000003)\r\n"},  // a reference count
      {static_cast<std::int32_t>(0x8876086Cu), "#00001 | x(Error Code = D3DERR_INVALIDCALL )\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    std::remove(path_.c_str());
    LogLineCount = 0;
    EXPECT_EQ(CheckResult(c.code, "x"), c.code);
    EXPECT_EQ(platform::ReadWholeFile(path_).value_or(""), c.line);
  }
}

TEST_F(DebugLogTest, HaltExitsOnlyAfterTheLineIsOnDisk) {
  GTEST_FLAG_SET(death_test_style, "fast");
  DebugLog("start");
  EXPECT_EXIT(
      {
        HaltOnError = true;
        CheckResult(static_cast<std::int32_t>(0x8876017Cu), "CreateTexture failed");
        DebugLog("after the halt");
      },
      ::testing::ExitedWithCode(kHaltExitCode), "");
  EXPECT_EQ(Log(),
            "#00001 | start\r\n"
            "#00002 | CreateTexture failed(Error Code = D3DERR_OUTOFVIDEOMEMORY)\r\n");
}

TEST_F(DebugLogTest, HaltWithoutMessagesStillExits) {
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        HaltOnError = true;
        DebugMessage = false;
        CheckResult(1, "x");
      },
      // Nothing was logged, so the notice points at no log.
      ::testing::ExitedWithCode(kHaltExitCode),
      "^velmorandi: 次のエラーで終了しました: x\\(Error Code = [^\n]*\\)\n$");
}

TEST_F(DebugLogTest, UnwritableFileIsReportedOnceAndTheRunGoesOn) {
  SetDebugLogPath(temp_.File("missing/DGCarad_DebugLog.txt"));
  ::testing::internal::CaptureStderr();
  DebugLog("lost 1");
  DebugLog("lost 2");
  EXPECT_EQ(CheckResult(1, "lost 3"), 1);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("missing/DGCarad_DebugLog.txt"), std::string::npos);
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;
  EXPECT_EQ(LogLineCount, 0);

  // Once the file can be written, the run's first line starts it anew.
  std::ofstream(path_) << "stale\r\n";
  SetDebugLogPath(path_);
  DebugLog("kept");
  EXPECT_EQ(Log(), "#00001 | kept\r\n");
}

}  // namespace
}  // namespace dg
