// Writing user lists for the tests: a private temporary folder and the 15 header lines.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/user_list.h"

namespace dictionary::testing {

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vm_dictionary_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Writes `bytes` unchanged to the file `name` in this folder and returns its path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string file = (path_ / name).string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      throw std::runtime_error("cannot write " + file);
    }
    return file;
  }
  std::string PathOf(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The 15 header lines followed by `body`, each line ended by `eol`.
inline std::string ListText(const std::vector<std::string>& body, std::string_view eol = "\r\n") {
  std::string text;
  for (int i = 1; i <= kUserListHeaderLines; ++i) {
    text += "見出し" + std::to_string(i);
    text += eol;
  }
  for (const std::string& line : body) {
    text += line;
    text += eol;
  }
  return text;
}

}  // namespace dictionary::testing
