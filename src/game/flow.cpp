#include "game/flow.h"

#include <utility>

namespace game {

BoardFlow::BoardFlow(const dictionary::Dictionary& dictionary, GameView& view, Clock& clock,
                     Random& random, GameSettings settings)
    : dictionary_(dictionary),
      view_(view),
      clock_(clock),
      random_(random),
      settings_(std::move(settings)) {
  userPriority = settings_.userPriority;
}

void BoardFlow::ResetBoard() {
  idiomDone = false;
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      board[r][c].kanji.clear();
      TFlyingTile& tile = flyingTiles[r][c];
      tile.x = static_cast<std::int32_t>(board[r][c].x) + 9;
      tile.y = static_cast<std::int32_t>(board[r][c].y) + 4;
      tile.answerIndex = -1;
    }
  }
  answerArrived.fill(false);
  completedCount = 0;
  collectedCount = 0;
}

void BoardFlow::StepWalker() {
  if (!stepDue) return;
  if (idiomDone) ClearCompletedIdiom();
  // stepDue is only set while a route is found, and a walker on the destination eats
  // and starts a new route, so routePos + 1 is always an entry of the route; the check
  // keeps a broken route from being walked off its end.
  if (routePos + 1 >= routeLength) {
    stepDue = false;
    return;
  }
  ++routePos;
  const int nr = routeRows[static_cast<std::size_t>(routePos)];
  const int nc = routeCols[static_cast<std::size_t>(routePos)];
  if (nc > walkerCol) facingLeft = 0;
  if (nc < walkerCol) facingLeft = 1;
  walkerRow = nr;
  walkerCol = nc;
  if (observer_) observer_->WalkerStepped();
  if (routePos == routeLength - 1) {
    EatCharacter();
    routePos = 0;
  }
  stepDue = false;
}

void BoardFlow::EatCharacter() {
  const int r = walkerRow;
  const int c = walkerCol;
  TBoardCell& cell = board[r][c];
  routeFound = false;
  const int k = collectedCount;
  view_.WriteAnswerText(k, cell.kanji);
  cell.kanji.clear();

  TFlyingTile& tile = flyingTiles[r][c];
  tile.x = static_cast<std::int32_t>(cell.x) + 9;
  tile.y = static_cast<std::int32_t>(cell.y) + 4;
  tile.answerIndex = k;
  // Integer division truncates toward zero, as the flight time relies on.
  tile.dx = (answerSlots[k].x - static_cast<std::int32_t>(cell.x)) / kFlightDivisor;
  tile.dy = (answerSlots[k].y - static_cast<std::int32_t>(cell.y)) / kFlightDivisor;
  ++collectedCount;
  if (observer_) observer_->CharacterEaten(r, c, cell.idiomSlot, cell.charPos);

  int slot = cell.idiomSlot;
  int pos = cell.charPos == 4 ? 1 : cell.charPos + 1;
  if (collectedCount == 4) {
    idiomDone = true;
    ++completedCount;
    collectedCount = 0;
    if (observer_) observer_->IdiomCompleted(cell.idiomSlot);
    if (completedCount < kBoardIdiomCount) --slot;
    nextStepTime = clock_.Now() + settings_.waitTime;
  }
  if (completedCount == kBoardIdiomCount) {
    boardDone = true;
    return;
  }
  PlanRoute(slot, pos);
}

void BoardFlow::MoveFlyingTiles() {
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      TFlyingTile& tile = flyingTiles[r][c];
      const int k = tile.answerIndex;
      if (k < 0) continue;
      tile.x += tile.dx;
      tile.y += tile.dy;
      // Images always fly upward, so reaching the answer row's height is arriving.
      if (answerSlots[k].y < tile.y) continue;
      tile.dx = 0;
      tile.dy = 0;
      tile.x = answerSlots[k].x;
      tile.y = answerSlots[k].y;
      answerArrived[k] = true;
      if (observer_) observer_->TileLanded(k);
      const int slot = board[r][c].idiomSlot;
      if (settings_.imiHyoji && k == 0) ShowMeaning(slot);
      if (idiomDone && k == 3) {
        view_.PlayCompletionSound();
        view_.WriteReadingText(dictionary_.IdiomReading(boardIdiomIndex[slot]));
        view_.RenderFrame();
        if (!settings_.imiHyoji) ShowMeaning(slot);
      }
      tile.answerIndex = -1;
    }
  }
}

void BoardFlow::ShowMeaning(int slot) {
  const std::u16string& meaning = dictionary_.IdiomMeaning(boardIdiomIndex[slot]);
  if (meaning.size() <= kMeaningLineLength) {
    meaningTwoLines = false;
    view_.WriteMeaningLine(MeaningLine::kFirst, meaning);
    return;
  }
  meaningTwoLines = true;
  view_.WriteMeaningLine(MeaningLine::kFirst, meaning.substr(0, kMeaningLineLength));
  view_.WriteMeaningLine(MeaningLine::kSecond, meaning.substr(kMeaningLineLength));
}

void BoardFlow::ClearCompletedIdiom() {
  idiomDone = false;
  answerArrived.fill(false);
}

void BoardFlow::StartNewBoard() {
  ResetBoard();
  FillBoard(kBoardIdiomCount, dictionary_, random_, view_);
  PlanRoute(kBoardIdiomCount - 1, 1);
  nextStepTime = clock_.Now() + kNewBoardDelay;
  stepDue = false;
  LoadRandomWallpaper();
  boardDone = false;
}

void BoardFlow::LoadRandomWallpaper() {
  if (settings_.wallpaperFiles.empty()) return;
  const int pick = random_.Next(static_cast<int>(settings_.wallpaperFiles.size()));
  view_.LoadWallpaper(settings_.wallpaperFiles[static_cast<std::size_t>(pick)]);
}

}  // namespace game
