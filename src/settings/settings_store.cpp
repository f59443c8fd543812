#include "settings/settings_store.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/fs/fs.h"
#include "platform/profile/profile.h"

namespace settings {

namespace {

constexpr char kDefaultFontFace[] = "ＭＳ Ｐ明朝";
constexpr int kDefaultSpeed = 5;
constexpr int kDefaultWaitTime = 5;

// a × value + b for a stored value that is used as read, without clamping to its slider's
// range; only kept within 0 .. 2^31 - 1 ms, since a negative pause cannot be waited and the
// game's wrap-safe time comparison needs spans below 2^31 ms.
int Milliseconds(int value, std::int64_t a, std::int64_t b) {
  const std::int64_t ms = a * value + b;
  return static_cast<int>(
      std::clamp<std::int64_t>(ms, 0, std::numeric_limits<std::int32_t>::max()));
}

std::optional<SaverFont> ReadFont(const platform::IniFile& ini, const std::string& stylePath,
                                  const FontInstalledTest& fontInstalled,
                                  std::optional<std::string>& storedFace) {
  if (!ini.ValueExists("Font", "Name")) return std::nullopt;
  storedFace = ini.ReadString("Font", "Name", kDefaultFontFace);
  return UsableStoredFont(*storedFace, stylePath, fontInstalled);
}

}  // namespace

SaverSettings DefaultSaverSettings(const std::string& dataDir) {
  SaverSettings s;
  for (int i = 0; i < 3; ++i)
    s.wallpaperFiles.push_back(dataDir + "Kabe_" + std::to_string(i) + ".jpg");
  return s;
}

SaverSettings ReadSaverSettings(const platform::AppPaths& paths, int userIdiomCount,
                                const FontInstalledTest& fontInstalled) {
  SaverSettings s = DefaultSaverSettings(paths.dataDir);
  const std::string iniPath = paths.ReadPath(platform::UserFile::kSettings);
  if (!platform::FileExists(iniPath)) return s;
  const platform::IniFile ini(iniPath);

  s.font = ReadFont(ini, paths.ReadPath(platform::UserFile::kFontStyle), fontInstalled,
                    s.storedFontFace);

  if (ini.ReadBool("Picture", "Add", false)) {
    const int count = std::min(ini.ReadInteger("Picture", "Count", 1), kMaxWallpaperEntries);
    for (int i = 0; i < count; ++i) {
      const std::string path = ini.ReadString("Picture", std::to_string(i + 3), "");
      if (!path.empty() && platform::FileExists(path)) s.wallpaperFiles.push_back(path);
    }
  }
  s.userPriority = userIdiomCount > 0 && ini.ReadBool("TuikaJukugo", "Yusen", false);
  if (ini.ReadBool("BGM", "Single", false)) {
    s.musicFile = ini.ReadString("BGM", "Name", "");
    s.musicOn = true;
  }
  if (ini.ReadBool("BGM", "Random", false)) {
    s.musicFolder = ini.ReadString("BGM", "Folda", "");
    s.musicOn = true;
    s.musicRandom = true;
  }
  s.stepInterval = Milliseconds(ini.ReadInteger("Settei", "Speed", kDefaultSpeed), 100, 200);
  s.waitTime = Milliseconds(ini.ReadInteger("Settei", "WaitTime", kDefaultWaitTime), 500, 500);
  s.ikisakiHyoji = ini.ReadBool("Settei", "IkisakiHyoji", true);
  s.imiHyoji = ini.ReadBool("Settei", "ImiHyoji", true);
  return s;
}

game::GameSettings ToGameSettings(const SaverSettings& saver) {
  game::GameSettings g;
  g.stepInterval = static_cast<std::uint32_t>(saver.stepInterval);
  g.waitTime = static_cast<std::uint32_t>(saver.waitTime);
  g.ikisakiHyoji = saver.ikisakiHyoji;
  g.imiHyoji = saver.imiHyoji;
  g.userPriority = saver.userPriority;
  g.wallpaperFiles = saver.wallpaperFiles;
  return g;
}

}  // namespace settings
