// Test doubles and helpers shared by the game's tests.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"
#include "game/game_view.h"

namespace game_test {

// Records every effect in order as "Kind(args)" strings, UTF-16 texts kept aside.
class RecordingView final : public game::GameView {
 public:
  struct Call {
    std::string kind;
    int a = -1;
    int b = -1;
    std::u16string text;
    std::string path;
  };
  void WriteCellText(int row, int col, const std::u16string& kanji) override;
  void WriteAnswerText(int answer, const std::u16string& kanji) override;
  void WriteReadingText(const std::u16string& reading) override;
  void WriteMeaningLine(game::MeaningLine line, const std::u16string& text) override;
  void PlayCompletionSound() override;
  void RenderFrame() override;
  void LoadWallpaper(const std::string& path) override;

  std::vector<Call> calls;
  // Runs after every recorded cell write (a placement that FillBoard accepted).
  std::function<void(int, int)> onCellWritten;
};

struct UserGroup {
  std::string idiom;  // UTF-8
  std::string meaning;
  std::string reading;
};
// A user list file in UTF-8: 15 header lines, then one idiom/meaning/reading group each.
void WriteUserList(const std::string& path, const std::vector<UserGroup>& groups);
// `count` distinct valid groups whose idioms share no character with the built-in table.
std::vector<UserGroup> MakeUserGroups(int count);

// Free squares connected, found by a breadth-first search of the test's own.
bool FreeSquaresConnected(const game::BoardGrid& board);

using Square = std::pair<int, int>;
// The route rule written independently of the game: a recursive depth-first search that
// pushes and pops its path, with the straight-line shortcut and the direction order of
// the walker. Occupied squares are those with a character.
std::vector<Square> ReferenceRoute(const game::BoardGrid& board, Square from, Square target);
std::vector<Square> RouteOf(const game::GameState& state);

}  // namespace game_test
