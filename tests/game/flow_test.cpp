#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "game/board.h"
#include "game/clock.h"
#include "game/game.h"
#include "game/random.h"
#include "support/temp_dir.h"
#include "test_support.h"

namespace {

// Everything the game does, seen from outside, with the test clock's time.
class Timeline final : public game::GameView, public game::GameObserver {
 public:
  struct Event {
    std::uint32_t t;
    std::string kind;
    int a = -1;
    int b = -1;
    std::u16string text;
  };
  explicit Timeline(game::Clock& clock) : clock_(clock) {}

  void WriteCellText(int, int, const std::u16string&) override {}
  void WriteAnswerText(int answer, const std::u16string& kanji) override {
    Add("answer", answer, -1, kanji);
  }
  void WriteReadingText(const std::u16string& reading) override { Add("reading", -1, -1, reading); }
  void WriteMeaningLine(game::MeaningLine line, const std::u16string& text) override {
    Add("meaning", line == game::MeaningLine::kFirst ? 1 : 2, -1, text);
  }
  void PlayCompletionSound() override { Add("sound"); }
  void RenderFrame() override { Add("render"); }
  void LoadWallpaper(const std::string&) override { Add("wallpaper"); }

  void BoardFilled() override { Add("board"); }
  void WalkerStepped() override { Add("step"); }
  void CharacterEaten(int, int, int slot, int pos) override { Add("eat", slot, pos); }
  void IdiomCompleted(int slot) override { Add("complete", slot); }
  void TileLanded(int answer) override { Add("land", answer); }

  std::vector<Event> Of(const std::string& kind) const {
    std::vector<Event> out;
    for (const Event& e : events)
      if (e.kind == kind) out.push_back(e);
    return out;
  }
  std::vector<Event> events;

 private:
  void Add(const std::string& kind, int a = -1, int b = -1, std::u16string text = {}) {
    events.push_back({clock_.Now(), kind, a, b, std::move(text)});
  }
  game::Clock& clock_;
};

// The game as the saver runs it: start-up at 0, a tick every 100 ms.
struct Play {
  explicit Play(game::GameSettings settings, std::uint64_t seed = 3)
      : random(seed), timeline(clock), game(dict, timeline, clock, random, std::move(settings)) {
    game.SetObserver(&timeline);
    game.StartUp(40, 30);
  }
  void TicksUntil(std::uint32_t end) {
    for (;;) {
      game.Tick();
      if (clock.Now() >= end) return;
      clock.Sleep(100);
    }
  }
  dictionary::Dictionary dict;
  game::TestClock clock;
  game::SeededRandom random;
  Timeline timeline;
  game::Game game;
};

game::GameSettings Defaults() {
  game::GameSettings s;
  s.wallpaperFiles = {"a.jpg", "b.jpg", "c.jpg"};
  return s;
}

TEST(RoadOfOneIdiom, DefaultTimings) {
  Play run(Defaults());
  run.TicksUntil(120000);
  const auto steps = run.timeline.Of("step");
  const auto eats = run.timeline.Of("eat");
  const auto lands = run.timeline.Of("land");
  ASSERT_GE(eats.size(), 12u);
  EXPECT_EQ(steps.front().t, 3700u) << "first step 3000 + 700 after start-up";

  // Each eaten character lands on its answer place on the ninth tick of its flight,
  // counting the tick it was eaten in.
  for (std::size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(lands[i].t, eats[i].t + 800) << "eat " << i;
    EXPECT_EQ(lands[i].a, eats[i].b - 1) << "place k shows character k + 1";
  }
  // Steps follow every 700 ms, except that after the fourth character of an idiom the
  // next step comes 3000 + 700 ms after the eat.
  for (std::size_t i = 1; i < steps.size(); ++i) {
    bool afterCompletion = false;
    for (const auto& e : run.timeline.Of("complete"))
      afterCompletion = afterCompletion || (e.t == steps[i - 1].t);
    EXPECT_EQ(steps[i].t - steps[i - 1].t, afterCompletion ? 3700u : 700u) << "step " << i;
  }
  // The sound comes with the fourth landing, then the reading, one immediate frame and
  // the meaning (shown only now, with the meaning-as-hint flag off).
  const auto completes = run.timeline.Of("complete");
  ASSERT_GE(completes.size(), 3u);
  for (std::size_t n = 0; n < 3; ++n) {
    const std::uint32_t t = completes[n].t + 800;
    std::vector<std::string> at;
    for (const auto& e : run.timeline.events)
      if (e.t == t && e.kind != "step") at.push_back(e.kind);
    EXPECT_EQ(at, (std::vector<std::string>{"land", "sound", "reading", "render", "meaning"}))
        << "idiom " << n;
    const int slot = completes[n].a;
    EXPECT_EQ(run.timeline.Of("reading")[n].text,
              run.dict.IdiomReading(run.game.State().boardIdiomIndex[slot]));
  }
  EXPECT_EQ(run.timeline.Of("sound").size(), completes.size());
  EXPECT_EQ(run.timeline.Of("meaning").front().t, completes.front().t + 800);
}

TEST(RoadOfOneIdiom, AnswersSpellTheIdiomInOrder) {
  Play run(Defaults());
  run.TicksUntil(40000);
  const auto answers = run.timeline.Of("answer");
  ASSERT_GE(answers.size(), 8u);
  for (int n = 0; n < 2; ++n) {
    std::u16string spelled;
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(answers[4 * n + k].a, k);
      spelled += answers[4 * n + k].text;
    }
    EXPECT_EQ(spelled, run.game.State().boardIdioms[19 - n]);
  }
}

