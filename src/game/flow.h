// What happens when the walker reaches its destination: the character is eaten, its image
// flies to the answer row, a completed idiom is shown and later cleared, and a finished
// board gives way to a new one.
#pragma once

#include <cstdint>

#include "dictionary/dictionary.h"
#include "game/clock.h"
#include "game/game_settings.h"
#include "game/game_view.h"
#include "game/random.h"
#include "game/route.h"

namespace game {

// Every flight moves by an eighth of the distance per tick, truncated, so it lands on its
// ninth tick; the landing snaps the image onto its answer place.
inline constexpr int kFlightDivisor = 8;
// A meaning longer than this many UTF-16 code units goes on two lines.
inline constexpr std::size_t kMeaningLineLength = 32;
// Pause before the first step of a new board, before the step interval.
inline constexpr std::uint32_t kNewBoardDelay = 3000;

class BoardFlow : public WalkerRoute {
 public:
  // The references must outlive the game.
  BoardFlow(const dictionary::Dictionary& dictionary, GameView& view, Clock& clock, Random& random,
            GameSettings settings);

  // Empties the board and resets the per-board counters and flags.
  void ResetBoard();
  // One step along the route when stepDue is set; eats on arriving at the destination.
  void StepWalker();
  // Eats the character on the walker's square and plans the next route.
  void EatCharacter();
  // Moves every flying character image one tick; lands those that reached the answer row.
  void MoveFlyingTiles();
  // Writes the meaning of board idiom `slot` into the meaning lines.
  void ShowMeaning(int slot);
  // Ends the display of a completed idiom (the first part of the next step).
  void ClearCompletedIdiom();
  // A new board with a new wallpaper; its first step comes kNewBoardDelay + stepInterval
  // after now.
  void StartNewBoard();

  const GameSettings& Settings() const { return settings_; }

  std::int32_t collectedCount = 0;  // characters of the current idiom eaten (0..3)
  std::int32_t completedCount = 0;  // idioms completed on this board (0..20)
  bool idiomDone = false;           // a completed idiom is on show
  bool boardDone = false;           // all 20 idioms are done; a new board is due
  bool meaningTwoLines = false;
  // Time base of the step timer: a step is due once the time reaches
  // nextStepTime + stepInterval.
  std::uint32_t nextStepTime = 0;

 protected:
  void LoadRandomWallpaper();

  const dictionary::Dictionary& dictionary_;
  GameView& view_;
  Clock& clock_;
  Random& random_;
  GameSettings settings_;
};

}  // namespace game
