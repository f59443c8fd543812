#include "desktop/xscreensaver_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/fs/fs.h"
#include "support/temp_dir.h"

namespace desktop {
namespace {

constexpr char kCommand[] = "velmorandi --root";
// The entry as the list gains it.
constexpr char kEntry[] = "\t\t\t\tvelmorandi --root \\n";

TEST(XscreensaverPrograms, TheEntryEndsTheListAndEveryOtherLineStays) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const std::string entry = kEntry;
  const Case cases[] = {
      {"no file", "", "programs:\t\\\n" + entry + "\n"},
      {"no list, no last newline", "mode: one\nselected: 3",
       "mode: one\nselected: 3\nprograms:\t\\\n" + entry + "\n"},
      {"a value running over the end is not joined", "textLiteral: a \\",
       "textLiteral: a \\\n\nprograms:\t\\\n" + entry + "\n"},
      {"as the settings program writes it: a blank line ends the list",
       "mode: random\nprograms:\t\t\\\n\t\tmaze --root\t\t\\n\\\n-\t\tqix --root \\n\\\n\nlock: "
       "False\n",
       "mode: random\nprograms:\t\t\\\n\t\tmaze --root\t\t\\n\\\n-\t\tqix --root \\n\\\n" + entry +
           "\\\n\nlock: False\n"},
      {"the last line holds an entry", "programs: maze --root \\n\\\n  qix --root\t\ntimeout: 5\n",
       "programs: maze --root \\n\\\n  qix --root \\n\\\n" + entry + "\ntimeout: 5\n"},
      {"the key's own line holds the list", "programs: maze --root \\n\n",
       "programs: maze --root \\n\\\n" + entry + "\n"},
      {"an empty list", "*programs:\nfade: False\n", "*programs:\\\n" + entry + "\nfade: False\n"},
      {"the list runs to the file's end", "programs: \\\n  maze --root \\n\\",
       "programs: \\\n  maze --root \\n\\\n" + entry + "\n"},
      {"the last entry lacks its end", "programs: \\\n  maze --root \\\n\n",
       "programs: \\\n  maze --root \\\n\\n" + entry + "\\\n\n"},
      {"CR LF lines keep their ends", "programs: \\\r\n  maze --root \\n\\\r\n\r\nfade: False\r\n",
       "programs: \\\r\n  maze --root \\n\\\r\n" + entry + "\\\r\n\r\nfade: False\r\n"},
      {"a comment ending in a backslash carries nothing on", "! old \\\nprograms: maze --root\n",
       "! old \\\nprograms: maze --root \\n\\\n" + entry + "\n"},
      {"the last list wins", "programs: a \\n\nprograms: b \\n\n",
       "programs: a \\n\nprograms: b \\n\\\n" + entry + "\n"},
      {"the name elsewhere is no entry",
       "! velmorandi --root\ntextProgram: velmorandi\nprograms: xvelmorandi --root \\n\\\n"
       "  velmorandi-still --root\n",
       "! velmorandi --root\ntextProgram: velmorandi\nprograms: xvelmorandi --root \\n\\\n"
       "  velmorandi-still --root \\n\\\n" +
           entry + "\n"},
  };
  for (const Case& c : cases) {
    const ProgramsEdit edit = AddToPrograms(c.before, kCommand);
    EXPECT_EQ(edit.change, ListChange::kAdded) << c.name;
    EXPECT_EQ(edit.text, c.after) << c.name;
    EXPECT_EQ(AddToPrograms(edit.text, kCommand).change, ListChange::kAlreadyListed) << c.name;
  }
}

TEST(XscreensaverPrograms, AnyEntryRunningTheProgramCountsAsListed) {
  for (const char* listed : {
           "programs: velmorandi --root \\n\n",
           "programs: maze --root \\n\\\n-\t\tvelmorandi --root \\n\\\n\n",
           "programs: \\\n - GL: \"Velmorandi\" /opt/v/bin/velmorandi --speed 3 \\n\\\n qix\n",
           "programs: '/home/a b/bin/velmorandi' --root\n",
       }) {
    const ProgramsEdit edit = AddToPrograms(listed, kCommand);
    EXPECT_EQ(edit.change, ListChange::kAlreadyListed) << listed;
    EXPECT_EQ(edit.text, listed);
  }
}

TEST(XscreensaverPrograms, HackCommandNamesTheProgramTheDaemonCanRun) {
  EXPECT_EQ(HackCommand("/usr/bin/"), "velmorandi --root");
  EXPECT_EQ(HackCommand("/opt/v-1.0/bin/"), "/opt/v-1.0/bin/velmorandi --root");
  EXPECT_EQ(HackCommand("/home/a b/ビン/"), "'/home/a b/ビン/velmorandi' --root");
  EXPECT_EQ(HackCommand("/home/it's/"), std::nullopt);
  EXPECT_EQ(HackCommand("/home/a\\b/"), std::nullopt);
}

TEST(XscreensaverListFile, MadeWhenMissingChangedOnceAndKeptOtherwise) {
  testing_support::TempDir home;
  const std::string file = home.File(".xscreensaver");
  AddReport report = AddToXscreensaverList(home.path(), kCommand);
  EXPECT_EQ(report.outcome, AddOutcome::kAdded);
  EXPECT_EQ(report.file, file);
  EXPECT_EQ(platform::ReadWholeFile(file), "programs:\t\\\n" + std::string(kEntry) + "\n");

  home.Write(".xscreensaver", "mode: one\nselected: 2\n");
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  EXPECT_EQ(AddToXscreensaverList(home.path() + "/", kCommand).outcome, AddOutcome::kAdded);
  const auto once = platform::ReadWholeFile(file);
  ASSERT_TRUE(once);
  EXPECT_TRUE(once->starts_with("mode: one\nselected: 2\nprograms:"));
  EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0600));
  EXPECT_EQ(AddToXscreensaverList(home.path(), kCommand).outcome, AddOutcome::kAlreadyListed);
  EXPECT_EQ(platform::ReadWholeFile(file), once);
  EXPECT_EQ(home.Names(), std::vector<std::string>{".xscreensaver"});
}

TEST(XscreensaverListFile, AFileThatCannotBeReadIsLeftAsItIs) {
  testing_support::TempDir home;
  std::filesystem::create_directory(home.File(".xscreensaver"));
  const AddReport report = AddToXscreensaverList(home.path(), kCommand);
  EXPECT_EQ(report.outcome, AddOutcome::kFailed);
  EXPECT_EQ(report.reason, "the file cannot be read");
  EXPECT_TRUE(platform::DirectoryExists(home.File(".xscreensaver")));
}

}  // namespace
}  // namespace desktop
