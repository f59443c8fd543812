// Arbitrary bytes as a settings file: reading never fails, and a write changes the key it
// writes and nothing else that reads back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/profile/profile.h"

namespace {

const std::string& FilePath() {
  static const std::string path = [] {
    char folder[] = "/tmp/fuzz_profile_XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return std::string(folder) + "/Settei.ini";
  }();
  return path;
}

std::string Read(const char* section, const char* key) {
  char buffer[2048];
  const platform::DWORD length = platform::GetPrivateProfileStringA(
      section, key, "<absent>", buffer, sizeof buffer, FilePath().c_str());
  if (length >= sizeof buffer || buffer[length] != '\0') std::abort();
  return std::string(buffer, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  const std::string picture = Read("Picture", "3");
  const std::string wait = Read("settei", "WAITTIME");
  const std::string font = Read("Font", "Name");
  const platform::IniFile ini(path);
  (void)ini.ReadInteger("Settei", "Speed", 5);
  (void)ini.ReadBool("Settei", "ImiHyoji", true);
  (void)ini.ValueExists("BGM", "Folda");

  if (platform::WritePrivateProfileStringA("Settei", "Speed", "7", path.c_str()) != 1) {
    std::abort();
  }
  if (ini.ReadInteger("Settei", "Speed", 5) != 7) std::abort();
  if (Read("Picture", "3") != picture || Read("Settei", "WaitTime") != wait ||
      Read("Font", "Name") != font) {
    std::abort();
  }

  if (platform::WritePrivateProfileStringA("Settei", "Speed", nullptr, path.c_str()) != 1 ||
      ini.ValueExists("Settei", "Speed")) {
    std::abort();
  }
  if (platform::WritePrivateProfileStringA("Picture", nullptr, nullptr, path.c_str()) != 1 ||
      Read("Picture", "3") != "<absent>" || Read("Settei", "WaitTime") != wait) {
    std::abort();
  }
  return 0;
}
