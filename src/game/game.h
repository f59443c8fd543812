// The idiom board game as the saver runs it: start-up and the step timer of each tick.
//
// The saver calls Tick once per 100 ms tick, with the music service between the step timer
// and the flights when it has music: RunStepTimer, ServiceMusic, MoveFlyingTiles.
#pragma once

#include "game/flow.h"

namespace game {

class Game : public BoardFlow {
 public:
  using BoardFlow::BoardFlow;

  // Lays out the board for the leaf tile size, fills the first board, plans the route to
  // its first character and loads a wallpaper; the first step comes 3000 ms +
  // stepInterval from now.
  void StartUp(int leafWidth, int leafHeight);

  // The step timer: when stepInterval has passed since nextStepTime, restarts the timer,
  // makes a due step, brings a new board when the last one is done, and steps the walker.
  void RunStepTimer();
  // RunStepTimer, then MoveFlyingTiles.
  void Tick();
};

}  // namespace game
