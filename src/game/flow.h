// What happens when the walker reaches its destination: the character is eaten, its image
// flies to the answer row, a completed idiom is shown and later cleared, and a finished
// board gives way to a new one. Works on a game state that it does not own.
#pragma once

#include <cstdint>

#include "dictionary/dictionary.h"
#include "game/clock.h"
#include "game/game_observer.h"
#include "game/game_settings.h"
#include "game/game_state.h"
#include "game/game_view.h"
#include "game/random.h"

namespace game {

// Every flight moves by an eighth of the distance per tick, truncated, so it lands on its
// ninth tick; the landing snaps the image onto its answer place.
inline constexpr int kFlightDivisor = 8;
// A meaning longer than this many UTF-16 code units goes on two lines.
inline constexpr std::size_t kMeaningLineLength = 32;
// Pause before the first step of a new board, before the step interval.
inline constexpr std::uint32_t kNewBoardDelay = 3000;

class BoardFlow {
 public:
  // The state and the references must outlive the flow.
  BoardFlow(GameState& state, const dictionary::Dictionary& dictionary, GameView& view,
            Clock& clock, Random& random, GameSettings settings);

  // Receives the notifications of the board, the route and the flow; may be null.
  void SetObserver(GameObserver* observer) { observer_ = observer; }

  // Empties the board and resets the per-board counters and flags.
  void ResetBoard();
  // Fills an empty board with 20 idioms and plans the route to its first character.
  void FillNewBoard();
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
  void LoadRandomWallpaper();

  const GameSettings& Settings() const { return settings_; }

 private:
  GameState& s_;
  const dictionary::Dictionary& dictionary_;
  GameView& view_;
  Clock& clock_;
  Random& random_;
  GameSettings settings_;
  GameObserver* observer_ = nullptr;
};

}  // namespace game