TEST(RoadOfOneIdiom, MeaningAsHintShowsFromTheFirstLanding) {
  game::GameSettings s = Defaults();
  s.imiHyoji = true;
  Play run(s);
  run.TicksUntil(60000);
  const auto eats = run.timeline.Of("eat");
  const auto meanings = run.timeline.Of("meaning");
  ASSERT_GE(eats.size(), 8u);
  // One meaning per idiom (first line, perhaps a second), written when its first
  // character lands.
  std::vector<std::uint32_t> firstLineTimes;
  for (const auto& m : meanings)
    if (m.a == 1) firstLineTimes.push_back(m.t);
  for (std::size_t n = 0; n * 4 < eats.size() && n < firstLineTimes.size(); ++n)
    EXPECT_EQ(firstLineTimes[n], eats[4 * n].t + 800);
  for (const auto& e : run.timeline.Of("reading")) {
    for (const auto& m : meanings) EXPECT_NE(m.t, e.t) << "no meaning written at completion";
  }
}

// Positions 1 and 2 of the completed display flags, before and after the next step.
TEST(RoadOfOneIdiom, NextStepClearsTheCompletedIdiom) {
  Play run(Defaults());
  const auto completedAt = [&] {
    for (;;) {
      run.game.Tick();
      if (run.game.State().idiomDone) return run.clock.Now();
      run.clock.Sleep(100);
    }
  }();
  run.TicksUntil(completedAt + 3600);
  EXPECT_TRUE(run.game.State().idiomDone);
  EXPECT_TRUE(run.game.State().answerArrived[3]);
  run.clock.Sleep(100);
  run.game.Tick();
  EXPECT_FALSE(run.game.State().idiomDone);
  for (bool arrived : run.game.State().answerArrived) EXPECT_FALSE(arrived);
}

TEST(BoardFlow, WholeBoardThenNewBoardAfterTheWait) {
  Play run(Defaults());
  run.TicksUntil(1500000);
  const auto boards = run.timeline.Of("board");
  ASSERT_GE(boards.size(), 2u);
  const auto eats = run.timeline.Of("eat");
  ASSERT_GE(eats.size(), 81u);
  const std::uint32_t lastEat = eats[79].t;
  EXPECT_EQ(boards[1].t, lastEat + 3700) << "new board at the next firing of the timer";
  std::uint32_t firstStepOfNewBoard = 0;
  int stepsInBetween = 0;
  for (const auto& s : run.timeline.Of("step")) {
    if (s.t > lastEat && s.t < boards[1].t + 3700) ++stepsInBetween;
    if (s.t > boards[1].t && firstStepOfNewBoard == 0) firstStepOfNewBoard = s.t;
  }
  EXPECT_EQ(stepsInBetween, 0) << "the walker stands still after the last character";
  EXPECT_EQ(firstStepOfNewBoard, boards[1].t + 3000 + 700);
  const auto wallpapers = run.timeline.Of("wallpaper");
  ASSERT_GE(wallpapers.size(), 2u);
  EXPECT_EQ(wallpapers[0].t, 0u);
  EXPECT_EQ(wallpapers[1].t, boards[1].t);
}

TEST(BoardFlow, NewBoardPutsTheWalkerOnTheHoleWithoutAStep) {
  Play run(Defaults());
  while (!run.game.State().boardDone) {
    run.game.Tick();
    run.clock.Sleep(100);
  }
  // Run until the restart has happened.
  while (run.game.State().boardDone) {
    run.game.Tick();
    run.clock.Sleep(100);
  }
  EXPECT_EQ(game::FreeSquareCount(run.game.State().board), 1);
  EXPECT_TRUE(
      game::IsFree(run.game.State().board, run.game.State().walkerRow, run.game.State().walkerCol));
  EXPECT_FALSE(run.game.State().stepDue);
  EXPECT_EQ(run.game.State().completedCount, 0);
  EXPECT_EQ(run.game.State().routeLength, 2);
}

struct SpeedCase {
  std::uint32_t stepInterval;
  std::uint32_t waitTime;
};

