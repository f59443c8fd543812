#include "game/game.h"

namespace game {

void Game::StartUp(int leafWidth, int leafHeight) {
  LayOutBoard(leafWidth, leafHeight);
  ResetBoard();
  FillBoard(kBoardIdiomCount, dictionary_, random_, view_);
  PlanRoute(kBoardIdiomCount - 1, 1);
  LoadRandomWallpaper();
  nextStepTime = clock_.Now() + kNewBoardDelay;
}

void Game::RunStepTimer() {
  const std::uint32_t now = clock_.Now();
  if (!TimeReached(now, nextStepTime + settings_.stepInterval)) return;
  nextStepTime = now;
  if (routeFound) stepDue = true;
  if (boardDone) StartNewBoard();
  StepWalker();
}

void Game::Tick() {
  RunStepTimer();
  MoveFlyingTiles();
}

}  // namespace game
