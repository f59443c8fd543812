#include "platform/loop/message_loop.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <csignal>
#include <vector>

#include "platform/ui/application.h"

namespace {

int argc = 1;
char arg0[] = "message_loop_test";
char* argv[] = {arg0, nullptr};

platform::Application& App() {
  static platform::Application app(argc, argv);
  return app;
}

TEST(MessageLoop, AHandlerAskingForAtOnceRunsAgainUntilQuitWhoseCodeTheLoopReturns) {
  App();
  int calls = 0;
  EXPECT_EQ(platform::RunMessageLoop([&]() -> std::uint32_t {
              if (++calls == 50) platform::QuitMessageLoop(7);
              return 0;
            }),
            7);
  EXPECT_EQ(calls, 50);
}

TEST(MessageLoop, MessagesAreHandledBetweenIdleCalls) {
  App();
  std::vector<char> order;
  QTimer::singleShot(0, [&] { order.push_back('m'); });
  EXPECT_EQ(platform::RunMessageLoop([&]() -> std::uint32_t {
              order.push_back('i');
              if (order.size() >= 6) platform::QuitMessageLoop(0);
              return 0;
            }),
            0);
  // The message came in among the idle calls, and the idle calls went on after it.
  const auto m = std::find(order.begin(), order.end(), 'm');
  ASSERT_NE(m, order.end());
  EXPECT_NE(m + 1, order.end());
}

// Counts of calls over a stretch of time: a handler recalled at once would run hundreds of
// times in it.
TEST(MessageLoop, HandlersWaitForTheirTimeOrForAMessage) {
  App();
  struct Case {
    const char* name;
    std::uint32_t answer;
    int maxCalls;
  };
  const Case cases[] = {
      {"waits 40 ms between calls", 40, 5},
      {"waits for messages: two timers, each brings a call", platform::kWaitForMessages, 6},
  };
  for (const Case& c : cases) {
    int calls = 0;
    QTimer::singleShot(20, [] {});
    QTimer::singleShot(100, [] { platform::QuitMessageLoop(3); });
    EXPECT_EQ(platform::RunMessageLoop([&] {
                ++calls;
                return c.answer;
              }),
              3)
        << c.name;
    EXPECT_GE(calls, 1) << c.name;
    EXPECT_LE(calls, c.maxCalls) << c.name;
  }
}

TEST(MessageLoop, ProcessPendingMessagesHandlesWhatIsPendingInsideAHandler) {
  App();
  bool handled = false;
  EXPECT_EQ(platform::RunMessageLoop([&]() -> std::uint32_t {
              QTimer::singleShot(0, [&] { handled = true; });
              platform::ProcessPendingMessages();
              platform::QuitMessageLoop(handled ? 1 : 2);
              return platform::kWaitForMessages;
            }),
            1);
}

TEST(MessageLoop, StopRequestsEndTheLoopWithZeroWhenAskedAndOnlyThen) {
  App();
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    QTimer::singleShot(0, [signal] { std::raise(signal); });
    EXPECT_EQ(platform::RunMessageLoop(nullptr, platform::StopRequests::kEndLoop), 0) << signal;
  }
  // Outside such a loop the signal's own handling is back.
  struct sigaction current {};
  sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
