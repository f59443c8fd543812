// velmorandi-play --seed N --boards K [--data DIR]
//
// Plays K boards of the game headless, as the saver would with the settings and user list
// of DIR (a VelmorandiScrData folder; without it, as with no settings file): start-up at
// time 0, a tick every 100 ms on a test clock, no real waiting. Prints one JSON object per
// line; the same seed gives the same output.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "dictionary/dictionary.h"
#include "game/clock.h"
#include "game/game.h"
#include "game/random.h"
#include "json_player.h"
#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "settings/settings_store.h"

namespace {

// A leaf tile of a size that fits the board on the 640 x 480 screen; the flights take
// nine ticks for any such size.
constexpr int kLeafWidth = 44;
constexpr int kLeafHeight = 30;
constexpr std::uint32_t kTick = 100;

struct Options {
  std::uint64_t seed = 0;
  long boards = 0;
  std::string dataDir;  // empty: no data folder
};

int Usage(const std::string& problem) {
  std::fprintf(stderr,
               "velmorandi-play: %s\nusage: velmorandi-play --seed N --boards K [--data DIR]\n",
               problem.c_str());
  return 2;
}

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return false;
    const unsigned long long digit = static_cast<unsigned long long>(ch - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

// How long to let the clock run before the next tick: ticks without a flight and before
// the step timer fires change nothing, so they are passed over, landing on the same tick
// of the 100 ms grid that ticking through them would reach. A step interval of weeks
// then costs no more than one of 700 ms.
std::uint32_t TimeToNextTick(const game::Game& g, std::uint32_t now) {
  if (g.AnyTileFlying()) return kTick;
  // A wait and a step interval of 2^31 ms each lie further ahead than the clock can
  // sleep in one go; the jump stops short and the next one goes the rest of the way.
  constexpr std::int64_t kLongestJump = std::int64_t{1} << 30;
  const std::int64_t ahead = std::min(g.TimerDueIn(now), kLongestJump);
  if (ahead <= kTick) return kTick;
  return static_cast<std::uint32_t>((ahead + kTick - 1) / kTick * kTick);
}

int Play(const Options& options) {
  dictionary::Dictionary dictionary;
  settings::SaverSettings saver;
  if (options.dataDir.empty()) {
    saver = settings::DefaultSaverSettings(platform::Paths().dataDir);
  } else {
    std::string dir = options.dataDir;
    if (dir.back() != '/') dir += '/';
    if (!platform::DirectoryExists(dir)) return Usage("no such folder: " + options.dataDir);
    const platform::AppPaths paths = platform::SingleFolderPaths(dir);
    const int userIdioms =
        dictionary.LoadUserIdioms(paths.ReadPath(platform::UserFile::kUserWords));
    // Fonts do not matter without a screen.
    saver = settings::ReadSaverSettings(paths, userIdioms, nullptr);
  }

  game::TestClock clock(0);
  game::SeededRandom random(options.seed);
  play::JsonPlayer player(stdout, clock, dictionary);
  game::Game g(dictionary, player, clock, random, settings::ToGameSettings(saver));
  player.Attach(g.State());
  g.SetObserver(&player);
  g.StartUp(kLeafWidth, kLeafHeight);

  // Without an event for longer than a step, a wait and a new board together, the game
  // is stuck; that cannot happen on a board the game filled, but the player must end.
  const std::uint64_t quietLimit =
      (static_cast<std::uint64_t>(saver.stepInterval) + saver.waitTime + game::kNewBoardDelay) /
          kTick +
      20;
  for (;;) {
    // Once the last board asked for is eaten, only its flights go on: however short the
    // wait, no further board starts, and the run ends when they have landed.
    const bool lastBoardEaten = player.BoardsFilled() >= options.boards && g.State().boardDone;
    if (lastBoardEaten) {
      g.MoveFlyingTiles();
      if (!g.AnyTileFlying()) break;
    } else {
      g.Tick();
    }
    if ((clock.Now() - player.LastEventTime()) / kTick > quietLimit) {
      std::fflush(stdout);
      std::fprintf(stderr, "velmorandi-play: the game stopped moving at t=%u\n", clock.Now());
      return 1;
    }
    clock.Sleep(TimeToNextTick(g, clock.Now()));
  }
  player.End(static_cast<int>(options.boards));
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  bool haveSeed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage("missing value after " + arg);
    const std::string value = argv[++i];
    unsigned long long n = 0;
    if (arg == "--seed") {
      if (!ParseNumber(value, ~0ULL, n)) return Usage("--seed needs a number 0 .. 2^64 - 1");
      options.seed = n;
      haveSeed = true;
    } else if (arg == "--boards") {
      if (!ParseNumber(value, 1000000, n) || n == 0)
        return Usage("--boards needs a number 1 .. 1000000");
      options.boards = static_cast<long>(n);
    } else if (arg == "--data") {
      if (value.empty()) return Usage("--data needs a folder");
      options.dataDir = value;
    } else {
      return Usage("unknown option " + arg);
    }
  }
  if (!haveSeed) return Usage("--seed is required");
  if (options.boards == 0) return Usage("--boards is required");
  try {
    return Play(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmorandi-play: %s\n", e.what());
    return 1;
  }
}
