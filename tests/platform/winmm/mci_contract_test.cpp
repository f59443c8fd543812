// What every system's media-control backend keeps: answers cut to the caller's buffer, and
// mciExecute's failures reported in one line, never in a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/log/log.h"
#include "platform/winmm/audio_test_support.h"
#include "platform/winmm/mci.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using namespace testing_support;

TEST(MciContract, TheAnswerNeverRunsPastTheBuffer) {
  TempDir temp;
  WriteBytes(temp.File("long.mid"), MakeMelody(40, 250));
  ASSERT_EQ(mciSendStringA(("open \"" + temp.File("long.mid") + "\" alias FILE").c_str(), nullptr,
                           0, nullptr),
            0u);
  ASSERT_EQ(mciSendStringA("play FILE", nullptr, 0, nullptr), 0u);
  for (const UINT size : {0u, 1u, 7u, 8u, 16u}) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    const MCIERROR error = mciSendStringA("status FILE mode", buffer, size, nullptr);
    if (size >= 8) {  // "playing" and its NUL
      EXPECT_EQ(error, 0u) << size;
      EXPECT_STREQ(buffer, "playing");
    } else {
      EXPECT_EQ(error, MCIERR_PARAM_OVERFLOW) << size;
      if (size > 0) {
        EXPECT_EQ(buffer[0], '\0') << size;
      }
    }
    const std::size_t written = size >= 8 ? 8 : std::min<std::size_t>(size, 1);
    for (std::size_t i = written; i < sizeof buffer; ++i) {
      ASSERT_EQ(buffer[i], '#') << "byte " << i << " written with a buffer of " << size;
    }
  }
  EXPECT_EQ(mciSendStringA("status FILE mode", nullptr, 16, nullptr), 0u);
  EXPECT_EQ(mciSendStringA("close FILE", nullptr, 0, nullptr), 0u);
}

TEST(MciContract, MciExecuteReportsAFailureOnStderrAndInTheLog) {
  std::string logged;
  SetLogSink([&logged](std::string_view line) { logged += line; });
  testing::internal::CaptureStderr();
  EXPECT_EQ(mciExecute("Stop FILE"), 0);
  const std::string stderrText = testing::internal::GetCapturedStderr();
  SetLogSink({});
  EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
  for (const std::string& report : {stderrText, logged}) {
    EXPECT_NE(report.find("\"Stop FILE\" failed"), std::string::npos) << report;
  }
}

TEST(MciContract, ErrorNamesComeFromOneTable) {
  EXPECT_EQ(MciErrorName(MCIERR_UNRECOGNIZED_COMMAND), "MCIERR_UNRECOGNIZED_COMMAND");
  EXPECT_EQ(MciErrorName(MCIERR_FILE_NOT_FOUND), "MCIERR_FILE_NOT_FOUND");
  EXPECT_EQ(MciErrorName(9999), "9999");
}

}  // namespace
}  // namespace platform
