// The idiom board game as the saver runs it: the game state, the rules that change it,
// start-up and the step timer of each tick.
//
// The saver calls Tick once per 100 ms tick, with the music service between the step timer
// and the flights when it has music: RunStepTimer, ServiceMusic, MoveFlyingTiles.
#pragma once

#include <cstdint>

#include "game/flow.h"
#include "game/game_state.h"

namespace game {

// The step timer compares wrapped 32-bit times, which is exact only while its base and the
// time lie less than 2^31 ms apart; a longer step interval or wait (settings are used as
// read) is shortened to this, about 12 days.
inline constexpr std::uint32_t kLongestTimerSpan = std::uint32_t{1} << 30;

class Game {
 public:
  // The references must outlive the game.
  Game(const dictionary::Dictionary& dictionary, GameView& view, Clock& clock, Random& random,
       GameSettings settings);
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  void SetObserver(GameObserver* observer) { flow_.SetObserver(observer); }

  // Lays out the board for the leaf tile size, fills the first board, plans the route to
  // its first character and loads a wallpaper; the first step comes 3000 ms +
  // stepInterval from now.
  void StartUp(int leafWidth, int leafHeight);

  // The step timer: when stepInterval has passed since nextStepTime, restarts the timer,
  // makes a due step, brings a new board when the last one is done, and steps the walker.
  // True when it did (else it changed nothing).
  bool RunStepTimer();
  void MoveFlyingTiles() { flow_.MoveFlyingTiles(); }
  // RunStepTimer, then MoveFlyingTiles.
  void Tick();

  // Milliseconds from `now` until RunStepTimer acts (zero or less: it acts now); before
  // then a tick without flights changes nothing.
  std::int64_t TimerDueIn(std::uint32_t now) const;
  bool AnyTileFlying() const;

  const GameState& State() const { return state_; }
  const GameSettings& Settings() const { return flow_.Settings(); }

 private:
  Clock& clock_;
  GameState state_;
  BoardFlow flow_;
};

}  // namespace game
