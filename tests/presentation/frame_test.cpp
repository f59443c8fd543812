// Frames of the real saver, headless, checked at their pixels and at the quads they queue.
#include <gtest/gtest.h>

#include "presentation/saver_fixture.h"

namespace {

using namespace saver_test;

constexpr std::uint32_t kDestinationRed = 0xFF0030;
constexpr std::uint32_t kPureRed = 0xFF0000;

bool AnyFlying(const game::GameState& g) {
  for (const auto& row : g.flyingTiles)
    for (const auto& t : row)
      if (t.answerIndex >= 0) return true;
  return false;
}

TEST(Frame, DestinationIsRedOnlyWithIkisakiHyojiAndNoIdiomOnShow) {
  for (const bool highlight : {true, false}) {
    DataCopy data;
    data.Settings(std::string("[Settei]\r\nIkisakiHyoji=") + (highlight ? "1" : "0") +
                  "\r\nImiHyoji=0\r\n");
    shell::HeadlessSaver saver(data.Dir(), 11);
    saver.RunTicks(1);
    const game::GameState& g = saver.State();
    const shell::Frame frame = saver.LastFrame();
    const Box target = CharacterBox(saver, g.targetRow, g.targetCol);
    EXPECT_EQ(CountExact(frame, target, kDestinationRed) > 0, highlight)
        << "highlight " << highlight;
    // Every other resting character is black.
    for (int r = 0; r < game::kBoardRows; ++r)
      for (int c = 0; c < game::kBoardCols; ++c) {
        if ((r == g.targetRow && c == g.targetCol) || g.board[r][c].idiomSlot < 0) continue;
        const Box box = CharacterBox(saver, r, c);
        ASSERT_EQ(CountIf(frame, box,
                          [](int rr, int gg, int bb) { return rr > 150 && gg < 80 && bb < 80; }),
                  0)
            << r << "," << c;
        ASSERT_GT(CountIf(frame, box, Dark), 10) << r << "," << c;
      }
    if (!highlight) continue;
    // While a completed idiom is on show the next destination stays black.
    ASSERT_TRUE(RunUntil(
        saver, [](const game::GameState& gg) { return gg.idiomDone && gg.answerArrived[3]; }));
    saver.RunTicks(1);
    ASSERT_TRUE(g.idiomDone);
    const shell::Frame shown = saver.LastFrame();
    const Box next = CharacterBox(saver, g.targetRow, g.targetCol);
    EXPECT_EQ(CountExact(shown, next, kDestinationRed), 0);
    EXPECT_GT(CountIf(shown, next, Dark), 10);
  }
}

TEST(Frame, AFlyingCharacterIsPureRedAndLeavesTheBoardAtTheAnswerRow) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 12);
  ASSERT_TRUE(RunUntil(saver, AnyFlying));
  const game::GameState& g = saver.State();
  int fr = -1;
  int fc = -1;
  for (int r = 0; r < game::kBoardRows; ++r) {
    for (int c = 0; c < game::kBoardCols; ++c) {
      if (g.flyingTiles[r][c].answerIndex >= 0) {
        fr = r;
        fc = c;
      }
    }
  }
  // Launched in this tick's step and moved once by its flights: above its square already.
  ASSERT_LT(g.flyingTiles[fr][fc].y, static_cast<std::int32_t>(g.board[fr][fc].y));
  const shell::Frame frame = saver.LastFrame();
  EXPECT_GT(CountExact(frame, CharacterBox(saver, fr, fc), kPureRed), 5);
  auto quads = ComposedQuads(saver);
  auto cell = QuadsOf(quads, saver.Screen().CellTexture(fr, fc));
  ASSERT_EQ(cell.size(), 1u);
  EXPECT_EQ(cell[0].colour, 0xFFFF0000u);

  // Landed: only the answer character is drawn at the answer place.
  ASSERT_TRUE(RunUntil(
      saver, [&](const game::GameState& gg) { return gg.flyingTiles[fr][fc].answerIndex < 0; }));
  EXPECT_EQ(g.flyingTiles[fr][fc].y, g.answerSlots[0].y);
  quads = ComposedQuads(saver);
  EXPECT_TRUE(QuadsOf(quads, saver.Screen().CellTexture(fr, fc)).empty());
  const auto answer = QuadsOf(quads, saver.Screen().AnswerTexture(0));
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_EQ(answer[0].x, 20.0f);
  EXPECT_EQ(answer[0].y, 20.0f);
  EXPECT_EQ(answer[0].colour, 0xFFFF0000u);
  EXPECT_GT(CountExact(saver.LastFrame(), Box{20, 20, 40, 40}, kPureRed), 20);
}

