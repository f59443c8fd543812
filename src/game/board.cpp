#include "game/board.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace game {

namespace {

// Neighbour order of the flood fill and of the placement test: up, down, left, right.
constexpr std::array<std::pair<int, int>, 4> kNeighbourOrder{{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};

// Redrawing random(170 + U) (or 170 + random(U) under priority) until an unused entry
// comes up picks each unused entry of the range with equal probability. Picking the m-th
// unused entry for m = random(number unused) gives that same distribution with one draw,
// so the choice cannot spin on a pool that is nearly used up.
int DrawUnusedIdiom(const IdiomPool& pool, int userIdiomCount, Random& random) {
  std::vector<int> unused;
  unused.reserve(static_cast<std::size_t>(dictionary::kBuiltinIdiomCount + userIdiomCount));
  if (!pool.userPriority) {
    for (int i = 0; i < dictionary::kBuiltinIdiomCount; ++i)
      if (!pool.builtinUsed[static_cast<std::size_t>(i)]) unused.push_back(i);
  }
  for (int k = 0; k < userIdiomCount; ++k)
    if (!pool.userUsed[static_cast<std::size_t>(k)])
      unused.push_back(dictionary::kUserIndexBase + k);
  // Unreachable: the pool reset leaves at least 170 entries and priority ends once every
  // user idiom is used.
  if (unused.empty()) throw std::logic_error("FillBoard: the idiom pool is empty");
  return unused[static_cast<std::size_t>(random.Next(static_cast<int>(unused.size())))];
}

void ChooseIdioms(GameState& state, int count, const dictionary::Dictionary& dictionary,
                  Random& random) {
  IdiomPool& pool = state.pool;
  const int userIdiomCount = dictionary.UserIdiomCount();
  if (static_cast<int>(pool.userUsed.size()) != userIdiomCount) {
    // A freshly loaded user list starts with none of its idioms used.
    pool.userUsed.assign(static_cast<std::size_t>(userIdiomCount), false);
    pool.userUsedCount = 0;
  }
  // Priority over an empty list would leave nothing to draw from.
  if (userIdiomCount == 0) pool.userPriority = false;

  const int available =
      dictionary::kBuiltinIdiomCount - pool.builtinUsedCount + userIdiomCount - pool.userUsedCount;
  if (available < count) {
    pool.builtinUsed.assign(pool.builtinUsed.size(), false);
    pool.builtinUsedCount = 0;
    pool.userUsed.assign(pool.userUsed.size(), false);
    pool.userUsedCount = 0;
  }

  for (int k = 0; k < count; ++k) {
    const int i = DrawUnusedIdiom(pool, userIdiomCount, random);
    state.boardIdioms[k] = dictionary.Idiom(i);
    state.boardIdiomIndex[k] = i;
    if (i >= dictionary::kUserIndexBase) {
      pool.userUsed[static_cast<std::size_t>(i - dictionary::kUserIndexBase)] = true;
      if (++pool.userUsedCount == userIdiomCount) pool.userPriority = false;
    } else {
      pool.builtinUsed[static_cast<std::size_t>(i)] = true;
      ++pool.builtinUsedCount;
    }
  }
}

// Places `kanji` on a random free square that keeps the free squares connected.
//
// Drawing random squares until one is free and accepted amounts to a uniform choice among
// the acceptable squares. Trying the free squares in a random order without repeats makes
// the same choice and ends after at most 81 tests. An acceptable square always exists while
// at least two squares are free: the free region is connected (every accepted placement
// keeps it so), and a leaf of any spanning tree of it can be taken without cutting it,
// while its parent in the tree is a free neighbour.
void PlaceCharacter(BoardGrid& board, const std::u16string& kanji, int slot, int pos,
                    Random& random, GameView& view) {
  std::vector<std::pair<int, int>> candidates;
  for (int r = 0; r < kBoardRows; ++r)
    for (int c = 0; c < kBoardCols; ++c)
      if (IsFree(board, r, c)) candidates.emplace_back(r, c);

  while (!candidates.empty()) {
    const auto pick = static_cast<std::size_t>(random.Next(static_cast<int>(candidates.size())));
    const auto [r, c] = candidates[pick];
    candidates[pick] = candidates.back();
    candidates.pop_back();

    board[r][c].kanji = kanji;
    bool accepted = false;
    for (const auto& [dr, dc] : kNeighbourOrder) {
      const int nr = r + dr;
      const int nc = c + dc;
      if (!OnBoard(nr, nc) || !IsFree(board, nr, nc)) continue;
      accepted = EmptyRegionStaysConnected(board, nr, nc);
      break;
    }
    if (!accepted) {
      board[r][c].kanji.clear();
      continue;
    }
    board[r][c].idiomSlot = slot;
    board[r][c].charPos = pos;
    view.WriteCellText(r, c, kanji);
    return;
  }
  throw std::logic_error("FillBoard: no free square keeps the free squares connected");
}

void ScatterCharacters(GameState& state, int count, Random& random, GameView& view) {
  for (int k = 0; k < count; ++k) {
    const std::u16string& idiom = state.boardIdioms[k];
    if (idiom.size() != 4)
      throw std::invalid_argument("FillBoard: board idiom is not four UTF-16 code units");
    for (int p = 4; p >= 1; --p)
      PlaceCharacter(state.board, idiom.substr(static_cast<std::size_t>(p - 1), 1), k, p, random,
                     view);
  }
}

// The walker starts on the last free square in row order.
void FindHole(GameState& state) {
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      if (!IsFree(state.board, r, c)) continue;
      state.walkerRow = r;
      state.walkerCol = c;
      state.board[r][c].idiomSlot = -1;
      state.board[r][c].charPos = 0;
    }
  }
}

