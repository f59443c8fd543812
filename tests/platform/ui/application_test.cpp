#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/cursor.h"

namespace {

int argc = 1;
char arg0[] = "application_test";
char* argv[] = {arg0, nullptr};

platform::Application& App() {
  static platform::Application app(argc, argv);
  return app;
}

TEST(MessageLoop, AnUnfinishedIdleHandlerIsCalledAgainAndTerminateEndsTheLoop) {
  int calls = 0;
  App().SetOnIdle([&] {
    if (++calls == 50) platform::Application::Terminate(7);
    return platform::IdleResult::kNotFinished;
  });
  EXPECT_EQ(App().Run(), 7);
  EXPECT_EQ(calls, 50);
  App().SetOnIdle(nullptr);
}

TEST(MessageLoop, MessagesAreHandledBetweenIdleCalls) {
  std::vector<char> order;
  QTimer::singleShot(0, [&] { order.push_back('m'); });
  App().SetOnIdle([&] {
    order.push_back('i');
    if (order.size() >= 6) platform::Application::Terminate(0);
    return platform::IdleResult::kNotFinished;
  });
  EXPECT_EQ(App().Run(), 0);
  App().SetOnIdle(nullptr);
  // The message came in among the idle calls, and the idle calls went on after it.
  const auto m = std::find(order.begin(), order.end(), 'm');
  ASSERT_NE(m, order.end());
  EXPECT_NE(m + 1, order.end());
}

TEST(MessageLoop, AFinishedHandlerWaitsForTheNextMessage) {
  int calls = 0;
  App().SetOnIdle([&] {
    ++calls;
    return platform::IdleResult::kFinished;
  });
  // Two messages, well apart: each brings at least one idle call, and none come between
  // them beyond those the messages caused.
  QTimer::singleShot(20, [] {});
  QTimer::singleShot(40, [] { platform::Application::Terminate(3); });
  EXPECT_EQ(App().Run(), 3);
  App().SetOnIdle(nullptr);
  EXPECT_GE(calls, 1);
  EXPECT_LE(calls, 6);
}

TEST(MessageLoop, AHandlerThatNamesItsNextCallSleepsUntilThen) {
  int calls = 0;
  App().SetOnIdle([&] {
    ++calls;
    App().CallIdleAgainIn(40);
    return platform::IdleResult::kNotFinished;
  });
  QTimer::singleShot(100, [] { platform::Application::Terminate(0); });
  EXPECT_EQ(App().Run(), 0);
  App().SetOnIdle(nullptr);
  // Recalled at once, a handler runs about a hundred times in 100 ms.
  EXPECT_GE(calls, 1);
  EXPECT_LE(calls, 5);
}

TEST(MessageLoop, ProcessMessagesHandlesWhatIsPendingInsideAHandler) {
  bool handled = false;
  App().SetOnIdle([&] {
    QTimer::singleShot(0, [&] { handled = true; });
    platform::Application::ProcessMessages();
    platform::Application::Terminate(handled ? 1 : 2);
    return platform::IdleResult::kNotFinished;
  });
  EXPECT_EQ(App().Run(), 1);
  App().SetOnIdle(nullptr);
}

TEST(Cursor, TheCounterHidesBelowZero) {
  App();
  EXPECT_EQ(platform::ShowCursor(false), -1);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
  EXPECT_EQ(platform::ShowCursor(false), -2);
  EXPECT_EQ(platform::ShowCursor(true), -1);
  EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(platform::ShowCursor(true), 0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(Application, TitleIsKept) {
  App().SetTitle("ヴェルモランディ");
  EXPECT_EQ(App().Title(), "ヴェルモランディ");
}

}  // namespace
