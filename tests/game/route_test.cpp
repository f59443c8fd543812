#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "game/board.h"
#include "game/clock.h"
#include "game/flow.h"
#include "game/random.h"
#include "game/route.h"
#include "test_support.h"

namespace {

using game_test::Square;

// A board drawn as nine rows: '.' free, '#' a character, 'W' the walker (free), 'T' the
// destination, position 1 of slot 19.
void Draw(game::GameState& b, const std::vector<std::string>& rows) {
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      game::TBoardCell& cell = b.board[r][c];
      const char ch = rows[r][c];
      cell.kanji.clear();
      if (ch == '#' || ch == 'T') cell.kanji.push_back(u'字');
      cell.idiomSlot = ch == 'T' ? 19 : (ch == '#' ? 3 : -1);
      cell.charPos = ch == 'T' ? 1 : (ch == '#' ? 2 : 0);
      if (ch == 'W') {
        b.walkerRow = r;
        b.walkerCol = c;
      }
    }
  }
}

struct RouteCase {
  const char* name;
  std::vector<std::string> rows;
  std::vector<Square> route;  // empty: no route
};

TEST(PlanRoute, HandDrawnBoards) {
  const RouteCase cases[] = {
      {"row shortcut",
       {"#########", "#########", "#########", "#########", "##W....T#", "#########", "#########",
        "#########", "#########"},
       {{4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6}, {4, 7}}},
      {"destination next to the walker",
       {".........", ".........", ".........", "...WT....", ".........", ".........", ".........",
        ".........", "........."},
       {{3, 3}, {3, 4}}},
      // The column shortcut is blocked at (4, 5); up is only marked, then left is expanded
      // depth first, and the right-hand way is never tried.
      {"blocked column goes left first",
       {"#########", "#########", "####.T.##", "####.#.##", "####.#.##", "####.W.##", "#########",
        "#########", "#########"},
       {{5, 5}, {5, 4}, {4, 4}, {3, 4}, {2, 4}, {2, 5}}},
      // A dead end on the left is backed out of; the route is cut back to the walker.
      {"dead end is cut off the route",
       {"####T.###", "#####.###", "#####.###", "###.#.###", "###.W.###", "#########", "#########",
        "#########", "#########"},
       {{4, 4}, {4, 5}, {3, 5}, {2, 5}, {1, 5}, {0, 5}, {0, 4}}},
      {"walled off",
       {"T#.......", "##.......", ".........", ".........", "....W....", ".........", ".........",
        ".........", "........."},
       {}},
  };
  for (const RouteCase& tc : cases) {
    game::GameState route;
    Draw(route, tc.rows);
    game::PlanRoute(route, 19, 1);
    EXPECT_EQ(route.routeFound, !tc.route.empty()) << tc.name;
    if (!tc.route.empty()) {
      EXPECT_EQ(game_test::RouteOf(route), tc.route) << tc.name;
    }
    EXPECT_EQ(game_test::ReferenceRoute(route.board, {route.walkerRow, route.walkerCol},
                                        {route.targetRow, route.targetCol}),
              tc.route)
        << tc.name << " (reference)";
  }
}

TEST(PlanRoute, MissingDestinationFindsNoRoute) {
  game::GameState route;
  Draw(route, {".........", ".........", ".........", "...W.....", ".........", ".........",
               ".........", ".........", "........."});
  game::PlanRoute(route, 19, 1);
  EXPECT_FALSE(route.routeFound);
  EXPECT_EQ(route.targetRow, -1);
  EXPECT_EQ(route.routeLength, 1);
}

bool Neighbours(Square a, Square b) {
  return std::abs(a.first - b.first) + std::abs(a.second - b.second) == 1;
}

