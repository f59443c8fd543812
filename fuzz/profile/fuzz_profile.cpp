// Arbitrary bytes as a settings file: reading never fails, and a write changes the key it
// writes and nothing else that reads back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/profile/ini_document.h"
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

// The file as a rewrite gives it back when no line changes: every line's own bytes, each
// ended by LF (the CRs before it dropped).
std::string Normalised(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    while (line.ends_with('\r')) line.remove_suffix(1);
    out.append(line);
    out += '\n';
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (platform::ini::Document::Parse(std::string(bytes)).Serialize() != Normalised(bytes))
    std::abort();

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
  // An IniFile answers from its own reading: a fresh one sees the write.
  if (platform::IniFile(path).ReadInteger("Settei", "Speed", 5) != 7) std::abort();
  if (Read("Picture", "3") != picture || Read("Settei", "WaitTime") != wait ||
      Read("Font", "Name") != font) {
    std::abort();
  }

  if (platform::WritePrivateProfileStringA("Settei", "Speed", nullptr, path.c_str()) != 1 ||
      platform::IniFile(path).ValueExists("Settei", "Speed")) {
    std::abort();
  }
  if (platform::WritePrivateProfileStringA("Picture", nullptr, nullptr, path.c_str()) != 1 ||
      Read("Picture", "3") != "<absent>" || Read("Settei", "WaitTime") != wait) {
    std::abort();
  }
  return 0;
}
