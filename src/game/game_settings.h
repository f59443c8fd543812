// The saver's run-time settings that the game itself uses, fixed at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game {

struct GameSettings {
  std::uint32_t stepInterval = 700;  // ms between walker steps
  std::uint32_t waitTime = 3000;     // ms a completed idiom stays on show before the next step
  bool ikisakiHyoji = false;         // the destination is highlighted (read by the drawing)
  bool imiHyoji = false;             // the meaning shows from the first landing, not the fourth
  bool userPriority = false;         // draw user idioms first (only with a non-empty user list)
  std::vector<std::string> wallpaperFiles;  // one is picked at random for each board
};

}  // namespace game
