// Settings given on the command line for one run; they win over the user's Settei.ini.
#pragma once

#include <optional>
#include <string>

#include "settings/settings_store.h"

namespace shell {

// The slider range of the speed and wait settings.
inline constexpr int kSliderMin = 1;
inline constexpr int kSliderMax = 10;

struct SettingOverrides {
  std::optional<int> speed;          // the speed slider: 1 (300 ms a step) .. 10 (1200 ms)
  std::optional<int> wait;           // the wait slider: 1 (1000 ms) .. 10 (5500 ms)
  std::optional<bool> destination;   // the walker's destination drawn in red
  std::optional<bool> meaning;       // the meaning shown from the first landed character
  std::optional<bool> userFirst;     // the user's idioms first (only with valid ones)
  bool chimeOff = false;             // no chime when an idiom is completed
  std::optional<std::string> music;  // a music file or folder; empty: no music
};

// `userIdiomCount` is the number of valid user idioms (user priority needs one).
void ApplyOverrides(const SettingOverrides& overrides, int userIdiomCount,
                    settings::SaverSettings& settings);

}  // namespace shell