TEST(Frame, TheHoleNeverShowsACharacter) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 13);
  const game::GameState& g = saver.State();
  const int hr = g.walkerRow;
  const int hc = g.walkerCol;
  ASSERT_EQ(g.board[hr][hc].idiomSlot, -1);
  // The walker leaves the hole with its first step; the leaf there stays bare.
  ASSERT_TRUE(RunUntil(
      saver, [&](const game::GameState& gg) { return gg.walkerRow != hr || gg.walkerCol != hc; }));
  saver.RunTicks(1);
  EXPECT_TRUE(QuadsOf(ComposedQuads(saver), saver.Screen().CellTexture(hr, hc)).empty());
  const Box leaf{static_cast<int>(g.board[hr][hc].x) + 9, static_cast<int>(g.board[hr][hc].y) + 4,
                 static_cast<int>(saver.Screen().CellTexture(hr, hc).Width()),
                 static_cast<int>(saver.Screen().CellTexture(hr, hc).Height())};
  if (g.walkerRow != hr || g.walkerCol != hc) {
    EXPECT_LT(CountIf(saver.LastFrame(), leaf, Dark), 3);
  }
}

TEST(Frame, TheWalkerAnimatesWhileStandingStill) {
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 14);
  const game::GameState& g = saver.State();
  const game::TBoardCell& at = g.board[g.walkerRow][g.walkerCol];
  dg::TDGTexture& walker =
      g.facingLeft ? saver.Screen().WalkerTexture(1) : saver.Screen().WalkerTexture(0);
  const Box box{static_cast<int>(at.x) - 2, static_cast<int>(at.y) - 4,
                static_cast<int>(walker.Width() / 8), static_cast<int>(walker.Height())};
  // The first step comes after 3.7 s: the first 30 ticks have the walker on its hole.
  std::vector<shell::Frame> frames;
  for (int i = 0; i < 9; ++i) {
    saver.RunTicks(1);
    frames.push_back(saver.LastFrame());
    EXPECT_EQ(saver.Screen().WalkerFrame(), (i + 1) % 8);
  }
  int changes = 0;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    int differing = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
      for (int x = box.x; x < box.x + box.w; ++x)
        if (frames[i].At(x, y) != frames[i - 1].At(x, y)) ++differing;
    if (differing > 0) ++changes;
  }
  EXPECT_GE(changes, 6);
  // Eight frames make a cycle.
  int same = 0;
  for (int y = box.y; y < box.y + box.h; ++y)
    for (int x = box.x; x < box.x + box.w; ++x)
      if (frames[8].At(x, y) == frames[0].At(x, y)) ++same;
  EXPECT_EQ(same, box.w * box.h);
}

// Frames drawn as the last frame plus the boxes where they changed (the software device
// keeps its frames), and repeated with the walker's next picture while the game stands
// still, are the frames composed and drawn whole, tick for tick, through flights, panels
// and a new board; most ticks redraw one or two boxes.
TEST(Frame, FramesRedrawnWhereTheyChangedAreTheWholeFrames) {
  DataCopy data;
  data.Settings("[Settei]\r\nSpeed=-2\r\nWaitTime=-1\r\nImiHyoji=1\r\n");
  struct Run {
    std::vector<std::uint64_t> frames;  // a hash of each tick's frame
    int boxTicks = 0;                   // ticks drawn as boxes
    int boards = 0;
    bool kept = true;  // the device kept every frame
  };
  const auto play = [&](sx::TSXRedraw redraw) {
    const bool reference = redraw == sx::TSXRedraw::Whole;
    Run run;
    shell::HeadlessSaver saver(data.Dir(), 17);
    saver.Screen().Scene().SetRedraw(redraw);
    for (int tick = 0; tick < 1500 && run.boards < 2; ++tick) {
      const bool done = saver.State().boardDone;
      // Attached again, the screen composes the next frame afresh.
      if (reference) saver.Screen().Attach(saver.State(), saver.Game().Settings());
      saver.RunTicks(1);
      if (!reference && !saver.Screen().Scene().FrameKept()) {
        run.kept = false;
        break;
      }
      if (done && !saver.State().boardDone) ++run.boards;
      if (saver.Screen().Scene().RedrawnBoxes() > 0) ++run.boxTicks;
      std::uint64_t hash = 14695981039346656037ull;
      for (const std::uint32_t p : saver.LastFrame().pixels)
        hash = (hash ^ (p & 0xFFFFFF)) * 1099511628211ull;
      run.frames.push_back(hash);
    }
    return run;
  };
  const Run changes = play(sx::TSXRedraw::Changes);
  if (!changes.kept) GTEST_SKIP() << "the device discards its frames: each is drawn whole";
  const Run whole = play(sx::TSXRedraw::Whole);
  EXPECT_EQ(changes.boards, 2);
  ASSERT_EQ(changes.frames.size(), whole.frames.size());
  for (std::size_t i = 0; i < whole.frames.size(); ++i)
    ASSERT_EQ(changes.frames[i], whole.frames[i]) << "tick " << i + 1;
  EXPECT_EQ(whole.boxTicks, 0);
  EXPECT_GT(changes.boxTicks, static_cast<int>(changes.frames.size()) * 3 / 4);
}

