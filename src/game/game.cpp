#include "game/game.h"

#include <algorithm>
#include <utility>

#include "game/board.h"

namespace game {

namespace {

GameSettings WithinTimerSpan(GameSettings settings) {
  settings.stepInterval = std::min(settings.stepInterval, kLongestTimerSpan);
  settings.waitTime = std::min(settings.waitTime, kLongestTimerSpan);
  return settings;
}

}  // namespace

Game::Game(const dictionary::Dictionary& dictionary, GameView& view, Clock& clock, Random& random,
           GameSettings settings)
    : clock_(clock),
      flow_(state_, dictionary, view, clock, random, WithinTimerSpan(std::move(settings))) {
  state_.pool.userPriority = flow_.Settings().userPriority;
}

void Game::StartUp(int leafWidth, int leafHeight) {
  LayOutBoard(state_, leafWidth, leafHeight);
  flow_.ResetBoard();
  flow_.FillNewBoard();
  flow_.LoadRandomWallpaper();
  state_.nextStepTime = clock_.Now() + kNewBoardDelay;
}

bool Game::RunStepTimer() {
  const std::uint32_t now = clock_.Now();
  if (TimerDueIn(now) > 0) return false;
  state_.nextStepTime = now;
  if (state_.routeFound) state_.stepDue = true;
  if (state_.boardDone) flow_.StartNewBoard();
  flow_.StepWalker();
  return true;
}

void Game::Tick() {
  RunStepTimer();
  MoveFlyingTiles();
}

// The timer's base lies at most a wait or the new-board delay ahead of now and at most a
// step interval and a tick behind it, so the signed 32-bit difference to it is exact.
std::int64_t Game::TimerDueIn(std::uint32_t now) const {
  const auto sinceBase = static_cast<std::int32_t>(now - state_.nextStepTime);
  return static_cast<std::int64_t>(Settings().stepInterval) - sinceBase;
}

bool Game::AnyTileFlying() const {
  for (const auto& row : state_.flyingTiles)
    for (const auto& tile : row)
      if (tile.answerIndex >= 0) return true;
  return false;
}

}  // namespace game
