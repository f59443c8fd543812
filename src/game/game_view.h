// Everything the game does to the screen or the speaker. The saver window implements it;
// the game itself never draws.
#pragma once

#include <string>

namespace game {

enum class MeaningLine { kFirst, kSecond };

class GameView {
 public:
  virtual ~GameView() = default;
  // The character of square (row, col) into that square's text texture (cell writer).
  virtual void WriteCellText(int row, int col, const std::u16string& kanji) = 0;
  // An eaten character into answer texture `answer` (0..3, answer writer).
  virtual void WriteAnswerText(int answer, const std::u16string& kanji) = 0;
  virtual void WriteReadingText(const std::u16string& reading) = 0;
  virtual void WriteMeaningLine(MeaningLine line, const std::u16string& text) = 0;
  // "seikai.wav" of the data folder, played in the background; a missing file is silent.
  virtual void PlayCompletionSound() = 0;
  // Draw and present one frame now, in the middle of the tick.
  virtual void RenderFrame() = 0;
  virtual void LoadWallpaper(const std::string& path) = 0;
};

class NullGameView final : public GameView {
 public:
  void WriteCellText(int, int, const std::u16string&) override {}
  void WriteAnswerText(int, const std::u16string&) override {}
  void WriteReadingText(const std::u16string&) override {}
  void WriteMeaningLine(MeaningLine, const std::u16string&) override {}
  void PlayCompletionSound() override {}
  void RenderFrame() override {}
  void LoadWallpaper(const std::string&) override {}
};

}  // namespace game
