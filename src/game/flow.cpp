#include "game/flow.h"

#include <utility>

#include "game/board.h"
#include "game/route.h"

namespace game {

BoardFlow::BoardFlow(GameState& state, const dictionary::Dictionary& dictionary, GameView& view,
                     Clock& clock, Random& random, GameSettings settings)
    : s_(state),
      dictionary_(dictionary),
      view_(view),
      clock_(clock),
      random_(random),
      settings_(std::move(settings)) {}

void BoardFlow::ResetBoard() {
  s_.idiomDone = false;
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      s_.board[r][c].kanji.clear();
      TFlyingTile& tile = s_.flyingTiles[r][c];
      tile.x = static_cast<std::int32_t>(s_.board[r][c].x) + 9;
      tile.y = static_cast<std::int32_t>(s_.board[r][c].y) + 4;
      tile.answerIndex = -1;
    }
  }
  s_.answerArrived.fill(false);
  s_.completedCount = 0;
  s_.collectedCount = 0;
}

void BoardFlow::FillNewBoard() {
  FillBoard(s_, kBoardIdiomCount, dictionary_, random_, view_, observer_);
  PlanRoute(s_, kBoardIdiomCount - 1, 1, observer_);
}

void BoardFlow::StepWalker() {
  if (!s_.stepDue) return;
  if (s_.idiomDone) ClearCompletedIdiom();
  // stepDue is only set while a route is found, and a walker on the destination eats
  // and starts a new route, so routePos + 1 is always an entry of the route; the check
  // keeps a broken route from being walked off its end.
  if (s_.routePos + 1 >= s_.routeLength) {
    s_.stepDue = false;
    return;
  }
  ++s_.routePos;
  const int nr = s_.routeRows[static_cast<std::size_t>(s_.routePos)];
  const int nc = s_.routeCols[static_cast<std::size_t>(s_.routePos)];
  if (nc > s_.walkerCol) s_.facingLeft = 0;
  if (nc < s_.walkerCol) s_.facingLeft = 1;
  s_.walkerRow = nr;
  s_.walkerCol = nc;
  if (observer_) observer_->WalkerStepped();
  if (s_.routePos == s_.routeLength - 1) {
    EatCharacter();
    s_.routePos = 0;
  }
  s_.stepDue = false;
}

void BoardFlow::EatCharacter() {
  const int r = s_.walkerRow;
  const int c = s_.walkerCol;
  TBoardCell& cell = s_.board[r][c];
  s_.routeFound = false;
  const int k = s_.collectedCount;
  view_.WriteAnswerText(k, cell.kanji);
  cell.kanji.clear();

  TFlyingTile& tile = s_.flyingTiles[r][c];
  tile.x = static_cast<std::int32_t>(cell.x) + 9;
  tile.y = static_cast<std::int32_t>(cell.y) + 4;
  tile.answerIndex = k;
  // Integer division truncates toward zero, as the flight time relies on.
  tile.dx = (s_.answerSlots[k].x - static_cast<std::int32_t>(cell.x)) / kFlightDivisor;
  tile.dy = (s_.answerSlots[k].y - static_cast<std::int32_t>(cell.y)) / kFlightDivisor;
  ++s_.collectedCount;
  if (observer_) observer_->CharacterEaten(r, c, cell.idiomSlot, cell.charPos);

  int slot = cell.idiomSlot;
  int pos = cell.charPos == 4 ? 1 : cell.charPos + 1;
  if (s_.collectedCount == 4) {
    s_.idiomDone = true;
    ++s_.completedCount;
    s_.collectedCount = 0;
    if (observer_) observer_->IdiomCompleted(cell.idiomSlot);
    if (s_.completedCount < kBoardIdiomCount) --slot;
    s_.nextStepTime = clock_.Now() + settings_.waitTime;
  }
  if (s_.completedCount == kBoardIdiomCount) {
    s_.boardDone = true;
    return;
  }
  PlanRoute(s_, slot, pos, observer_);
}

void BoardFlow::MoveFlyingTiles() {
  for (int r = 0; r < kBoardRows; ++r) {
    for (int c = 0; c < kBoardCols; ++c) {
      TFlyingTile& tile = s_.flyingTiles[r][c];
      const int k = tile.answerIndex;
      if (k < 0) continue;
      tile.x += tile.dx;
      tile.y += tile.dy;
      // Images always fly upward, so reaching the answer row's height is arriving.
      if (s_.answerSlots[k].y < tile.y) continue;
      tile.dx = 0;
      tile.dy = 0;
      tile.x = s_.answerSlots[k].x;
      tile.y = s_.answerSlots[k].y;
      s_.answerArrived[k] = true;
      if (observer_) observer_->TileLanded(k);
      const int slot = s_.board[r][c].idiomSlot;
      if (settings_.imiHyoji && k == 0) ShowMeaning(slot);
      if (s_.idiomDone && k == 3) {
        view_.PlayCompletionSound();
        view_.WriteReadingText(dictionary_.IdiomReading(s_.boardIdiomIndex[slot]));
        view_.RenderFrame();
        if (!settings_.imiHyoji) ShowMeaning(slot);
      }
      tile.answerIndex = -1;
    }
  }
}

void BoardFlow::ShowMeaning(int slot) {
  const std::u16string meaning = dictionary_.IdiomMeaning(s_.boardIdiomIndex[slot]);
  if (meaning.size() <= kMeaningLineLength) {
    s_.meaningTwoLines = false;
    view_.WriteMeaningLine(MeaningLine::kFirst, meaning);
    return;
  }
  s_.meaningTwoLines = true;
  view_.WriteMeaningLine(MeaningLine::kFirst, meaning.substr(0, kMeaningLineLength));
  view_.WriteMeaningLine(MeaningLine::kSecond, meaning.substr(kMeaningLineLength));
}

void BoardFlow::ClearCompletedIdiom() {
  s_.idiomDone = false;
  s_.answerArrived.fill(false);
}

void BoardFlow::StartNewBoard() {
  ResetBoard();
  FillNewBoard();
  s_.nextStepTime = clock_.Now() + kNewBoardDelay;
  s_.stepDue = false;
  LoadRandomWallpaper();
  s_.boardDone = false;
}

void BoardFlow::LoadRandomWallpaper() {
  if (settings_.wallpaperFiles.empty()) return;
  const int pick = random_.Next(static_cast<int>(settings_.wallpaperFiles.size()));
  view_.LoadWallpaper(settings_.wallpaperFiles[static_cast<std::size_t>(pick)]);
}

}  // namespace game
