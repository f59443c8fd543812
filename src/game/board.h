// Board generation: the geometry of the squares and answer places, and the scattering of
// 20 idioms over the board so that the walker can always reach the next character it
// wants. Also the flood fill that the scattering tests placements with.
#pragma once

#include "dictionary/dictionary.h"
#include "game/game_observer.h"
#include "game/game_state.h"
#include "game/game_view.h"
#include "game/random.h"

namespace game {

// Square and answer-place geometry for a leaf tile of the given pixel size; puts every
// flying tile at rest.
void LayOutBoard(GameState& state, int leafWidth, int leafHeight);

// Chooses `count` idioms (1..20) from the pool and scatters their characters, slot 0
// first and each idiom from its last character to its first, keeping the free squares
// connected; writes each placed character through the view. Afterwards exactly
// 81 - 4 * count squares are free and (walkerRow, walkerCol) is the last free square in
// row order (the hole, when count is 20); then tells the observer (may be null). Expects
// a board without characters.
void FillBoard(GameState& state, int count, const dictionary::Dictionary& dictionary,
               Random& random, GameView& view, GameObserver* observer = nullptr);

inline bool OnBoard(int r, int c) { return r >= 0 && r < kBoardRows && c >= 0 && c < kBoardCols; }
inline bool IsFree(const BoardGrid& board, int r, int c) { return board[r][c].kanji.empty(); }
int FreeSquareCount(const BoardGrid& board);

// Marks with 1 every free square reachable from (r0, c0) over free neighbours, with 0
// every occupied square next to one of them, and -1 the rest.
void FloodFill(BoardGrid& board, int r0, int c0);
// Every free square other than (r0, c0) is reachable from it over free neighbours.
bool EmptyRegionStaysConnected(BoardGrid& board, int r0, int c0);

}  // namespace game
