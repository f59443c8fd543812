#include "shell/setting_overrides.h"

#include "platform/fs/fs.h"

namespace shell {

void ApplyOverrides(const SettingOverrides& overrides, int userIdiomCount,
                    settings::SaverSettings& settings) {
  // The same conversions as the stored slider values.
  if (overrides.speed) settings.stepInterval = 100 * *overrides.speed + 200;
  if (overrides.wait) settings.waitTime = 500 * *overrides.wait + 500;
  if (overrides.destination) settings.ikisakiHyoji = *overrides.destination;
  if (overrides.meaning) settings.imiHyoji = *overrides.meaning;
  if (overrides.userFirst) settings.userPriority = userIdiomCount > 0 && *overrides.userFirst;
  if (overrides.music) {
    const std::string& music = *overrides.music;
    const bool folder = !music.empty() && platform::DirectoryExists(music);
    settings.musicOn = !music.empty();
    settings.musicRandom = folder;
    settings.musicFile = folder ? std::string() : music;
    settings.musicFolder = folder ? music : std::string();
  }
}

}  // namespace shell
