// The walker's square and its route to the next character: a depth-first search over free
// squares with a fixed order of directions toward the destination and a straight-line
// shortcut. It finds a route whenever one exists, not necessarily the shortest.
#pragma once

#include <cstdint>
#include <vector>

#include "game/board.h"

namespace game {

class WalkerRoute : public Board {
 public:
  // Destination := the square of position `pos` of board idiom `slot`; searches a route
  // to it from the walker's square. routeFound tells whether one was found (it always is
  // on a board from FillBoard); without such a square the target is (-1, -1) and no
  // route is found.
  void PlanRoute(int slot, int pos);
  void SearchRoute(int r, int c);
  void TryStep(int r, int c);
  // Cuts the route back so that it ends at (r, c), which is on it.
  void TruncateRoute(int r, int c);

  std::int32_t facingLeft = 0;  // 1 facing left, 0 facing right
  std::int32_t targetRow = -1;
  std::int32_t targetCol = -1;
  // Entry 0 is the square the search started from; the last entry the destination.
  std::vector<std::int32_t> routeRows;
  std::vector<std::int32_t> routeCols;
  std::int32_t routeLength = 0;
  std::int32_t routePos = 0;  // index of the walker's square in the route
  bool routeFound = false;
  bool stepDue = false;

 private:
  enum class Direction { kUp, kDown, kLeft, kRight };
  void AppendRoute(int r, int c);
  bool TryStraightLine(int r, int c);
  void TryDirection(int r, int c, Direction direction);
};

}  // namespace game
