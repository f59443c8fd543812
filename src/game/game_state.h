// The whole state of the game as plain data: the board with its characters and flying
// images, the walker and its route, the progress of the board, and the idiom pool. The
// rules (board.h, route.h, flow.h) change it; the screen and the headless players only
// read it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"

namespace game {

inline constexpr int kBoardRows = 9;
inline constexpr int kBoardCols = 9;
inline constexpr int kBoardIdiomCount = 20;
inline constexpr int kAnswerSlotCount = 4;

struct TBoardCell {
  std::u16string kanji;  // one UTF-16 code unit; empty when the square is free
  std::uint32_t x = 0;   // leaf tile's left edge on the 640 x 480 screen
  std::uint32_t y = 0;   // leaf tile's top edge
  // Scratch mark of the flood fill and the route search: -1 not visited, 0 visited and
  // occupied, 1 visited and free.
  std::int32_t mark = -1;
  std::int32_t idiomSlot = -1;  // 0..19; -1 on the hole of a new board
  std::int32_t charPos = 0;     // 1..4 within the idiom
};

struct TFlyingTile {
  std::int32_t x = 0;  // where the character image is drawn
  std::int32_t y = 0;
  std::int32_t dx = 0;  // movement per tick while flying
  std::int32_t dy = 0;
  std::int32_t answerIndex = -1;  // -1 at rest, else the answer place it flies to
};

struct TAnswerSlot {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

using BoardGrid = std::array<std::array<TBoardCell, kBoardCols>, kBoardRows>;

// Which idioms earlier boards took, so that idioms do not repeat across boards until the
// pool runs low.
struct IdiomPool {
  std::vector<bool> builtinUsed = std::vector<bool>(dictionary::kBuiltinIdiomCount, false);
  int builtinUsedCount = 0;
  std::vector<bool> userUsed;
  int userUsedCount = 0;
  // While set, idioms are drawn from the user list only; cleared for good once every user
  // idiom has been drawn.
  bool userPriority = false;
};

struct GameState {
  // The board.
  BoardGrid board{};
  std::array<std::array<TFlyingTile, kBoardCols>, kBoardRows> flyingTiles{};
  std::array<TAnswerSlot, kAnswerSlotCount> answerSlots{};
  std::array<bool, kAnswerSlotCount> answerArrived{};
  std::array<std::u16string, kBoardIdiomCount> boardIdioms{};
  std::array<int, kBoardIdiomCount> boardIdiomIndex{};
  IdiomPool pool;

  // The walker and its route to the next character.
  std::int32_t walkerRow = 0;
  std::int32_t walkerCol = 0;
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

  // The progress of the board.
  std::int32_t collectedCount = 0;  // characters of the current idiom eaten (0..3)
  std::int32_t completedCount = 0;  // idioms completed on this board (0..20)
  bool idiomDone = false;           // a completed idiom is on show
  bool boardDone = false;           // all 20 idioms are done; a new board is due
  bool meaningTwoLines = false;
  // Time base of the step timer: a step is due once the time reaches
  // nextStepTime + stepInterval.
  std::uint32_t nextStepTime = 0;
};

}  // namespace game
