#include "shell/linux/linux_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace shell {
namespace {

TEST(LinuxCommandLine, OptionsAndTheirFaults) {
  struct Case {
    std::vector<std::string> args;
    LinuxAction action;
    std::string error;  // a part of the message
  };
  const Case cases[] = {
      {{"--root"}, LinuxAction::kRun, ""},
      {{"-root", "--speed", "3", "--wait=10"}, LinuxAction::kRun, ""},
      {{"--root", "--help"}, LinuxAction::kHelp, ""},
      {{"-h"}, LinuxAction::kHelp, ""},
      {{"--version"}, LinuxAction::kVersion, ""},
      {{"--add-to-xscreensaver"}, LinuxAction::kAddToXscreensaver, ""},
      {{"--bogus"}, LinuxAction::kError, "unknown option --bogus"},
      {{"-s"}, LinuxAction::kError, "unknown option -s"},
      {{"--root", "extra"}, LinuxAction::kError, "unexpected argument"},
      {{"--speed"}, LinuxAction::kError, "needs a value"},
      {{"--speed", "0"}, LinuxAction::kError, "from 1 to 10"},
      {{"--speed", "11"}, LinuxAction::kError, "from 1 to 10"},
      {{"--wait", "5x"}, LinuxAction::kError, "from 1 to 10"},
      {{"--root=1"}, LinuxAction::kError, "takes no value"},
      {{"--window-id", "0x"}, LinuxAction::kError, "not a window id"},
      {{"--window-id", "0"}, LinuxAction::kError, "not a window id"},
      {{"--window-id", "4294967296"}, LinuxAction::kError, "not a window id"},
      {{"--music="}, LinuxAction::kError, "needs a file or folder"},
  };
  for (const Case& c : cases) {
    const LinuxRequest request = ParseLinuxCommandLine(c.args);
    EXPECT_EQ(request.action, c.action) << c.args[0];
    EXPECT_NE(request.error.find(c.error), std::string::npos) << request.error;
  }
}

TEST(LinuxCommandLine, ValuesReachTheRequest) {
  const LinuxRequest r = ParseLinuxCommandLine(
      {"--root", "--window-id", "0x1A00007", "--speed", "3", "--wait=9", "--no-destination",
       "--meaning", "--user-first", "--no-chime", "--music", "/m/x.mid"});
  ASSERT_EQ(r.action, LinuxAction::kRun);
  EXPECT_TRUE(r.DrawsIntoWindow());
  EXPECT_EQ(r.windowId, 0x1A00007u);
  EXPECT_EQ(r.overrides.speed, 3);
  EXPECT_EQ(r.overrides.wait, 9);
  EXPECT_EQ(r.overrides.destination, false);
  EXPECT_EQ(r.overrides.meaning, true);
  EXPECT_EQ(r.overrides.userFirst, true);
  EXPECT_TRUE(r.overrides.chimeOff);
  EXPECT_EQ(r.overrides.music, "/m/x.mid");
  EXPECT_EQ(ParseXWindowId("65810"), 65810u);
  EXPECT_FALSE(ParseLinuxCommandLine({"--speed", "4"}).DrawsIntoWindow());
}

// The desktop's mode argument takes options on either side; every option is checked
// wherever it stands.
TEST(LinuxCommandLine, ModeArgumentWithOptionsOnEitherSide) {
  struct Case {
    std::vector<std::string> args;
    LinuxAction action;
    RunMode mode;
    std::string detail;  // a part of the error or of the notice
  };
  const Case cases[] = {
      {{}, LinuxAction::kRun, RunMode::kSettings, ""},
      {{"--speed", "3"}, LinuxAction::kRun, RunMode::kSaver, ""},
      {{"/s", "--music", "x.mid"}, LinuxAction::kRun, RunMode::kSaver, ""},
      {{"--music", "x.mid", "/S"}, LinuxAction::kRun, RunMode::kSaver, ""},
      {{"/c:4711", "--speed", "3"}, LinuxAction::kRun, RunMode::kSettingsShown, ""},
      {{"/p", "65810", "--no-chime"}, LinuxAction::kRun, RunMode::kPreview, ""},
      {{"/s", "--help"}, LinuxAction::kHelp, RunMode::kNone, ""},
      {{"/s", "--bogus"}, LinuxAction::kError, RunMode::kNone, "unknown option --bogus"},
      {{"--bogus", "/s"}, LinuxAction::kError, RunMode::kNone, "unknown option --bogus"},
      {{"/p", "65810", "--speed", "0"}, LinuxAction::kError, RunMode::kNone, "from 1 to 10"},
      {{"/s", "/c"}, LinuxAction::kError, RunMode::kNone, "unexpected argument \"/c\""},
      {{"/s", "x.mid"}, LinuxAction::kError, RunMode::kNone, "unexpected argument \"x.mid\""},
      {{"/x", "--speed", "3"}, LinuxAction::kError, RunMode::kNone, "unexpected argument \"/x\""},
      // The desktop's forms that name no mode end quietly, a preview saying why.
      {{"/x"}, LinuxAction::kRun, RunMode::kNone, ""},
      {{"/p"}, LinuxAction::kRun, RunMode::kNone, "needs the id of the window"},
      {{"/p", "-5", "--no-chime"}, LinuxAction::kRun, RunMode::kNone, "\"-5\" is not a decimal"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& arg : c.args) label += "[" + arg + "]";
    const LinuxRequest r = ParseLinuxCommandLine(c.args);
    EXPECT_EQ(r.action, c.action) << label;
    EXPECT_EQ(r.run.mode, c.mode) << label;
    const std::string& said = c.action == LinuxAction::kError ? r.error : r.notice;
    EXPECT_NE(said.find(c.detail), std::string::npos) << label << ": " << said;
  }
  const LinuxRequest after = ParseLinuxCommandLine({"/s", "--music", "x.mid", "--root"});
  EXPECT_EQ(after.overrides.music, "x.mid");
  EXPECT_TRUE(after.DrawsIntoWindow());
  EXPECT_EQ(ParseLinuxCommandLine({"/p", "65810", "--root"}).run.parentWindow, 65810u);
  EXPECT_FALSE(ParseLinuxCommandLine({"/c", "--root"}).DrawsIntoWindow()) << "no saver to draw";
}

TEST(LinuxCommandLine, UsageListsEveryOption) {
  for (const char* option :
       {"--root", "--window-id", "--speed", "--wait", "--destination", "--no-destination",
        "--meaning", "--no-meaning", "--user-first", "--no-user-first", "--chime", "--no-chime",
        "--music", "--no-music", "--help", "--version", "--add-to-xscreensaver"}) {
    EXPECT_NE(Usage().find(option), std::string::npos) << option;
  }
}

TEST(SettingOverrides, WinOverTheStoredSettingsWithTheSameConversions) {
  testing_support::TempDir music;
  settings::SaverSettings s;
  s.musicOn = true;
  s.musicFile = "/old.mid";
  SettingOverrides o;
  o.speed = 10;
  o.wait = 1;
  o.userFirst = true;
  o.music = music.path();
  ApplyOverrides(o, 0, s);
  EXPECT_EQ(s.stepInterval, 1200);
  EXPECT_EQ(s.waitTime, 1000);
  EXPECT_FALSE(s.userPriority);  // no valid user idiom
  EXPECT_TRUE(s.musicOn && s.musicRandom);
  EXPECT_EQ(s.musicFolder, music.path());
  EXPECT_EQ(s.musicFile, "");
  o.music = "";
  ApplyOverrides(o, 1, s);
  EXPECT_TRUE(s.userPriority);
  EXPECT_FALSE(s.musicOn);
}

}  // namespace
}  // namespace shell
