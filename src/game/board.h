// The 9 x 9 board, the flying character images, the answer places, and the scattering of
// 20 idioms over the board so that the walker can always reach the next character it wants.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "game/game_observer.h"
#include "game/game_view.h"
#include "game/random.h"

namespace game {

inline constexpr int kBoardRows = 9;
inline constexpr int kBoardCols = 9;
inline constexpr int kBoardIdiomCount = 20;
inline constexpr int kAnswerSlotCount = 4;

struct TBoardCell {
  std::u16string kanji;  // one UTF-16 code unit; empty when the square is free
  std::uint32_t x = 0;   // leaf tile's left edge on the 640 x 480 screen
  std::uint32_t y = 0;   // leaf tile's top edge
  // Scratch mark of the flood fill and the route search: -1 not visited, 0 visited and
  // occupied, 1 visited and free.
  std::int32_t mark = -1;
  std::int32_t idiomSlot = -1;  // 0..19; -1 on the hole of a new board
  std::int32_t charPos = 0;     // 1..4 within the idiom
};

struct TFlyingTile {
  std::int32_t x = 0;  // where the character image is drawn
  std::int32_t y = 0;
  std::int32_t dx = 0;  // movement per tick while flying
  std::int32_t dy = 0;
  std::int32_t answerIndex = -1;  // -1 at rest, else the answer place it flies to
};

struct TAnswerSlot {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class Board {
 public:
  Board();

  // Square and answer-place geometry for a leaf tile of the given pixel size; puts every
  // flying tile at rest.
  void LayOutBoard(int leafWidth, int leafHeight);

  // Chooses `count` idioms (1..20) from the pool and scatters their characters, slot 0
  // first and each idiom from its last character to its first, keeping the free squares
  // connected; writes each placed character through the view. Afterwards exactly
  // 81 - 4 * count squares are free and (walkerRow, walkerCol) is the last free square in
  // row order (the hole, when count is 20). Expects a board without characters.
  void FillBoard(int count, const dictionary::Dictionary& dictionary, Random& random,
                 GameView& view);

  // Marks with 1 every free square reachable from (r0, c0) over free neighbours, with 0
  // every occupied square next to one of them, and -1 the rest.
  void FloodFill(int r0, int c0);
  // Every free square other than (r0, c0) is reachable from it over free neighbours.
  bool EmptyRegionStaysConnected(int r0, int c0);

  static bool OnBoard(int r, int c) { return r >= 0 && r < kBoardRows && c >= 0 && c < kBoardCols; }
  bool IsFree(int r, int c) const { return board[r][c].kanji.empty(); }
  int FreeSquareCount() const;

  // Receives BoardFilled and, from the layers above, the other notifications; may be null.
  void SetObserver(GameObserver* observer) { observer_ = observer; }

  std::array<std::array<TBoardCell, kBoardCols>, kBoardRows> board{};
  std::array<std::array<TFlyingTile, kBoardCols>, kBoardRows> flyingTiles{};
  std::array<TAnswerSlot, kAnswerSlotCount> answerSlots{};
  std::array<bool, kAnswerSlotCount> answerArrived{};

  std::array<std::u16string, kBoardIdiomCount> boardIdioms{};
  std::array<int, kBoardIdiomCount> boardIdiomIndex{};

  // The idiom pool, which keeps idioms from repeating across boards until it runs low.
  std::vector<bool> builtinUsed = std::vector<bool>(dictionary::kBuiltinIdiomCount, false);
  int builtinUsedCount = 0;
  std::vector<bool> userUsed;
  int userUsedCount = 0;
  // While set, idioms are drawn from the user list only; cleared for good once every user
  // idiom has been drawn.
  bool userPriority = false;

  std::int32_t walkerRow = 0;
  std::int32_t walkerCol = 0;

 protected:
  GameObserver* observer_ = nullptr;

 private:
  void ChooseIdioms(int count, const dictionary::Dictionary& dictionary, Random& random);
  int DrawUnusedIdiom(int userIdiomCount, Random& random) const;
  void ScatterCharacters(int count, Random& random, GameView& view);
  // Places `kanji` on a random free square that keeps the free squares connected.
  void PlaceCharacter(const std::u16string& kanji, int slot, int pos, Random& random,
                      GameView& view);
  void FindHole();
  void Visit(int r, int c);
};

}  // namespace game
