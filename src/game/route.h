// The walker's route to the next character: a depth-first search over free squares with a
// fixed order of directions toward the destination and a straight-line shortcut. It finds
// a route whenever one exists, not necessarily the shortest.
#pragma once

#include "game/game_observer.h"
#include "game/game_state.h"

namespace game {

// Destination := the square of position `pos` of board idiom `slot`; searches a route to
// it from the walker's square into the state's route fields, then tells the observer (may
// be null). routeFound tells whether one was found (it always is on a board from
// FillBoard); without such a square the target is (-1, -1) and no route is found. Uses the
// squares' marks as scratch.
void PlanRoute(GameState& state, int slot, int pos, GameObserver* observer = nullptr);

}  // namespace game