struct MeaningCase {
  bool imiHyoji;
  bool shownAfterFirstLanding;
};

TEST(Frame, MeaningPanelTimingFollowsImiHyoji) {
  for (const MeaningCase c : {MeaningCase{true, true}, MeaningCase{false, false}}) {
    DataCopy data;
    data.Settings(std::string("[Settei]\r\nIkisakiHyoji=0\r\nImiHyoji=") +
                  (c.imiHyoji ? "1" : "0") + "\r\n");
    shell::HeadlessSaver saver(data.Dir(), 15);
    ASSERT_TRUE(RunUntil(saver, [](const game::GameState& g) { return g.answerArrived[0]; }));
    auto quads = ComposedQuads(saver);
    EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningTexture(0)).size(),
              c.shownAfterFirstLanding ? 1u : 0u)
        << "ImiHyoji " << c.imiHyoji;
    ASSERT_TRUE(RunUntil(
        saver, [](const game::GameState& g) { return g.idiomDone && g.answerArrived[3]; }));
    quads = ComposedQuads(saver);
    const auto text = QuadsOf(quads, saver.Screen().MeaningTexture(0));
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].colour, 0xFF0000FFu);
    EXPECT_EQ(text[0].x, 20.0f);
    EXPECT_EQ(text[0].y, 65.0f);
    // Its background comes first, at the same place; the reading shows in black on green.
    const auto back = QuadsOf(quads, saver.Screen().MeaningBackground(0));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].x, 20.0f);
    EXPECT_EQ(back[0].y, 65.0f);
    const auto reading = QuadsOf(quads, saver.Screen().ReadingTexture());
    ASSERT_EQ(reading.size(), 1u);
    EXPECT_EQ(reading[0].x, 250.0f);
    EXPECT_EQ(reading[0].y, 30.0f);
    EXPECT_EQ(reading[0].colour, 0xFF000000u);
    // The blue meaning text is on screen.
    EXPECT_GT(CountIf(saver.LastFrame(), Box{20, 65, 600, 25},
                      [](int r, int g, int b) { return b > 150 && r < 90 && g < 90; }),
              20);
  }
}

TEST(Frame, OneOrTwoMeaningLines) {
  // Play until both kinds of meaning have been on show; each must draw exactly its lines.
  DataCopy data;
  shell::HeadlessSaver saver(data.Dir(), 16);
  bool sawOne = false;
  bool sawTwo = false;
  for (int completed = 0; completed < 60 && !(sawOne && sawTwo); ++completed) {
    ASSERT_TRUE(RunUntil(
        saver, [](const game::GameState& g) { return g.idiomDone && g.answerArrived[3]; }));
    const auto quads = ComposedQuads(saver);
    const bool two = saver.State().meaningTwoLines;
    EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningTexture(0)).size(), 1u);
    EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningBackground(0)).size(), 1u);
    EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningTexture(1)).size(), two ? 1u : 0u);
    EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningBackground(1)).size(), two ? 1u : 0u);
    if (two) {
      EXPECT_EQ(QuadsOf(quads, saver.Screen().MeaningTexture(1))[0].y, 90.0f);
    }
    (two ? sawTwo : sawOne) = true;
    ASSERT_TRUE(RunUntil(saver, [](const game::GameState& g) { return !g.idiomDone; }));
  }
  EXPECT_TRUE(sawOne);
  EXPECT_TRUE(sawTwo);
}

}  // namespace
