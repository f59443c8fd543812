// Prints what the game does as JSON lines, one event per line, with the clock's time.
#pragma once

#include <cstdio>
#include <string>

#include "dictionary/dictionary.h"
#include "game/clock.h"
#include "game/game_observer.h"
#include "game/game_state.h"
#include "game/game_view.h"

namespace play {

class JsonPlayer final : public game::GameView, public game::GameObserver {
 public:
  JsonPlayer(std::FILE* out, game::Clock& clock, const dictionary::Dictionary& dictionary);
  // The game state the events describe; set before the game starts.
  void Attach(const game::GameState& state) { game_ = &state; }

  int BoardsFilled() const { return boardsFilled_; }
  long Eaten() const { return eaten_; }
  // Ticks of the clock at the last event, to tell a stuck game from a slow one.
  std::uint32_t LastEventTime() const { return lastEventTime_; }
  void End(int boards);

  // Nothing to show: the player only reports.
  void WriteCellText(int, int, const std::u16string&) override {}
  void WriteAnswerText(int, const std::u16string&) override {}
  void WriteReadingText(const std::u16string&) override {}
  void WriteMeaningLine(game::MeaningLine, const std::u16string&) override {}
  void RenderFrame() override {}
  void LoadWallpaper(const std::string&) override {}
  void PlayCompletionSound() override;

  void BoardFilled() override;
  void RoutePlanned() override;
  void WalkerStepped() override;
  void CharacterEaten(int row, int col, int slot, int pos) override;
  void IdiomCompleted(int slot) override;
  void TileLanded(int answer) override;

 private:
  std::string Time();
  void Line(const std::string& json);

  std::FILE* out_;
  game::Clock& clock_;
  const dictionary::Dictionary& dictionary_;
  const game::GameState* game_ = nullptr;
  int boardsFilled_ = 0;
  long eaten_ = 0;
  std::uint32_t lastEventTime_ = 0;
};

// A JSON string literal of UTF-16 text (UTF-8, with the escapes JSON requires).
std::string JsonString(const std::u16string& text);

}  // namespace play
