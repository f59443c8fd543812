// velmorandi-still --seed N --ticks T [--data DIR] --out FILE
//
// Runs the real saver headless for T ticks from its start, with the settings, user list,
// pictures and wallpapers of the data folder DIR (default: the one beside this executable),
// and writes the last frame by FILE's ending: .ppm on every system, .png, .jpg or .jpeg on
// Linux. The same seed and ticks give the same board and state on every system, so the two
// systems' frames can be set side by side (compare_frames.py).
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "dg/debug_log.h"
#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/log/log.h"
#include "shell/headless_saver.h"
#include "velmorandi-still/still.h"

namespace {

int Usage(const std::string& problem) {
  std::fprintf(stderr,
               "velmorandi-still: %s\nusage: velmorandi-still --seed N --ticks T [--data DIR] "
               "--out FILE.ppm|.png|.jpg\n",
               problem.c_str());
  return 2;
}

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return false;
    const auto digit = static_cast<unsigned long long>(ch - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  if (s.size() < suffix.size()) return false;
  std::string tail = s.substr(s.size() - suffix.size());
  for (char& ch : tail) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return tail == suffix;
}

bool WritePpm(const shell::Frame& frame, const std::string& path) {
  std::string bytes =
      "P6\n" + std::to_string(frame.width) + " " + std::to_string(frame.height) + "\n255\n";
  bytes.reserve(bytes.size() + frame.pixels.size() * 3);
  for (const std::uint32_t pixel : frame.pixels) {
    bytes.push_back(static_cast<char>(pixel >> 16));
    bytes.push_back(static_cast<char>(pixel >> 8));
    bytes.push_back(static_cast<char>(pixel));
  }
  return platform::WriteFileInPlace(path, bytes, platform::InPlaceWrite::kReplace).empty();
}

bool Writable(const std::string& path) {
  if (EndsWith(path, ".ppm")) return true;
  for (const std::string& ending : still::ImageEndings()) {
    if (EndsWith(path, ending)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long seed = 0;
  unsigned long long ticks = 0;
  bool haveSeed = false;
  bool haveTicks = false;
  std::string dataDir;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage("missing value after " + arg);
    const std::string value = argv[++i];
    if (arg == "--seed") {
      if (!ParseNumber(value, ~0ULL, seed)) return Usage("--seed needs a number 0 .. 2^64 - 1");
      haveSeed = true;
    } else if (arg == "--ticks") {
      if (!ParseNumber(value, 10000000, ticks) || ticks == 0)
        return Usage("--ticks needs a number 1 .. 10000000");
      haveTicks = true;
    } else if (arg == "--data") {
      if (value.empty()) return Usage("--data needs a folder");
      dataDir = value;
    } else if (arg == "--out") {
      out = value;
    } else {
      return Usage("unknown option " + arg);
    }
  }
  if (!haveSeed) return Usage("--seed is required");
  if (!haveTicks) return Usage("--ticks is required");
  if (out.empty()) return Usage("--out is required");
  if (!Writable(out)) {
    std::string endings = ".ppm";
    for (const std::string& ending : still::ImageEndings()) endings += ", " + ending;
    return Usage("--out must end in one of " + endings);
  }
  if (dataDir.empty()) dataDir = platform::Paths().dataDir;
  if (dataDir.back() != '/') dataDir += '/';
  if (!platform::DirectoryExists(dataDir)) return Usage("no such folder: " + dataDir);

  platform::SetLogSink([](std::string_view m) { dg::DebugLog(m); });
  try {
    shell::HeadlessSaver saver(dataDir, seed);
    saver.RunTicks(static_cast<int>(ticks));
    const shell::Frame frame = saver.LastFrame();
    if (frame.pixels.empty()) {
      std::fprintf(stderr, "velmorandi-still: the saver presented no frame\n");
      return 1;
    }
    const bool written =
        EndsWith(out, ".ppm") ? WritePpm(frame, out) : still::WriteImage(frame, out);
    if (!written) {
      std::fprintf(stderr, "velmorandi-still: cannot write %s\n", out.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmorandi-still: %s\n", e.what());
    return 1;
  }
  return 0;
}
