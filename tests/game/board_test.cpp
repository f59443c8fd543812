#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "dictionary/dictionary.h"
#include "game/board.h"
#include "game/random.h"
#include "support/temp_dir.h"
#include "test_support.h"

namespace {

using game_test::RecordingView;

constexpr int kBoards = 1000;

// After every accepted placement the free squares form one region; after the board is
// full exactly the hole is free, the walker stands on it, the first destination (slot 19,
// position 1) is next to it, and every (slot, position) holds its idiom's character once.
TEST(FillBoard, PropertiesOverManyBoards) {
  dictionary::Dictionary dict;
  for (int seed = 1; seed <= kBoards; ++seed) {
    game::GameState b;
    game::LayOutBoard(b, 40, 30);
    game::SeededRandom random(static_cast<std::uint64_t>(seed));
    RecordingView view;
    int placements = 0;
    bool alwaysConnected = true;
    view.onCellWritten = [&](int, int) {
      ++placements;
      alwaysConnected = alwaysConnected && game_test::FreeSquaresConnected(b.board);
    };
    game::FillBoard(b, 20, dict, random, view);
    ASSERT_EQ(placements, 80) << "seed " << seed;
    ASSERT_TRUE(alwaysConnected) << "seed " << seed;
    ASSERT_EQ(game::FreeSquareCount(b.board), 1) << "seed " << seed;
    const int wr = b.walkerRow;
    const int wc = b.walkerCol;
    ASSERT_TRUE(b.board[wr][wc].kanji.empty());
    EXPECT_EQ(b.board[wr][wc].idiomSlot, -1);

    std::set<std::pair<int, int>> seen;
    bool firstNextToHole = false;
    for (int r = 0; r < 9; ++r) {
      for (int c = 0; c < 9; ++c) {
        const game::TBoardCell& cell = b.board[r][c];
        if (cell.kanji.empty()) continue;
        ASSERT_TRUE(cell.idiomSlot >= 0 && cell.idiomSlot < 20);
        ASSERT_TRUE(cell.charPos >= 1 && cell.charPos <= 4);
        ASSERT_TRUE(seen.insert({cell.idiomSlot, cell.charPos}).second);
        EXPECT_EQ(cell.kanji[0], b.boardIdioms[cell.idiomSlot][cell.charPos - 1]);
        if (cell.idiomSlot == 19 && cell.charPos == 1)
          firstNextToHole = std::abs(r - wr) + std::abs(c - wc) == 1;
      }
    }
    ASSERT_TRUE(firstNextToHole) << "seed " << seed;
    for (int k = 0; k < 20; ++k) EXPECT_EQ(b.boardIdioms[k], dict.Idiom(b.boardIdiomIndex[k]));
  }
}

TEST(FillBoard, IdiomCountOutsideOneToTwentyIsRefused) {
  dictionary::Dictionary dict;
  game::SeededRandom random(1);
  game::NullGameView view;
  for (int count : {0, -1, 21}) {
    game::GameState b;
    EXPECT_THROW(game::FillBoard(b, count, dict, random, view), std::invalid_argument) << count;
  }
}

// Fresh boards filled one after the other from one pool, as the new-board restart does.
struct Boards {
  explicit Boards(std::uint64_t seed, bool priority = false) : random(seed) {
    state.pool.userPriority = priority;
  }
  std::vector<int> Next() {
    for (auto& row : state.board)
      for (auto& cell : row) cell.kanji.clear();
    game::FillBoard(state, 20, dict, random, view);
    return {state.boardIdiomIndex.begin(), state.boardIdiomIndex.end()};
  }
  dictionary::Dictionary dict;
  game::SeededRandom random;
  game::NullGameView view;
  game::GameState state;
};

TEST(IdiomPool, EightBoardsWithoutRepeatThenResetAtTheNinth) {
  for (std::uint64_t seed : {1u, 2u, 3u, 99u}) {
    Boards boards(seed);
    std::set<int> used;
    for (int n = 1; n <= 8; ++n) {
      for (int i : boards.Next()) {
        EXPECT_TRUE(i >= 0 && i < 170);
        EXPECT_TRUE(used.insert(i).second) << "board " << n << " repeats " << i;
      }
    }
    EXPECT_EQ(used.size(), 160u);
    EXPECT_EQ(boards.state.pool.builtinUsedCount, 160);
    const std::vector<int> ninth = boards.Next();
    EXPECT_EQ(boards.state.pool.builtinUsedCount, 20);
    EXPECT_EQ(std::set<int>(ninth.begin(), ninth.end()).size(), 20u);
    // Only ten idioms were left; a ninth board drawn from them alone would be impossible.
    const int reused = static_cast<int>(
        std::count_if(ninth.begin(), ninth.end(), [&](int i) { return used.count(i) > 0; }));
    EXPECT_GT(reused, 0) << "seed " << seed;
  }
}

struct PriorityCase {
  int userCount;
  // Number of user idioms expected on board 1 and board 2 at least, and in slots from 0.
  int userSlotsBoard1;
  int userSlotsBoard2;
};

class UserPriority : public testing::TestWithParam<PriorityCase> {};

// Under priority, slots are filled with user idioms first (slot 0 upward) until the list
// is used up; then everything not yet used is drawn from, and priority never returns.
TEST_P(UserPriority, UserIdiomsComeFirstUntilAllAreUsed) {
  const PriorityCase& pc = GetParam();
  testing_support::TempDir dir;
  game_test::WriteUserList(dir.File("list.txt"), game_test::MakeUserGroups(pc.userCount));
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    Boards boards(seed, true);
    ASSERT_EQ(boards.dict.LoadUserIdioms(dir.File("list.txt")), pc.userCount);
    const std::vector<int> first = boards.Next();
    for (int k = 0; k < pc.userSlotsBoard1; ++k) EXPECT_GE(first[k], 170) << "slot " << k;
    std::set<int> users;
    for (int i : first)
      if (i >= 170) users.insert(i);
    EXPECT_EQ(static_cast<int>(users.size()), std::min(pc.userCount, 20));
    const std::vector<int> second = boards.Next();
    for (int k = 0; k < pc.userSlotsBoard2; ++k) EXPECT_GE(second[k], 170) << "slot " << k;
    for (int i : second)
      if (i >= 170) {
        EXPECT_TRUE(users.insert(i).second) << "user idiom " << i << " repeated";
      }
    EXPECT_FALSE(boards.state.pool.userPriority);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, UserPriority,
                         testing::Values(PriorityCase{5, 5, 0}, PriorityCase{30, 20, 10}));

TEST(UserPriority, WithoutUserIdiomsPriorityHasNoEffect) {
  Boards boards(5, true);
  const std::vector<int> first = boards.Next();
  for (int i : first) EXPECT_LT(i, 170);
  EXPECT_FALSE(boards.state.pool.userPriority);
}

// Squares are told apart by slot and position, never by the character.
TEST(FillBoard, RepeatedCharactersStandOnSeparateSquares) {
  testing_support::TempDir dir;
  game_test::WriteUserList(dir.File("list.txt"), {{"木木木木", "森の木", "きききき"}});
  Boards boards(11, true);
  ASSERT_EQ(boards.dict.LoadUserIdioms(dir.File("list.txt")), 1);
  boards.Next();
  ASSERT_EQ(boards.state.boardIdiomIndex[0], 170);
  std::set<int> positions;
  for (const auto& row : boards.state.board)
    for (const auto& cell : row)
      if (cell.idiomSlot == 0 && !cell.kanji.empty()) positions.insert(cell.charPos);
  EXPECT_EQ(positions, (std::set<int>{1, 2, 3, 4}));
}

}  // namespace
