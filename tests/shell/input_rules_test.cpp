#include <gtest/gtest.h>

#include "shell/input_rules.h"

namespace {

using shell::MouseVerdict;

TEST(MouseRule, FirstEventOnlyRecordsThePosition) {
  shell::MouseRule rule;
  EXPECT_EQ(rule.Move(500, 400), MouseVerdict::kRecorded);
  EXPECT_EQ(rule.StartX(), 500);
  EXPECT_EQ(rule.StartY(), 400);
  // Even a far second move is judged against the first position, not recorded again.
  EXPECT_EQ(rule.Move(0, 0), MouseVerdict::kClose);
}

TEST(MouseRule, TenPixelsInEachAxisKeepTheSaverElevenEndIt) {
  struct Case {
    int x, y;
    MouseVerdict verdict;
  };
  const Case cases[] = {
      {100, 100, MouseVerdict::kIgnored}, {110, 110, MouseVerdict::kIgnored},
      {90, 90, MouseVerdict::kIgnored},   {110, 90, MouseVerdict::kIgnored},
      {111, 100, MouseVerdict::kClose},   {89, 100, MouseVerdict::kClose},
      {100, 111, MouseVerdict::kClose},   {100, 89, MouseVerdict::kClose},
      {111, 111, MouseVerdict::kClose},
  };
  for (const Case& c : cases) {
    shell::MouseRule rule;
    rule.Move(100, 100);
    EXPECT_EQ(rule.Move(c.x, c.y), c.verdict) << c.x << "," << c.y;
  }
}

TEST(MouseRule, SlowDriftIsMeasuredFromTheFirstPosition) {
  shell::MouseRule rule;
  rule.Move(0 + 50, 50);
  for (int x = 51; x <= 60; ++x) EXPECT_EQ(rule.Move(x, 50), MouseVerdict::kIgnored);
  EXPECT_EQ(rule.Move(61, 50), MouseVerdict::kClose);
}

TEST(MouseRule, APointerAtTheOriginIsRecordedLikeAnyOther) {
  // -1 marks "not seen yet"; a real position of (-1, -1) cannot occur on a window.
  shell::MouseRule rule;
  EXPECT_EQ(rule.Move(0, 0), MouseVerdict::kRecorded);
  EXPECT_EQ(rule.Move(10, 10), MouseVerdict::kIgnored);
}

TEST(SysCommand, ScreensaveRequestIsSwallowedOthersPassOn) {
  std::intptr_t result = 0;
  EXPECT_EQ(shell::WMSysCommand(shell::kScreenSaveCommand, result),
            shell::SysCommandAnswer::kHandled);
  EXPECT_EQ(result, 1);
  for (const std::uint32_t other :
       {0xF060u /*close*/, 0xF020u /*minimize*/, 0xF170u /*monitor power*/}) {
    std::intptr_t untouched = 42;
    EXPECT_EQ(shell::WMSysCommand(other, untouched), shell::SysCommandAnswer::kDefault) << other;
    EXPECT_EQ(untouched, 42);
  }
}

}  // namespace
