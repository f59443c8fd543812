#include "platform/fs/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/fs/fs.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

// An installation tree in a temporary folder: prefix/bin holds the executable.
class Tree {
 public:
  Tree() { Folder("prefix/bin"); }
  std::string Root() const { return temp_.path() + "/"; }
  std::string Bin() const { return Root() + "prefix/bin/"; }
  void Folder(const std::string& rel) const { std::filesystem::create_directories(Root() + rel); }
  void File(const std::string& rel, const std::string& bytes = "x") const {
    Folder(std::filesystem::path(rel).parent_path().string());
    WriteWholeFileAtomic(Root() + rel, bytes);
  }
  AppPaths Find(std::map<std::string, std::string> env) const {
    for (auto& [name, value] : env)
      if (value.starts_with("@")) value = Root() + value.substr(1);
    return FindAppPaths(Bin(), [&env](const char* name) -> const char* {
      const auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    });
  }

 private:
  TempDir temp_;
};

TEST(AppPaths, DataFolderIsTheFirstThatHoldsTheArchive) {
  struct Case {
    const char* name;
    std::vector<std::string> archives;  // folders (from the root) holding data.qda
    std::string expected;               // from the root
  };
  const Case cases[] = {
      {"installed wins",
       {"prefix/share/velmorandi", "prefix/bin/VelmorandiScrData"},
       "prefix/share/velmorandi/"},
      {"build tree",
       {"prefix/bin/VelmorandiScrData", "xdg1/velmorandi"},
       "prefix/bin/VelmorandiScrData/"},
      {"data dirs in order", {"xdg1/velmorandi", "xdg2/velmorandi"}, "xdg1/velmorandi/"},
      {"later data dir", {"xdg2/velmorandi"}, "xdg2/velmorandi/"},
      {"none: beside the executable", {}, "prefix/bin/VelmorandiScrData/"},
  };
  for (const Case& c : cases) {
    const Tree tree;
    for (const std::string& folder : c.archives) tree.File(folder + "/data.qda");
    const std::string dirs = tree.Root() + "xdg1:relative:" + tree.Root() + "xdg2/";
    EXPECT_EQ(tree.Find({{"XDG_DATA_DIRS", dirs}, {"HOME", "@home"}}).dataDir,
              tree.Root() + c.expected)
        << c.name;
  }
}

TEST(AppPaths, UserFoldersFollowTheBaseDirectoryVariables) {
  const Tree tree;
  const AppPaths defaults = tree.Find({{"HOME", "@home"}});
  EXPECT_EQ(defaults.configDir, tree.Root() + "home/.config/velmorandi/");
  EXPECT_EQ(defaults.userDataDir, tree.Root() + "home/.local/share/velmorandi/");
  EXPECT_EQ(defaults.stateDir, tree.Root() + "home/.local/state/velmorandi/");

  const AppPaths set = tree.Find({{"HOME", "@home"},
                                  {"XDG_CONFIG_HOME", "@cfg"},
                                  {"XDG_DATA_HOME", "@dat/"},
                                  {"XDG_STATE_HOME", "relative/state"}});
  EXPECT_EQ(set.configDir, tree.Root() + "cfg/velmorandi/");
  EXPECT_EQ(set.userDataDir, tree.Root() + "dat/velmorandi/");
  EXPECT_EQ(set.dataHome, tree.Root() + "dat/");
  EXPECT_EQ(set.stateDir, tree.Root() + "home/.local/state/velmorandi/");  // relative: ignored
  EXPECT_EQ(set.legacyDir, tree.Bin() + "VelmorandiScrData/");
}

TEST(AppPaths, AnOlderInstallationsFileIsReadUntilTheUsersOwnExists) {
  struct Case {
    UserFile file;
    bool legacy;
    bool own;
    bool templateFile;
    std::string read;    // "legacy", "own"
    std::string update;  // contents of the own file after UpdatePath; "" when none
  };
  const Case cases[] = {
      {UserFile::kSettings, true, false, false, "legacy", "old"},
      {UserFile::kSettings, true, true, false, "own", "mine"},
      {UserFile::kSettings, false, false, false, "own", ""},
      {UserFile::kFontStyle, true, false, false, "legacy", "old"},
      {UserFile::kUserWords, false, false, true, "own", "template"},
      {UserFile::kUserWords, true, false, true, "legacy", "old"},
  };
  for (const Case& c : cases) {
    const Tree tree;
    tree.File("prefix/share/velmorandi/data.qda");
    const AppPaths paths = tree.Find({{"HOME", "@home"}});
    const std::string name = std::filesystem::path(paths.UserPath(c.file)).filename().string();
    if (c.legacy) tree.File("prefix/bin/VelmorandiScrData/" + name, "old");
    if (c.templateFile) tree.File("prefix/share/velmorandi/" + name, "template");
    if (c.own) {
      MakeDirectories(std::filesystem::path(paths.UserPath(c.file)).parent_path().string());
      WriteWholeFileAtomic(paths.UserPath(c.file), "mine");
    }
    const std::string label = name + (c.legacy ? " legacy" : "") + (c.own ? " own" : "");
    EXPECT_EQ(paths.ReadPath(c.file),
              c.read == "legacy" ? paths.legacyDir + name : paths.UserPath(c.file))
        << label;
    EXPECT_EQ(paths.UpdatePath(c.file), paths.UserPath(c.file)) << label;
    EXPECT_TRUE(DirectoryExists(std::filesystem::path(paths.UserPath(c.file)).parent_path()))
        << label;
    EXPECT_EQ(ReadWholeFile(paths.UserPath(c.file)).value_or(""), c.update) << label;
    if (!c.update.empty()) {
      EXPECT_EQ(paths.ReadPath(c.file), paths.UserPath(c.file)) << label;
    }
  }
}

}  // namespace
}  // namespace platform
