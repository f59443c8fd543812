#include "game/route.h"

#include <array>

#include "game/board.h"

namespace game {

namespace {

enum class Direction { kUp, kDown, kLeft, kRight };

// One search from the walker's square to the target already stored in the state; builds
// the route in the state's route fields.
class RouteSearch {
 public:
  explicit RouteSearch(GameState& state) : s_(state) {}
  void From(int r, int c) { Search(r, c); }

 private:
  void Search(int r, int c);
  void Append(int r, int c);
  bool TryStraightLine(int r, int c);
  void TryDirection(int r, int c, Direction direction);
  void TryStep(int r, int c);
  // Cuts the route back so that it ends at (r, c), which is on it.
  void Truncate(int r, int c);

  GameState& s_;
};

void RouteSearch::Append(int r, int c) {
  s_.routeRows.push_back(r);
  s_.routeCols.push_back(c);
  s_.routeLength = static_cast<std::int32_t>(s_.routeRows.size());
}

// No square on the route can lie strictly between (r, c) and the destination on a shared
// line: the route holds only the chain of squares expanded to reach (r, c), each expanded
// once with this same test, and the one between would already have taken the shortcut.
// So the appended squares keep the route a simple path. (r, c) is free, so never the
// destination itself.
bool RouteSearch::TryStraightLine(int r, int c) {
  const int tr = s_.targetRow;
  const int tc = s_.targetCol;
  if (r != tr && c != tc) return false;
  const int dr = (tr > r) - (tr < r);
  const int dc = (tc > c) - (tc < c);
  for (int y = r + dr, x = c + dc; y != tr || x != tc; y += dr, x += dc)
    if (!IsFree(s_.board, y, x)) return false;
  for (int y = r + dr, x = c + dc; y != tr || x != tc; y += dr, x += dc) Append(y, x);
  Append(tr, tc);
  return true;
}

void RouteSearch::Search(int r, int c) {
  if (s_.routeFound) return;
  if (TryStraightLine(r, c)) {
    s_.routeFound = true;
    return;
  }
  // First the vertical direction toward the destination (up on its row), then the
  // horizontal one (left on its column), then the two opposite ones.
  const bool below = r < s_.targetRow;
  const bool right = c < s_.targetCol;
  const std::array<Direction, 4> order{
      below ? Direction::kDown : Direction::kUp, right ? Direction::kRight : Direction::kLeft,
      below ? Direction::kUp : Direction::kDown, right ? Direction::kLeft : Direction::kRight};
  for (const Direction direction : order) {
    if (s_.routeFound) return;
    TryDirection(r, c, direction);
  }
}

void RouteSearch::TryDirection(int r, int c, Direction direction) {
  // Row and column steps, in the order of Direction.
  constexpr int kRowStep[] = {-1, 1, 0, 0};
  constexpr int kColStep[] = {0, 0, -1, 1};
  const int nr = r + kRowStep[static_cast<int>(direction)];
  const int nc = c + kColStep[static_cast<int>(direction)];
  if (s_.routeFound || !OnBoard(nr, nc)) return;
  Truncate(r, c);
  TryStep(nr, nc);
}

void RouteSearch::TryStep(int r, int c) {
  if (!OnBoard(r, c) || s_.board[r][c].mark != -1) return;
  if (IsFree(s_.board, r, c)) {
    s_.board[r][c].mark = 1;
    Append(r, c);
    Search(r, c);
    return;
  }
  s_.board[r][c].mark = 0;
  if (r == s_.targetRow && c == s_.targetCol) {
    Append(r, c);
    s_.routeFound = true;
  }
}

void RouteSearch::Truncate(int r, int c) {
  if (s_.routeRows.back() == r && s_.routeCols.back() == c) return;
  for (std::size_t i = 0; i < s_.routeRows.size(); ++i) {
    if (s_.routeRows[i] == r && s_.routeCols[i] == c) {
      s_.routeRows.resize(i + 1);
      s_.routeCols.resize(i + 1);
      s_.routeLength = static_cast<std::int32_t>(i + 1);
      return;
    }
  }
}

}  // namespace

void PlanRoute(GameState& state, int slot, int pos, GameObserver* observer) {
  state.targetRow = -1;
  state.targetCol = -1;
  for (int r = 0; r < kBoardRows && state.targetRow < 0; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      const TBoardCell& cell = state.board[r][c];
      if (!cell.kanji.empty() && cell.idiomSlot == slot && cell.charPos == pos) {
        state.targetRow = r;
        state.targetCol = c;
        break;
      }
    }
  }
  state.routeRows.assign(1, state.walkerRow);
  state.routeCols.assign(1, state.walkerCol);
  state.routeLength = 1;
  state.routePos = 0;
  for (auto& row : state.board)
    for (auto& cell : row) cell.mark = -1;
  state.board[state.walkerRow][state.walkerCol].mark = 1;
  state.routeFound = false;
  if (state.targetRow >= 0) RouteSearch(state).From(state.walkerRow, state.walkerCol);
  if (observer) observer->RoutePlanned();
}

}  // namespace game
