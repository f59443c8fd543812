// CPU cost of ServiceMusic while a piece plays, per call, beside two references measured in
// the same run: an empty call and timeGetTime.
//
//   ServiceMusic_BetweenServices  the saver's tick outside the once-a-second service
//   ServiceMusic_StatusQuery      the once-a-second service: "status FILE mode" and its answer
//
// Target (with the synthesis): music adds under 2% of one core; see music_cpu_share for the
// synthesis itself. Audio goes to SDL's disk driver writing to /dev/null.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "bench_piece.h"
#include "music/music_player.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/mci.h"
#include "platform/winmm/timer.h"

namespace {

std::string PiecePath() { return "/tmp/velmorandi_bench_piece.mid"; }

struct PlayingPlayer {
  PlayingPlayer()
      : clock(1000),
        player(music::MusicHooks{[this](int n) { return static_cast<int>(random() % n); },
                                 [](const std::string&) {}, [] {}}) {
    player.Configure(true, PiecePath(), "", music::MusicMode::kSingle);
    player.ArmMusicService();
    clock.Advance(1000);
    player.ServiceMusic();  // opens and starts the piece
  }
  platform::TestClock clock;
  std::minstd_rand random;
  music::MusicPlayer player;
};

PlayingPlayer& Player() {
  static PlayingPlayer playing;
  return playing;
}

__attribute__((noinline)) void EmptyCall() { benchmark::ClobberMemory(); }

void Reference_EmptyCall(benchmark::State& state) {
  for (auto _ : state) EmptyCall();
}

void Reference_TimeGetTime(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::timeGetTime());
}

void ServiceMusic_BetweenServices(benchmark::State& state) {
  PlayingPlayer& playing = Player();
  for (auto _ : state) playing.player.ServiceMusic();
}

void ServiceMusic_StatusQuery(benchmark::State& state) {
  PlayingPlayer& playing = Player();
  char mode[16];
  platform::mciSendStringA("status FILE mode", mode, sizeof mode, nullptr);
  if (std::string(mode) != "playing") state.SkipWithError("the piece is not playing");
  for (auto _ : state) {
    playing.clock.Advance(1000);
    playing.player.ServiceMusic();
  }
}

}  // namespace

BENCHMARK(Reference_EmptyCall)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Reference_TimeGetTime)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ServiceMusic_BetweenServices)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ServiceMusic_StatusQuery)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  testing_support::WriteBytes(PiecePath(), music_bench::MakeBenchmarkPiece(600));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  platform::CloseAudioDevice();
  std::remove(PiecePath().c_str());
  return 0;
}
