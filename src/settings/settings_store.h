// The saver's run-time settings, read once at start-up: the user's Settei.ini and
// record.dat, and the wallpaper files of the data folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/game_settings.h"
#include "platform/fs/app_paths.h"
#include "settings/stored_font.h"

namespace settings {

// Most Picture entries read (Count above it is cut): one pass over the list stays short
// whatever Count the file holds.
inline constexpr int kMaxWallpaperEntries = 4096;
// Caption written into the music panel while folder music is being set up.
inline constexpr char kMusicCaptionRandom[] = "BGM設定中...";

struct SaverSettings {
  int stepInterval = 700;  // ms between walker steps
  int waitTime = 3000;     // ms a completed idiom stays on show
  bool ikisakiHyoji = false;
  bool imiHyoji = false;
  bool userPriority = false;
  std::vector<std::string> wallpaperFiles;
  bool musicOn = false;
  std::string musicFile;     // BGM/Name when single-file music is on
  std::string musicFolder;   // BGM/Folda when folder music is on
  bool musicRandom = false;  // folder music is on: kMusicCaptionRandom goes into the caption
  // Font/Name as stored, when Settei.ini has that key.
  std::optional<std::string> storedFontFace;
  // The face (and style) to give the three saver text writers (UsableStoredFont). None: the
  // writers keep the window font.
  std::optional<SaverFont> font;
};

// The settings of a saver whose user has no Settei.ini: the fixed defaults and the
// three built-in wallpapers.
SaverSettings DefaultSaverSettings(const std::string& dataDir);

// The start-up reading. `userIdiomCount` is the number U of valid user idioms (user
// priority needs U > 0). A null `fontInstalled` takes no stored face.
// Never throws for missing or malformed files: absent values take their defaults.
SaverSettings ReadSaverSettings(const platform::AppPaths& paths, int userIdiomCount,
                                const FontInstalledTest& fontInstalled);

// The part of the settings the game runs with.
game::GameSettings ToGameSettings(const SaverSettings& saver);

}  // namespace settings
