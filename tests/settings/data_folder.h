// A data folder of its own for one settings test, its Settei.ini written the way the system's
// own editor writes one: in the code page.
#pragma once

#include <string>

#include "platform/fs/app_paths.h"
#include "platform/text/text.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace testing_support {

class DataFolder : public TempDir {
 public:
  std::string Dir() const { return path() + "/"; }
  void Ini(const std::string& text) const {
    Write(platform::kSettingsFileName, platform::Utf8ToAnsi(text));
  }
};

inline settings::SaverSettings Read(const DataFolder& d, int userIdioms = 0,
                                    settings::FontInstalledTest installed = nullptr) {
  return settings::ReadSaverSettings(platform::SingleFolderPaths(d.Dir()), userIdioms, installed);
}

}  // namespace testing_support
