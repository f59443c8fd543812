#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/run_environment.h"
#include "shell/run_mode.h"

namespace {

using shell::RunMode;

struct Case {
  std::vector<std::string> args;
  RunMode mode;
  std::uint64_t parent;
};

TEST(CommandLine, EachArgumentFormChoosesItsMode) {
  const Case cases[] = {
      {{"/s"}, RunMode::kSaver, 0},
      {{"/S"}, RunMode::kSaver, 0},
      {{"/s:5"}, RunMode::kNone, 0},
      {{"/save"}, RunMode::kNone, 0},
      {{"s"}, RunMode::kNone, 0},
      {{"/x"}, RunMode::kNone, 0},
      {{"-s"}, RunMode::kNone, 0},
      {{}, RunMode::kSettings, 0},
      {{""}, RunMode::kSettings, 0},
      {{"/c"}, RunMode::kSettingsShown, 0},
      {{"/C"}, RunMode::kSettingsShown, 0},
      {{"/c:4711"}, RunMode::kSettingsShown, 0},
      {{"/C:0"}, RunMode::kSettingsShown, 0},
      {{"/p", "65810"}, RunMode::kPreview, 65810},
      {{"/P", "4294967295"}, RunMode::kPreview, 4294967295u},
      // Only the whole argument counts for the saver and the preview.
      {{"/p:65810"}, RunMode::kNone, 0},
      // A preview without a usable parent creates nothing.
      {{"/p"}, RunMode::kNone, 0},
      {{"/p", ""}, RunMode::kNone, 0},
      {{"/p", "12ab"}, RunMode::kNone, 0},
      {{"/p", "-5"}, RunMode::kNone, 0},
      {{"/p", "4294967296"}, RunMode::kNone, 0},
      {{"/p", "99999999999999999999999"}, RunMode::kNone, 0},
      // Later arguments never matter for the other modes.
      {{"/s", "/c"}, RunMode::kSaver, 0},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const auto& a : c.args) label += "[" + a + "]";
    const shell::RunRequest r = shell::ParseCommandLine(c.args);
    EXPECT_EQ(r.mode, c.mode) << label;
    EXPECT_EQ(r.parentWindow, c.parent) << label;
  }
}

TEST(RunEnvironment, OnlyAWholeDecimalNumberSeedsTheGame) {
  const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
      {"20", 20},
      {"0", 0},
      {"18446744073709551615", 18446744073709551615u},
      {"18446744073709551616", std::nullopt},  // would wrap
      {"-1", std::nullopt},
      {" 7", std::nullopt},
      {"7x", std::nullopt},
      {"", std::nullopt},
      {nullptr, std::nullopt},
  };
  for (const auto& [text, seed] : cases)
    EXPECT_EQ(shell::ParseSeed(text), seed) << (text != nullptr ? text : "unset");
}

}  // namespace