// Eats whole boards step by step and checks every route: a simple path of neighbouring
// free squares from the walker to the destination, equal to the reference search; and the
// characters eaten in the order slot 19 .. 0, position 1 .. 4.
class RouteChecker : public game::GameObserver {
 public:
  explicit RouteChecker(const game::GameState& state) : state_(state) {}
  void RoutePlanned() override {
    ++routes;
    const std::vector<Square> got = game_test::RouteOf(state_);
    ASSERT_TRUE(state_.routeFound);
    ASSERT_GE(got.size(), 2u);
    ASSERT_EQ(got.front(), Square(state_.walkerRow, state_.walkerCol));
    ASSERT_EQ(got.back(), Square(state_.targetRow, state_.targetCol));
    std::set<Square> distinct(got.begin(), got.end());
    ASSERT_EQ(distinct.size(), got.size()) << "route revisits a square";
    for (std::size_t i = 1; i < got.size(); ++i) {
      ASSERT_TRUE(Neighbours(got[i - 1], got[i]));
      if (i + 1 < got.size()) {
        ASSERT_TRUE(game::IsFree(state_.board, got[i].first, got[i].second));
      }
    }
    ASSERT_EQ(got, game_test::ReferenceRoute(state_.board, got.front(), got.back()));
  }
  void CharacterEaten(int, int, int slot, int pos) override { eaten.emplace_back(slot, pos); }
  int routes = 0;
  std::vector<Square> eaten;

 private:
  const game::GameState& state_;
};

TEST(StepWalker, RoutesAndEatingOrderOverManyBoards) {
  dictionary::Dictionary dict;
  std::vector<Square> expectedOrder;
  for (int slot = 19; slot >= 0; --slot)
    for (int pos = 1; pos <= 4; ++pos) expectedOrder.emplace_back(slot, pos);

  for (int seed = 1; seed <= 1000; ++seed) {
    game::TestClock clock;
    game::SeededRandom random(static_cast<std::uint64_t>(seed));
    game::NullGameView view;
    game::GameState state;
    game::BoardFlow flow(state, dict, view, clock, random, game::GameSettings{});
    RouteChecker checker(state);
    flow.SetObserver(&checker);
    game::LayOutBoard(state, 40, 30);
    flow.ResetBoard();
    flow.FillNewBoard();
    ASSERT_EQ(state.routeLength, 2) << "first destination is next to the hole";
    for (int steps = 0; !state.boardDone; ++steps) {
      ASSERT_LT(steps, 81 * 80) << "seed " << seed;
      state.stepDue = state.routeFound;
      flow.StepWalker();
    }
    if (HasFatalFailure()) FAIL() << "seed " << seed;
    ASSERT_EQ(checker.eaten, expectedOrder) << "seed " << seed;
    EXPECT_EQ(checker.routes, 80);
    EXPECT_EQ(game::FreeSquareCount(state.board), 81);
  }
}

struct Facing {
  Square to;
  int facingLeft;
};

// Left sets the flag, up and down keep it, right clears it.
TEST(StepWalker, FacingFollowsHorizontalSteps) {
  dictionary::Dictionary dict;
  game::TestClock clock;
  game::SeededRandom random(1);
  game::NullGameView view;
  game::GameState state;
  game::BoardFlow flow(state, dict, view, clock, random, game::GameSettings{});
  Draw(state, {"#########", "#########", "###.T####", "###.#####", "###.W####", "#########",
               "#########", "#########", "#########"});
  state.boardIdiomIndex[19] = 0;
  game::PlanRoute(state, 19, 1);
  const Facing steps[] = {{{4, 3}, 1}, {{3, 3}, 1}, {{2, 3}, 1}, {{2, 4}, 0}};
  for (const Facing& s : steps) {
    state.stepDue = true;
    flow.StepWalker();
    EXPECT_EQ(Square(state.walkerRow, state.walkerCol), s.to);
    EXPECT_EQ(state.facingLeft, s.facingLeft);
  }
  EXPECT_TRUE(game::IsFree(state.board, 2, 4)) << "the destination was eaten";
}

}  // namespace
