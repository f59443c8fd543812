#include "music/music_player.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "music_test_support.h"
#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"

namespace music {
namespace {

using namespace testing_support;

// A piece of about 0.4 s, so an end comes quickly in real time.
const std::string kPiece = MakeMelody(4, 100);

TEST(MusicPlayer, SingleModeStartsAfterASecondAndRestartsWithinASecondOfTheEnd) {
  TempDir temp;
  WriteBytes(temp.File("song.mid"), kPiece);
  PlayerRig rig(temp);
  rig.player.Configure(true, temp.File("song.mid"), "", MusicMode::kSingle);
  rig.player.ArmMusicService();
  EXPECT_TRUE(rig.captions.empty()) << "single mode has no waiting caption";

  rig.clock.Advance(999);
  rig.player.ServiceMusic();
  EXPECT_EQ(DeviceMode(), "closed");
  EXPECT_FALSE(rig.player.State().musicStarted);
  rig.clock.Advance(1);
  rig.player.ServiceMusic();
  EXPECT_EQ(DeviceMode(), "playing");
  EXPECT_EQ(rig.captions, std::vector<std::string>{temp.File("song.mid")});

  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(rig.WaitForEnd()) << "round " << round;
    const int restartMs = rig.TickUntilMode("playing", 2000);
    EXPECT_GE(restartMs, 0) << "round " << round;
    EXPECT_LE(restartMs, 1000) << "round " << round;
  }
  EXPECT_EQ(rig.captions.size(), 1u) << "a loop writes no new caption";
  rig.audio.ExpectHeard();
}

TEST(MusicPlayer, RandomModeFindsTheTreeAndAlternatesBetweenTwoFiles) {
  TempDir temp;
  const std::string folder = temp.File("music");
  platform::MakeDirectories(folder);
  platform::MakeDirectories((folder + "/sub"));
  WriteBytes(folder + "/a.mid", kPiece);
  WriteBytes(folder + "/sub/b.mid", kPiece);
  PlayerRig rig(temp);
  rig.player.Configure(true, "", folder, MusicMode::kRandom);
  rig.player.ArmMusicService();
  EXPECT_EQ(rig.captions, std::vector<std::string>{kMusicPendingCaption});

  rig.clock.Advance(1000);
  rig.player.ServiceMusic();
  // The subfolder's file stands where the scan met the subfolder.
  std::vector<std::string> expected;
  for (const auto& entry : platform::ListDirectory(folder)) {
    expected.push_back(folder + (entry.isDirectory ? "/sub/b.mid" : "/a.mid"));
  }
  const MusicState& state = rig.player.State();
  EXPECT_EQ(state.musicFiles, expected);
  EXPECT_EQ(state.musicFileCount, 2);
  EXPECT_TRUE(state.musicShuffle);
  EXPECT_EQ(DeviceMode(), "playing");
  ASSERT_EQ(rig.captions.size(), 2u);
  EXPECT_EQ(rig.captions[1], state.musicFile);

  for (int round = 0; round < 3; ++round) {
    const std::string previous = state.musicFile;
    ASSERT_TRUE(rig.WaitForEnd()) << "round " << round;
    EXPECT_GE(rig.TickUntilMode("playing", 1000), 0) << "round " << round;
    EXPECT_NE(state.musicFile, previous) << "round " << round;
    EXPECT_EQ(rig.captions.back(), state.musicFile);
  }
  EXPECT_EQ(rig.captions.size(), 5u);
}

TEST(MusicPlayer, RandomModeWithOneFileLoopsIt) {
  TempDir temp;
  WriteBytes(temp.File("only.mid"), kPiece);
  PlayerRig rig(temp);
  rig.player.Configure(true, "", temp.path() + "/", MusicMode::kRandom);
  rig.player.ArmMusicService();
  rig.clock.Advance(1000);
  rig.player.ServiceMusic();
  EXPECT_FALSE(rig.player.State().musicShuffle);
  EXPECT_EQ(rig.player.State().musicFile, temp.File("only.mid"));
  ASSERT_TRUE(rig.WaitForEnd());
  EXPECT_GE(rig.TickUntilMode("playing", 1000), 0);
  EXPECT_EQ(rig.captions, (std::vector<std::string>{kMusicPendingCaption, temp.File("only.mid")}));
}

// Nothing playable: the music goes off for good at the first service, no file caption is
// written and no device is opened. Random mode shows its waiting caption until then, an
// empty folder included.
TEST(MusicPlayer, NothingToPlayTurnsTheMusicOff) {
  TempDir temp;
  platform::MakeDirectories(temp.File("upper"));
  WriteBytes(temp.File("upper/SONG.MID"), kPiece);
  platform::MakeDirectories(temp.File("empty"));
  const struct {
    const char* name;
    std::string file;
    std::string folder;
    MusicMode mode;
  } cases[] = {
      {"folder holding only SONG.MID", "", temp.File("upper"), MusicMode::kRandom},
      {"empty folder", "", temp.File("empty"), MusicMode::kRandom},
      {"missing folder", "", temp.File("nowhere"), MusicMode::kRandom},
      {"random mode without a folder", "", "", MusicMode::kRandom},
      {"missing file", temp.File("nowhere.mid"), "", MusicMode::kSingle},
      {"file that is a folder", temp.File("empty"), "", MusicMode::kSingle},
      {"neither file nor folder", "", "", MusicMode::kSingle},
  };
  for (const auto& c : cases) {
    PlayerRig rig(temp);
    rig.player.Configure(true, c.file, c.folder, c.mode);
    rig.player.ArmMusicService();
    const std::vector<std::string> waiting = c.mode == MusicMode::kRandom
                                                 ? std::vector<std::string>{kMusicPendingCaption}
                                                 : std::vector<std::string>{};
    EXPECT_EQ(rig.captions, waiting) << c.name;
    rig.clock.Advance(1500);
    rig.player.ServiceMusic();
    const MusicState& state = rig.player.State();
    EXPECT_FALSE(state.musicOn) << c.name;
    EXPECT_TRUE(state.musicStarted) << c.name;
    EXPECT_EQ(state.musicCheckTime, rig.clock.Now()) << c.name;
    EXPECT_EQ(rig.captions, waiting) << c.name;
    EXPECT_EQ(DeviceMode(), "closed") << c.name;
    rig.clock.Advance(5000);
    rig.player.ServiceMusic();
    EXPECT_FALSE(state.musicOn) << c.name;
    EXPECT_EQ(DeviceMode(), "closed") << c.name;
  }
}

TEST(MusicPlayer, CaptionWaitsThenNamesTheWholePath) {
  TempDir temp;
  const std::string folder = temp.File("ずっと長い名前のフォルダ_with_a_long_latin_tail");
  platform::MakeDirectories(folder);
  WriteBytes(folder + "/曲.mid", kPiece);
  PlayerRig rig(temp);
  rig.player.Configure(true, "", folder, MusicMode::kRandom);
  rig.player.ArmMusicService();
  for (int tick = 0; tick < 9; ++tick) {
    rig.clock.Advance(100);
    rig.player.ServiceMusic();
  }
  EXPECT_EQ(rig.captions, std::vector<std::string>{"BGM設定中..."});
  rig.clock.Advance(100);
  rig.player.ServiceMusic();
  // The writer shortens for display; the player hands over the path as it is.
  EXPECT_EQ(rig.captions, (std::vector<std::string>{"BGM設定中...", folder + "/曲.mid"}));
}

TEST(MusicPlayer, ServicesOncePerSecondAcrossTheClockWrap) {
  TempDir temp;
  WriteBytes(temp.File("song.mid"), kPiece);
  PlayerRig rig(temp);
  rig.clock.Set(0xFFFFFE00u);
  rig.player.Configure(true, temp.File("song.mid"), "", MusicMode::kSingle);
  rig.player.ArmMusicService();
  rig.clock.Advance(999);  // now 0x1E7, past the wrap
  rig.player.ServiceMusic();
  EXPECT_FALSE(rig.player.State().musicStarted);
  rig.clock.Advance(1);
  rig.player.ServiceMusic();
  EXPECT_TRUE(rig.player.State().musicStarted);
  EXPECT_EQ(rig.player.State().musicCheckTime, 0x1E8u);
}

// A file the device cannot open: the caption names it, and the failing status queries
// change nothing after that.
TEST(MusicPlayer, AFileTheDeviceCannotOpenShowsTheCaptionAndNothingElseHappens) {
  TempDir temp;
  WriteBytes(temp.File("noise.mid"), "MThd but not a Standard MIDI File at all");
  PlayerRig rig(temp);
  ExpectCaptionOnly(rig, temp.File("noise.mid"));
}

TEST(MusicPlayer, HandlesMessagesDuringTheScanAndTheService) {
  TempDir temp;
  for (const char* dir : {"x", "x/y", "z"}) platform::MakeDirectories(temp.File(dir));
  WriteBytes(temp.File("x/y/deep.mid"), kPiece);
  PlayerRig rig(temp);
  rig.player.Configure(true, "", temp.path(), MusicMode::kRandom);
  rig.player.ArmMusicService();
  rig.clock.Advance(1000);
  rig.player.ServiceMusic();
  // Before the scan, one per folder (4), before the caption.
  EXPECT_EQ(rig.messageRounds, 6);
  rig.clock.Advance(1000);
  rig.player.ServiceMusic();
  EXPECT_EQ(rig.messageRounds, 7) << "after a successful status query";
}

TEST(MusicPlayer, RequiresItsRandomAndCaptionHooks) {
  EXPECT_THROW(MusicPlayer(MusicHooks{nullptr, [](const std::string&) {}, nullptr}),
               std::invalid_argument);
  EXPECT_THROW(MusicPlayer(MusicHooks{[](int) { return 0; }, nullptr, nullptr}),
               std::invalid_argument);
  EXPECT_NO_THROW(MusicPlayer(MusicHooks{[](int) { return 0; }, [](const std::string&) {}, {}}));
}

}  // namespace
}  // namespace music
