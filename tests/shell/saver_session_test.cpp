#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/text/text.h"
#include "platform/winmm/timer.h"
#include "shell/saver_session.h"

namespace {

namespace fs = std::filesystem;

// The screen seam: records what the session asks of it. RenderFrame may take time.
class RecordingScreen final : public presentation::Screen {
 public:
  explicit RecordingScreen(game::TestClock& clock) : clock_(clock) {}
  int LeafWidth() const override { return 44; }
  int LeafHeight() const override { return 30; }
  void SetWriterFont(const std::string& face, std::optional<std::uint8_t> style) override {
    fonts.push_back({face, style});
  }
  void Attach(const game::GameState& state, const game::GameSettings&) override {
    attached = &state;
  }
  void WriteMusicCaption(const std::string& ansi) override { captions.push_back(ansi); }
  void SetMusicOn(bool on) override { musicOn = on; }
  void WriteCellText(int, int, const std::u16string&) override { ++cellWrites; }
  void WriteAnswerText(int, const std::u16string&) override {}
  void WriteReadingText(const std::u16string&) override {}
  void WriteMeaningLine(game::MeaningLine, const std::u16string&) override {}
  void PlayCompletionSound() override {}
  void SetGameMotion(presentation::GameMotion m) override { motion = m; }
  void RenderFrame() override {
    frameTimes.push_back(clock_.Now());
    frameMotions.push_back(motion);
    clock_.Sleep(renderCost);
  }
  void LoadWallpaper(const std::string& path) override { wallpapers.push_back(path); }

  struct Font {
    std::string face;
    std::optional<std::uint8_t> style;
  };
  std::vector<Font> fonts;
  const game::GameState* attached = nullptr;
  int cellWrites = 0;
  std::vector<std::uint32_t> frameTimes;
  presentation::GameMotion motion = presentation::GameMotion::kMoving;
  std::vector<presentation::GameMotion> frameMotions;
  std::vector<std::string> wallpapers;
  std::uint32_t renderCost = 0;
  std::vector<std::string> captions;
  bool musicOn = false;

 private:
  game::TestClock& clock_;
};

class DataFolder {
 public:
  DataFolder() {
    std::random_device rd;
    dir_ = (fs::temp_directory_path() /
            ("vm_session_test_" + std::to_string(rd()) + std::to_string(rd())))
               .string() +
           "/";
    fs::create_directories(dir_);
  }
  ~DataFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  const std::string& Dir() const { return dir_; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ + name, std::ios::binary) << bytes;
  }

 private:
  std::string dir_;
};

struct Fixture {
  explicit Fixture(const DataFolder& data, std::uint32_t start = 5000,
                   settings::FontInstalledTest installed = nullptr)
      : clock(start),
        screen(clock),
        session(screen, clock,
                {platform::SingleFolderPaths(data.Dir()), 7, std::move(installed),
                 shell::MusicOutput::kPlay, nullptr}) {}
  game::TestClock clock;
  RecordingScreen screen;
  shell::SaverSession session;
};

TEST(SaverSession, StartUpFillsTheBoardAndLoadsABuiltInWallpaper) {
  DataFolder data;
  Fixture f(data);
  f.session.StartUp();
  EXPECT_EQ(f.screen.attached, &f.session.Game().State());
  EXPECT_EQ(f.screen.cellWrites, 80);
  ASSERT_EQ(f.screen.wallpapers.size(), 1u);
  const std::string& w = f.screen.wallpapers[0];
  EXPECT_TRUE(w == data.Dir() + "Kabe_0.jpg" || w == data.Dir() + "Kabe_1.jpg" ||
              w == data.Dir() + "Kabe_2.jpg")
      << w;
  EXPECT_TRUE(f.screen.fonts.empty());
  EXPECT_FALSE(f.session.MusicOn());
}

TEST(SaverSession, TicksComeEveryHundredMillisecondsAndSleepTheSlotLessThree) {
  DataFolder data;
  Fixture f(data);
  f.session.StartUp();
  // The first tick runs at once and sleeps 97 ms of its slot away.
  EXPECT_TRUE(f.session.Tick());
  EXPECT_EQ(f.screen.frameTimes, std::vector<std::uint32_t>{5000});
  EXPECT_EQ(f.clock.Now(), 5097u);
  // Idle calls in the last 3 ms of the slot do nothing.
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(f.session.Tick());
    f.clock.Sleep(1);
  }
  EXPECT_TRUE(f.session.Tick());
  EXPECT_EQ(f.screen.frameTimes.back(), 5100u);
  EXPECT_EQ(f.session.LastTickTime(), 5100u);
}

TEST(SaverSession, ASlowFrameIsNotFollowedByASleep) {
  DataFolder data;
  Fixture f(data);
  f.session.StartUp();
  const struct { std::uint32_t cost, after; } cases[] = {{96, 97}, {97, 97}, {98, 98}, {150, 150}};
  for (const auto& c : cases) {
    f.screen.renderCost = c.cost;
    const std::uint32_t start = f.clock.Now();
    ASSERT_TRUE(f.session.Tick());
    EXPECT_EQ(f.clock.Now() - start, c.after) << "frame cost " << c.cost;
    while (!f.session.Tick()) f.clock.Sleep(1);
    f.clock.Set(f.session.LastTickTime());
    f.screen.renderCost = 0;
    f.clock.Sleep(100);
  }
}

