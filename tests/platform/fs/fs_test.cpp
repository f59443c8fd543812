#include "platform/fs/fs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ExeDir, IsTheFolderOfThisTestExecutableWithTrailingSlash) {
  const std::string dir = ExeDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(dir.front(), '/');
  EXPECT_TRUE(FileExists(dir + "platform_fs_test"));
}

TEST(FileTests, DistinguishFilesFoldersAndLinks) {
  TempDir temp;
  WriteFile(temp.File("file"), "x");
  ::mkdir(temp.File("folder").c_str(), 0755);
  ASSERT_EQ(::symlink("file", temp.File("link").c_str()), 0);
  ASSERT_EQ(::symlink("missing", temp.File("dangling").c_str()), 0);

  EXPECT_TRUE(FileExists(temp.File("file")));
  EXPECT_TRUE(FileExists(temp.File("link")));
  EXPECT_FALSE(FileExists(temp.File("folder")));
  EXPECT_FALSE(FileExists(temp.File("dangling")));
  EXPECT_FALSE(FileExists(temp.File("none")));
  EXPECT_TRUE(DirectoryExists(temp.File("folder")));
  EXPECT_FALSE(DirectoryExists(temp.File("file")));
  EXPECT_FALSE(DirectoryExists(temp.File("none")));
}

TEST(ListDirectory, ListsHiddenEntriesAndMarksFolders) {
  TempDir temp;
  WriteFile(temp.File(".hidden"), "");
  WriteFile(temp.File("追加問題.txt"), "");
  ::mkdir(temp.File("sub").c_str(), 0755);
  ASSERT_EQ(::symlink("sub", temp.File("sublink").c_str()), 0);

  std::vector<DirEntry> entries = ListDirectory(temp.path());
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, ".hidden");
  EXPECT_FALSE(entries[0].isDirectory);
  EXPECT_EQ(entries[1].name, "sub");
  EXPECT_TRUE(entries[1].isDirectory);
  EXPECT_EQ(entries[2].name, "sublink");
  EXPECT_TRUE(entries[2].isDirectory);
  EXPECT_EQ(entries[3].name, "追加問題.txt");

  EXPECT_TRUE(ListDirectory(temp.File("none")).empty());
  EXPECT_TRUE(ListDirectory(temp.File(".hidden")).empty());
}

TEST(ModificationTime, ReadsTheFileTimeOrNothing) {
  TempDir temp;
  WriteFile(temp.File("f"), "x");
  struct timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, temp.File("f").c_str(), times, 0), 0);
  EXPECT_EQ(ModificationTime(temp.File("f")), 1234567890);
  EXPECT_EQ(ModificationTime(temp.File("none")), std::nullopt);
}

TEST(ReadWholeFile, ReadsBinaryContentOrNothing) {
  TempDir temp;
  const std::string bytes("a\0b\r\n\xFF", 6);
  WriteFile(temp.File("f"), bytes);
  EXPECT_EQ(ReadWholeFile(temp.File("f")), bytes);
  WriteFile(temp.File("empty"), "");
  EXPECT_EQ(ReadWholeFile(temp.File("empty")), "");
  EXPECT_EQ(ReadWholeFile(temp.File("none")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(temp.path()), std::nullopt);
}

TEST(WriteWholeFileAtomic, CreatesAndReplacesLeavingNoTemporaryBehind) {
  TempDir temp;
  const std::string path = temp.File("Settei.ini");
  ASSERT_TRUE(WriteWholeFileAtomic(path, "first"));
  EXPECT_EQ(ReadWholeFile(path), "first");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteWholeFileAtomic(path, std::string(200000, 'x')));
  EXPECT_EQ(ReadWholeFile(path), std::string(200000, 'x'));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  ASSERT_TRUE(WriteWholeFileAtomic(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(ListDirectory(temp.path()).size(), 1u);
}

TEST(WriteWholeFileAtomic, WritesThroughASymbolicLinkAndKeepsTheLink) {
  TempDir temp;
  WriteFile(temp.File("real.ini"), "old");
  ASSERT_EQ(::symlink("real.ini", temp.File("link.ini").c_str()), 0);
  ASSERT_TRUE(WriteWholeFileAtomic(temp.File("link.ini"), "new"));
  EXPECT_EQ(ReadWholeFile(temp.File("real.ini")), "new");
  struct stat info {};
  ASSERT_EQ(::lstat(temp.File("link.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(WriteWholeFileAtomic, RefusedWritesChangeNothing) {
  TempDir temp;
  WriteFile(temp.File("plain"), "keep");
  ::mkdir(temp.File("folder").c_str(), 0755);
  WriteFile(temp.File("folder/inner"), "inner");
  const struct {
    const char* name;
    std::string path;
  } cases[] = {
      {"missing folder", temp.File("none/Settei.ini")},
      {"parent is a regular file", temp.File("plain/Settei.ini")},
      {"target is a folder", temp.File("folder")},
      {"empty name", temp.path() + "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(WriteWholeFileAtomic(c.path, "new"));
  }
  EXPECT_EQ(ReadWholeFile(temp.File("plain")), "keep");
  EXPECT_EQ(ReadWholeFile(temp.File("folder/inner")), "inner");
  EXPECT_EQ(ListDirectory(temp.path()).size(), 2u);
  EXPECT_EQ(ListDirectory(temp.File("folder")).size(), 1u);
}

}  // namespace
}  // namespace platform
