#include "game/route.h"

#include <array>

namespace game {

void WalkerRoute::PlanRoute(int slot, int pos) {
  targetRow = -1;
  targetCol = -1;
  for (int r = 0; r < kBoardRows && targetRow < 0; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      const TBoardCell& cell = board[r][c];
      if (!cell.kanji.empty() && cell.idiomSlot == slot && cell.charPos == pos) {
        targetRow = r;
        targetCol = c;
        break;
      }
    }
  }
  routeRows.assign(1, walkerRow);
  routeCols.assign(1, walkerCol);
  routeLength = 1;
  routePos = 0;
  for (auto& row : board)
    for (auto& cell : row) cell.mark = -1;
  board[walkerRow][walkerCol].mark = 1;
  routeFound = false;
  if (targetRow >= 0) SearchRoute(walkerRow, walkerCol);
  if (observer_) observer_->RoutePlanned();
}

void WalkerRoute::AppendRoute(int r, int c) {
  routeRows.push_back(r);
  routeCols.push_back(c);
  routeLength = static_cast<std::int32_t>(routeRows.size());
}

// No square on the route can lie strictly between (r, c) and the destination on a shared
// line: the route holds only the chain of squares expanded to reach (r, c), each expanded
// once with this same test, and the one between would already have taken the shortcut.
// So the appended squares keep the route a simple path.
bool WalkerRoute::TryStraightLine(int r, int c) {
  if (r == targetRow) {
    const int step = targetCol > c ? 1 : -1;
    for (int x = c + step; x != targetCol; x += step)
      if (!IsFree(r, x)) return false;
    for (int x = c + step; x != targetCol; x += step) AppendRoute(r, x);
    AppendRoute(r, targetCol);
    return true;
  }
  if (c == targetCol) {
    const int step = targetRow > r ? 1 : -1;
    for (int y = r + step; y != targetRow; y += step)
      if (!IsFree(y, c)) return false;
    for (int y = r + step; y != targetRow; y += step) AppendRoute(y, c);
    AppendRoute(targetRow, c);
    return true;
  }
  return false;
}

void WalkerRoute::SearchRoute(int r, int c) {
  if (routeFound) return;
  if (TryStraightLine(r, c)) {
    routeFound = true;
    return;
  }
  // First the vertical direction toward the destination (up on its row), then the
  // horizontal one (left on its column), then the two opposite ones.
  const bool below = r < targetRow;
  const bool right = c < targetCol;
  const std::array<Direction, 4> order{
      below ? Direction::kDown : Direction::kUp, right ? Direction::kRight : Direction::kLeft,
      below ? Direction::kUp : Direction::kDown, right ? Direction::kLeft : Direction::kRight};
  for (const Direction direction : order) {
    if (routeFound) return;
    TryDirection(r, c, direction);
  }
}

void WalkerRoute::TryDirection(int r, int c, Direction direction) {
  int nr = r;
  int nc = c;
  switch (direction) {
    case Direction::kUp:
      --nr;
      break;
    case Direction::kDown:
      ++nr;
      break;
    case Direction::kLeft:
      --nc;
      break;
    case Direction::kRight:
      ++nc;
      break;
  }
  if (routeFound || !OnBoard(nr, nc)) return;
  TruncateRoute(r, c);
  TryStep(nr, nc);
}

void WalkerRoute::TryStep(int r, int c) {
  if (!OnBoard(r, c) || board[r][c].mark != -1) return;
  if (IsFree(r, c)) {
    board[r][c].mark = 1;
    AppendRoute(r, c);
    SearchRoute(r, c);
    return;
  }
  board[r][c].mark = 0;
  if (r == targetRow && c == targetCol) {
    AppendRoute(r, c);
    routeFound = true;
  }
}

void WalkerRoute::TruncateRoute(int r, int c) {
  if (routeRows.back() == r && routeCols.back() == c) return;
  for (std::size_t i = 0; i < routeRows.size(); ++i) {
    if (routeRows[i] == r && routeCols[i] == c) {
      routeRows.resize(i + 1);
      routeCols.resize(i + 1);
      routeLength = static_cast<std::int32_t>(i + 1);
      return;
    }
  }
}

}  // namespace game
