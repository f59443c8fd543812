#include <gtest/gtest.h>

#include <QApplication>

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
