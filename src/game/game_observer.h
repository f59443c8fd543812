// What happened inside the game, for headless players and tests. These notifications
// change nothing on screen (that is GameView's); every method does nothing by default.
#pragma once

namespace game {

class GameObserver {
 public:
  virtual ~GameObserver() = default;
  // FillBoard has scattered a new board and put the walker on its hole.
  virtual void BoardFilled() {}
  // PlanRoute has finished; the route fields hold its result.
  virtual void RoutePlanned() {}
  // The walker has stepped onto (walkerRow, walkerCol).
  virtual void WalkerStepped() {}
  // The character at (row, col), position `pos` of board idiom `slot`, has been eaten.
  virtual void CharacterEaten(int /*row*/, int /*col*/, int /*slot*/, int /*pos*/) {}
  // The fourth character of board idiom `slot` has been eaten.
  virtual void IdiomCompleted(int /*slot*/) {}
  // A character image has landed on answer place `answer`.
  virtual void TileLanded(int /*answer*/) {}
};

}  // namespace game