TEST(SaverSession, FirstStepComesWhenThreeSecondsAndTheStepIntervalHavePassed) {
  DataFolder data;
  Fixture f(data);
  f.session.StartUp();
  const game::GameState& g = f.session.Game().State();
  // The walker starts beside the first character it wants; its first step eats it.
  std::uint32_t firstEat = 0;
  std::size_t eatFrame = 0;
  while (f.clock.Now() < 5000 + 5000) {
    f.session.Tick();
    if (firstEat == 0 && g.collectedCount == 1) {
      firstEat = f.session.LastTickTime();
      eatFrame = f.screen.frameMotions.size() - 1;
    }
    f.clock.Sleep(1);
  }
  EXPECT_GE(firstEat, 5000u + 3000 + 700);
  EXPECT_LT(firstEat, 5000u + 3000 + 700 + shell::kTickMs);
  // Until then the game stood still; the step and the eaten character's flight move it.
  using presentation::GameMotion;
  const std::vector<GameMotion>& motions = f.screen.frameMotions;
  ASSERT_GT(motions.size(), eatFrame + 3);
  EXPECT_EQ(std::count(motions.begin(), motions.begin() + static_cast<std::ptrdiff_t>(eatFrame),
                       GameMotion::kMoving),
            0);
  EXPECT_EQ(motions[eatFrame], GameMotion::kMoving);
  EXPECT_EQ(motions[eatFrame + 1], GameMotion::kMoving);
}

TEST(SaverSession, TheTickSurvivesTheClockWrap) {
  DataFolder data;
  Fixture f(data, 0xFFFFFF00u);
  f.session.StartUp();
  int ticks = 0;
  for (int i = 0; i < 2000; ++i) {
    if (f.session.Tick()) ++ticks;
    f.clock.Sleep(1);
  }
  // Each call is followed by 1 ms; a tick also sleeps 97 ms, so two empty calls (at +98
  // and +99) lie between ticks: one tick in three calls.
  EXPECT_EQ(ticks, 667);
  // Ticks stay 100 ms apart across the wrap (a completed idiom adds a frame inside its tick).
  for (std::size_t i = 1; i < f.screen.frameTimes.size(); ++i) {
    const std::uint32_t gap = f.screen.frameTimes[i] - f.screen.frameTimes[i - 1];
    EXPECT_TRUE(gap == 100u || gap == 0u) << i << ": " << gap;
  }
}

TEST(SaverSession, StoredFontGoesToTheWritersOnlyWhenInstalled) {
  DataFolder data;
  data.Write("Settei.ini", "[Font]\r\nName=IPAGothic\r\n");
  data.Write("record.dat", std::string("\x03", 1));
  {
    Fixture f(data, 0, [](const std::string& face) { return face == "IPAGothic"; });
    f.session.StartUp();
    ASSERT_EQ(f.screen.fonts.size(), 1u);
    EXPECT_EQ(f.screen.fonts[0].face, "IPAGothic");
    EXPECT_EQ(f.screen.fonts[0].style, std::optional<std::uint8_t>(3));
  }
  {
    Fixture f(data, 0, [](const std::string&) { return false; });
    f.session.StartUp();
    EXPECT_TRUE(f.screen.fonts.empty());
  }
}

TEST(SaverSession, SettingsSetTheStepTimer) {
  DataFolder data;
  data.Write("Settei.ini", "[Settei]\r\nSpeed=1\r\nWaitTime=1\r\n");
  Fixture f(data, 0);
  f.session.StartUp();
  EXPECT_EQ(f.session.Game().Settings().stepInterval, 300u);
  EXPECT_EQ(f.session.Game().Settings().waitTime, 1000u);
  std::uint32_t firstEat = 0;
  while (firstEat == 0 && f.clock.Now() < 10000) {
    f.session.Tick();
    if (f.session.Game().State().collectedCount == 1) firstEat = f.session.LastTickTime();
    f.clock.Sleep(1);
  }
  EXPECT_GE(firstEat, 3300u);
  EXPECT_LT(firstEat, 3400u);
}

}  // namespace

namespace {

TEST(SaverSession, FolderMusicShowsItsPendingCaptionAndNothingToPlayTurnsMusicOff) {
  DataFolder data;
  const std::string folder = data.Dir() + "midi";
  std::filesystem::create_directories(folder);
  // A folder without MIDI files, and none at all: both wait with the caption.
  for (const std::string& stored : {"Folda=" + folder, std::string("Folda=")}) {
    data.Write("Settei.ini", "[BGM]\r\nRandom=1\r\n" + stored + "\r\n");
    // The music player keeps the multimedia timer's time; it follows the session's here.
    platform::TestClock winmm(0);
    Fixture f(data, 0);
    f.session.StartUp();
    ASSERT_EQ(f.screen.captions.size(), 1u) << stored;
    EXPECT_EQ(f.screen.captions[0], platform::Utf8ToAnsi("BGM設定中...")) << stored;
    EXPECT_TRUE(f.screen.musicOn) << stored;
    // The first service, a second after start-up, finds nothing to play.
    for (int i = 0; i < 30; ++i) {
      winmm.Set(f.clock.Now());
      f.session.Tick();
      f.clock.Sleep(3);
    }
    EXPECT_FALSE(f.session.MusicOn()) << stored;
    EXPECT_FALSE(f.screen.musicOn) << stored;
  }
}

}  // namespace
