// A data folder of its own for each test, the Qt application, and helpers to prepare and
// read back Settei.ini, record.dat and the user word list.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile/profile.h"
#include "settings/dialog_logic/fake_dialog_services.h"
#include "settings/dialogs/linux/picture_select_form.h"
#include "settings/dialogs/linux/settei_form.h"
#include "support/temp_dir.h"

namespace settings::testing {

// The application object of the test program (made before the first test, deleted after
// the last, while Qt's own globals still exist).
QApplication& App();

// The 15 header lines every user list starts with.
inline std::string Header() {
  std::string header;
  for (int i = 1; i <= 15; ++i) header += "説明 " + std::to_string(i) + "\r\n";
  return header;
}
// One valid group: idiom, meaning, reading.
inline std::string ValidGroup() { return "一石二鳥\r\nひとつで二つの得\r\nいっせきにちょう\r\n"; }
// A group whose idiom has five code units.
inline std::string InvalidGroup() {
  return "一石二鳥 \r\nひとつで二つの得\r\nいっせきにちょう\r\n";
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    exeDir_ = dir_.path() + "/";
    std::filesystem::create_directory(exeDir_ + "VelmorandiScrData");
  }

  // The two windows, created the way the settings mode creates them.
  void CreateForms() {
    form_.reset();
    pictures_ = std::make_unique<TPictureSelectForm>(fake_, Paths());
    form_ = std::make_unique<TSetteiForm>(*pictures_, fake_, Paths());
  }

  // Data and user files in one folder beside the executable; the siblings' folders too.
  platform::AppPaths Paths() const {
    platform::AppPaths paths = platform::SingleFolderPaths(exeDir_ + "VelmorandiScrData");
    paths.exeDir = paths.dataHome = exeDir_;
    return paths;
  }

  std::string Data(const std::string& name) const { return exeDir_ + "VelmorandiScrData/" + name; }
  std::string SettingsPath() const { return Data("Settei.ini"); }

  static void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteSettings(std::string_view text) const { WriteFile(SettingsPath(), text); }
  void WriteUserList(std::string_view bytes) const { WriteFile(Data("追加問題.txt"), bytes); }

  // The stored value, or nothing when the key is absent.
  std::optional<std::string> Key(const std::string& section, const std::string& key) const {
    const platform::IniFile ini(SettingsPath());
    if (!ini.ValueExists(section, key)) return std::nullopt;
    return ini.ReadString(section, key, "");
  }

  // Installs a sibling saver beside the executable.
  void InstallSibling(Sibling sibling) const {
    const SiblingInfo& info = InfoOf(sibling);
    WriteFile(exeDir_ + info.executable, "MZ");
    std::filesystem::create_directory(exeDir_ + info.dataFolder);
  }

  // Sets the file's modification time to `seconds` since the epoch.
  static void SetModificationTime(const std::string& path, std::int64_t seconds) {
    const timeval times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    ::utimes(path.c_str(), times);
  }

  testing_support::TempDir dir_;
  std::string exeDir_;
  FakeDialogServices fake_;
  std::unique_ptr<TPictureSelectForm> pictures_;
  std::unique_ptr<TSetteiForm> form_;
};

}  // namespace settings::testing