void Visit(BoardGrid& board, int r, int c) {
  if (!OnBoard(r, c) || board[r][c].mark != -1) return;
  if (!IsFree(board, r, c)) {
    board[r][c].mark = 0;
    return;
  }
  board[r][c].mark = 1;
  for (const auto& [dr, dc] : kNeighbourOrder) Visit(board, r + dr, c + dc);
}

}  // namespace

void LayOutBoard(GameState& state, int leafWidth, int leafHeight) {
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      TBoardCell& cell = state.board[r][c];
      cell.x = static_cast<std::uint32_t>((leafWidth + 10) * c + 73);
      cell.y = static_cast<std::uint32_t>((leafHeight + 6) * r + 129);
      cell.mark = -1;
      TFlyingTile& tile = state.flyingTiles[r][c];
      tile = TFlyingTile{};
      tile.x = static_cast<std::int32_t>(cell.x) + 9;
      tile.y = static_cast<std::int32_t>(cell.y) + 4;
    }
  }
  for (int k = 0; k < kAnswerSlotCount; ++k) state.answerSlots[k] = TAnswerSlot{50 * k + 20, 20};
}

void FillBoard(GameState& state, int count, const dictionary::Dictionary& dictionary,
               Random& random, GameView& view, GameObserver* observer) {
  // Each idiom takes four squares and at least one must stay free for the walker.
  if (count < 1 || count > kBoardIdiomCount)
    throw std::invalid_argument("FillBoard: idiom count must be 1..20");
  ChooseIdioms(state, count, dictionary, random);
  ScatterCharacters(state, count, random, view);
  FindHole(state);
  if (observer) observer->BoardFilled();
}

int FreeSquareCount(const BoardGrid& board) {
  int n = 0;
  for (const auto& row : board)
    for (const auto& cell : row) n += cell.kanji.empty() ? 1 : 0;
  return n;
}

void FloodFill(BoardGrid& board, int r0, int c0) {
  for (auto& row : board)
    for (auto& cell : row) cell.mark = -1;
  board[r0][c0].mark = 1;
  for (const auto& [dr, dc] : kNeighbourOrder) Visit(board, r0 + dr, c0 + dc);
}

bool EmptyRegionStaysConnected(BoardGrid& board, int r0, int c0) {
  FloodFill(board, r0, c0);
  for (int r = 0; r < kBoardRows; ++r)
    for (int c = 0; c < kBoardCols; ++c)
      if (IsFree(board, r, c) && board[r][c].mark != 1) return false;
  return true;
}

}  // namespace game
