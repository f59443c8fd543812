// CPU share of the background music: a saver-like loop (a tick every 100 ms that services
// the music and sleeps the rest) run for a while in three configurations, in one run:
//
//   no audio device      the loop alone (reference)
//   device, no music     the audio device open, the mixer producing silence
//   music                a piece playing through FluidSynth
//
// Each line gives CPU seconds (user + system, all threads) per wall second. Audio goes to
// SDL's disk driver writing to /dev/null, which consumes samples in real time.
//
//   music_cpu_share [SECONDS]      (default 20; the references take half as long each)
//
// Target: music adds under 2% of one core.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "bench_piece.h"
#include "music/music_player.h"
#include "platform/winmm/audio_device.h"
#include "platform/winmm/mci.h"
#include "platform/winmm/sound.h"
#include "platform/winmm/timer.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The saver's tick: every 100 ms, the music service, then Sleep for the rest of the slot
// (all of it: the saver keeps 3 ms in hand, which this loop would spend spinning).
double RunLoop(music::MusicPlayer* player, double seconds) {
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  const platform::DWORD start = platform::timeGetTime();
  platform::DWORD lastTick = start - 100;
  while (platform::timeGetTime() - start < seconds * 1000) {
    const platform::DWORD sinceTick = platform::timeGetTime() - lastTick;
    if (sinceTick < 100) {
      platform::Sleep(100 - sinceTick);
      continue;
    }
    lastTick = platform::timeGetTime();
    if (player) player->ServiceMusic();
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  return (CpuSeconds() - cpuStart) / wall;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
  const std::string piece = "/tmp/velmorandi_cpu_share_piece.mid";
  testing_support::WriteBytes(
      piece, music_bench::MakeBenchmarkPiece(static_cast<std::uint32_t>(seconds) + 30));

  ::setenv("SDL_AUDIODRIVER", "velmorandi_no_such_driver", 1);
  const double alone = RunLoop(nullptr, seconds / 2);

  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  if (!platform::AudioDeviceOpen() || !platform::MidiAvailable()) {
    std::fprintf(stderr, "music_cpu_share: no audio device or no MIDI synthesiser\n");
    return 1;
  }
  const double silence = RunLoop(nullptr, seconds / 2);

  std::minstd_rand random;
  music::MusicPlayer player(music::MusicHooks{
      [&](int n) { return static_cast<int>(random() % n); }, [](const std::string&) {}, {}});
  player.Configure(true, piece, "", music::MusicMode::kSingle);
  player.ArmMusicService();
  RunLoop(&player, 1.5);  // the first service opens the piece (sound font loading)
  char mode[16] = "";
  platform::mciSendStringA("status FILE mode", mode, sizeof mode, nullptr);
  if (std::string(mode) != "playing") {
    std::fprintf(stderr, "music_cpu_share: the piece does not play (%s)\n", mode);
    return 1;
  }
  const double music = RunLoop(&player, seconds);
  platform::CloseAudioDevice();
  std::remove(piece.c_str());

  std::printf("CPU seconds per wall second (one core = 1.0)\n");
  std::printf("  no audio device (reference)  %.4f  over %.0f s\n", alone, seconds / 2);
  std::printf("  device open, no music        %.4f  over %.0f s\n", silence, seconds / 2);
  std::printf("  music playing (FluidSynth)   %.4f  over %.0f s\n", music, seconds);
  std::printf("  music minus reference        %.4f  (%.2f%% of one core)\n", music - alone,
              100.0 * (music - alone));
  return 0;
}
