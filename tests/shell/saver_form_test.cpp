// The saver window on Qt's offscreen platform: its input rules end the message loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "platform/ui/application.h"
#include "platform/ui/cursor.h"
#include "platform/winmm/audio_device.h"
#include "shell/linux/saver_form.h"

namespace {

int argc = 1;
char arg0[] = "saver_form_test";
char* argv[] = {arg0, nullptr};

// Never destroyed: the framework must outlast every static of the libraries below it.
platform::Application& App() {
  static auto* app = new platform::Application(argc, argv);
  return *app;
}

shell::SaverFormOptions Options() {
  shell::SaverFormOptions options;
  options.paths = platform::FindAppPaths(VM_TEST_EXE_DIR "/", [](const char* name) {
    return static_cast<const char*>(std::getenv(name));
  });
  return options;
}

TEST(SaverForm, RunsTicksUntilAKeyEndsTheLoopWithTheCursorShownAgain) {
  App();
  shell::TVelmorandiSaverForm form(Options());
  EXPECT_EQ(platform::ShowCursor(true), 0);  // hidden by the start-up: back to 0 here
  platform::ShowCursor(false);
  int framesBefore = 0;
  QTimer::singleShot(350, [&] {
    framesBefore = form.Frame().isNull() ? 0 : 1;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(&form, &press);
  });
  EXPECT_EQ(form.Run(), 0);
  EXPECT_EQ(framesBefore, 1);
  // FormClose showed the cursor again.
  EXPECT_EQ(platform::ShowCursor(false), -1);
  platform::ShowCursor(true);
}

TEST(SaverForm, OpensTheSoundDeviceAtStartUpNotAtTheFirstChime) {
  App();
  const std::string out = ::testing::TempDir() + "saver_form_audio.raw";
  std::filesystem::remove(out);
  platform::CloseAudioDevice();
  ::setenv("SDL_AUDIODRIVER", "disk", 1);  // it creates its file when the device opens
  ::setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  {
    shell::TVelmorandiSaverForm form(Options());
    EXPECT_TRUE(std::filesystem::exists(out));  // no tick has run yet
  }
  platform::CloseAudioDevice();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::filesystem::remove(out);
}

TEST(SaverForm, MouseRuleAndSystemCommands) {
  App();
  shell::TVelmorandiSaverForm form(Options());
  std::intptr_t result = 0;
  EXPECT_EQ(form.WMSysCommand(shell::kScreenSaveCommand, result),
            shell::SysCommandAnswer::kHandled);
  EXPECT_EQ(result, 1);
  bool closedEarly = true;
  QTimer::singleShot(100, [&] {
    // The pointer entered the window when it appeared (Qt's offscreen screen keeps it at its
    // origin): that place was seen first, before any move.
    const int x = form.Mouse().StartX();
    const int y = form.Mouse().StartY();
    ASSERT_FALSE(x == -1 && y == -1);
    form.FormMouseMove(x + 10, y - 10);
    form.FormMouseMove(x - 10, y + 10);
    closedEarly = form.Closed();
    form.FormMouseMove(x, y + 11);
  });
  EXPECT_EQ(form.Run(), 0);
  EXPECT_FALSE(closedEarly);
  EXPECT_TRUE(form.Closed());
}

}  // namespace

// The mouse rule counts frame pixels: a monitor twice the frame's size halves a move.
TEST(SaverForm, WindowPointsBecomeFramePixelsAcrossTheLetterbox) {
  App();
  struct Case {
    QSize window;
    QPoint point;
    QPoint frame;
  };
  const Case cases[] = {
      {{640, 480}, {100, 50}, {100, 50}},
      {{1280, 960}, {21, 21}, {10, 10}},
      {{1920, 1080}, {240, 0}, {0, 0}},  // the left bar is 240 pixels wide
      {{1920, 1080}, {1679, 1079}, {639, 479}},
      {{1920, 1080}, {0, 0}, {-106, 0}},  // on a bar: outside the frame
  };
  for (const Case& c : cases) {
    QWidget window;
    window.resize(c.window);
    EXPECT_EQ(shell::FramePoint(window, c.point), c.frame) << c.window.width();
  }
}