TEST(BoardFlow, StepsFallOnTheTickGridForEverySpeed) {
  const SpeedCase cases[] = {{300, 1000}, {1200, 5500}, {700, 3000}, {1000, 3500}};
  for (const SpeedCase& sc : cases) {
    game::GameSettings s = Defaults();
    s.stepInterval = sc.stepInterval;
    s.waitTime = sc.waitTime;
    Play run(s);
    run.TicksUntil(60000);
    const auto steps = run.timeline.Of("step");
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps[0].t, 3000 + sc.stepInterval);
    std::set<std::uint32_t> completions;
    for (const auto& e : run.timeline.Of("complete")) completions.insert(e.t);
    ASSERT_FALSE(completions.empty());
    for (std::size_t i = 1; i < steps.size(); ++i) {
      const bool afterCompletion = completions.count(steps[i - 1].t) > 0;
      const std::uint32_t gap = afterCompletion ? sc.waitTime + sc.stepInterval : sc.stepInterval;
      EXPECT_EQ(steps[i].t - steps[i - 1].t, gap) << "step " << i;
    }
  }
}

// Settings are used as read; an interval beyond the timer's span is shortened to it
// instead of wrapping round to "due at once".
TEST(BoardFlow, LongIntervalsAreShortenedToTheTimerSpan) {
  const SpeedCase cases[] = {{0x7FFFFFFF, 3000}, {0x7FFFFFFF, 0x7FFFFFFF}, {700, 0xFFFFFFFF}};
  for (const SpeedCase& sc : cases) {
    game::GameSettings s = Defaults();
    s.stepInterval = sc.stepInterval;
    s.waitTime = sc.waitTime;
    Play run(s);
    run.game.Tick();
    EXPECT_TRUE(run.timeline.Of("step").empty()) << sc.stepInterval;
    EXPECT_EQ(run.game.TimerDueIn(0), 3000 + std::min(sc.stepInterval, game::kLongestTimerSpan));
    EXPECT_EQ(run.game.Settings().waitTime, std::min(sc.waitTime, game::kLongestTimerSpan));
  }
}

struct MeaningCase {
  int length;
  bool twoLines;
  std::size_t secondLineLength;
};

TEST(ShowMeaning, SplitsAfterThirtyTwoCodeUnits) {
  const MeaningCase cases[] = {{7, false, 0}, {32, false, 0}, {33, true, 1}, {38, true, 6}};
  testing_support::TempDir dir;
  std::vector<game_test::UserGroup> groups;
  for (const MeaningCase& mc : cases) {
    std::string meaning;
    for (int i = 0; i < mc.length; ++i) meaning += "字";
    groups.push_back({"一二三" + std::string("四"), meaning, "よみ"});
  }
  game_test::WriteUserList(dir.File("list.txt"), groups);
  dictionary::Dictionary dict;
  ASSERT_EQ(dict.LoadUserIdioms(dir.File("list.txt")), 4);
  game::TestClock clock;
  game::SeededRandom random(1);
  game_test::RecordingView view;
  game::GameState state;
  game::BoardFlow flow(state, dict, view, clock, random, game::GameSettings{});
  for (int i = 0; i < 4; ++i) {
    const MeaningCase& mc = cases[i];
    view.calls.clear();
    state.boardIdiomIndex[5] = 170 + i;
    flow.ShowMeaning(5);
    EXPECT_EQ(state.meaningTwoLines, mc.twoLines) << mc.length;
    ASSERT_EQ(view.calls.size(), mc.twoLines ? 2u : 1u);
    EXPECT_EQ(view.calls[0].a, 1);
    EXPECT_EQ(view.calls[0].text.size(),
              std::min<std::size_t>(static_cast<std::size_t>(mc.length), 32u));
    if (mc.twoLines) {
      EXPECT_EQ(view.calls[1].a, 2);
      EXPECT_EQ(view.calls[1].text.size(), mc.secondLineLength);
    }
  }
}

TEST(Game, SameSeedPlaysTheSameGame) {
  Play a(Defaults(), 77), b(Defaults(), 77);
  a.TicksUntil(30000);
  b.TicksUntil(30000);
  ASSERT_EQ(a.timeline.events.size(), b.timeline.events.size());
  for (std::size_t i = 0; i < a.timeline.events.size(); ++i) {
    EXPECT_EQ(a.timeline.events[i].kind, b.timeline.events[i].kind);
    EXPECT_EQ(a.timeline.events[i].t, b.timeline.events[i].t);
  }
}

// The step timer keeps working when timeGetTime wraps past 2^32 during the game.
TEST(Game, StepTimerSurvivesTheClockWrap) {
  dictionary::Dictionary dict;
  game::TestClock clock(0xFFFFFFFFu - 5000);
  game::SeededRandom random(4);
  Timeline timeline(clock);
  game::Game g(dict, timeline, clock, random, Defaults());
  g.SetObserver(&timeline);
  g.StartUp(40, 30);
  for (int i = 0; i < 200; ++i) {
    g.Tick();
    clock.Sleep(100);
  }
  const auto steps = timeline.Of("step");
  ASSERT_GE(steps.size(), 10u);
  EXPECT_EQ(steps[0].t, 0xFFFFFFFFu - 5000 + 3700);
  for (std::size_t i = 1; i < 5; ++i)
    EXPECT_EQ(static_cast<std::uint32_t>(steps[i].t - steps[i - 1].t), 700u);
}

}  // namespace
