// The player on Linux, where a session can lack any audio device and folders can loop
// through links.
#include <gtest/gtest.h>
#include <unistd.h>

#include "music/midi_folder_scan.h"
#include "music/music_test_support.h"
#include "platform/fs/app_paths.h"

namespace music {
namespace {

using namespace testing_support;

TEST(MusicPlayer, WithoutAudioDeviceTheCaptionShowsAndNothingElseHappens) {
  TempDir temp;
  WriteBytes(temp.File("song.mid"), MakeMelody(4, 100));
  PlayerRig rig(temp);
  NoAudioDevice none;
  ExpectCaptionOnly(rig, temp.File("song.mid"));
}

TEST(ScanMidiFolder, LinksThatLoopAreFollowedOnce) {
  TempDir temp;
  platform::MakeDirectories(temp.File("sub"));
  WriteBytes(temp.File("top.mid"), "x");
  WriteBytes(temp.File("sub/inner.mid"), "x");
  ASSERT_EQ(::symlink("..", temp.File("sub/up").c_str()), 0);
  ASSERT_EQ(::symlink("sub", temp.File("again").c_str()), 0);
  std::vector<std::string> list;
  ScanMidiFolder(temp.path(), list, {});
  EXPECT_EQ(list.size(), 2u);
  std::vector<std::string> missing;
  ScanMidiFolder(temp.File("missing"), missing, {});
  EXPECT_TRUE(missing.empty());
}

}  // namespace
}  // namespace music
