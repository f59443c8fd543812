// Target: a new board (FillBoard(20) and the first PlanRoute) costs a small multiple of
// the 80 acceptance tests it needs, each one flood fill; it runs once per board, inside
// one 100 ms tick. Run with the default arguments: both figures are medians over ten
// repetitions of the same run.
#include <benchmark/benchmark.h>

#include "dictionary/dictionary.h"
#include "game/board.h"
#include "game/game_view.h"
#include "game/random.h"
#include "game/route.h"

namespace {

void ClearBoard(game::GameState& route) {
  for (auto& row : route.board)
    for (auto& cell : row) cell.kanji.clear();
}

void BM_FillBoardAndFirstRoute(benchmark::State& state) {
  const dictionary::Dictionary dictionary;
  game::SeededRandom random(1);
  game::NullGameView view;
  game::GameState route;
  game::LayOutBoard(route, 44, 30);
  for (auto _ : state) {
    ClearBoard(route);
    game::FillBoard(route, game::kBoardIdiomCount, dictionary, random, view);
    game::PlanRoute(route, game::kBoardIdiomCount - 1, 1);
    benchmark::DoNotOptimize(route.routeLength);
  }
}
BENCHMARK(BM_FillBoardAndFirstRoute)->Repetitions(10)->ReportAggregatesOnly(true);

// The reference: one flood fill from the hole of a full board, which reaches only the
// hole's neighbours; and from a corner of an empty board, which visits all 81 squares.
void BM_FloodFillFullBoard(benchmark::State& state) {
  const dictionary::Dictionary dictionary;
  game::SeededRandom random(1);
  game::NullGameView view;
  game::GameState route;
  game::FillBoard(route, game::kBoardIdiomCount, dictionary, random, view);
  for (auto _ : state) {
    game::FloodFill(route.board, route.walkerRow, route.walkerCol);
    benchmark::DoNotOptimize(route.board[0][0].mark);
  }
}
BENCHMARK(BM_FloodFillFullBoard)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_FloodFillEmptyBoard(benchmark::State& state) {
  game::GameState route;
  for (auto _ : state) {
    game::FloodFill(route.board, 0, 0);
    benchmark::DoNotOptimize(route.board[8][8].mark);
  }
}
BENCHMARK(BM_FloodFillEmptyBoard)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
