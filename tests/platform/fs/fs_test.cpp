#include "platform/fs/fs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
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

namespace platform {
namespace {

// Runs `body` in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST(UserFiles, OnlyRegularFilesAreReadAndOnlyWritableOnesReplaced) {
  TempDir temp;
  ASSERT_EQ(::mkfifo(temp.File("fifo").c_str(), 0644), 0);
  const std::string record = temp.Write("record.dat", std::string(100000, '\x05'));
  // A FIFO without a writer would block a plain open and read for ever.
  EXPECT_EQ(ReadWholeFile(temp.File("fifo")), std::nullopt);
  EXPECT_EQ(ReadFilePrefix(temp.File("fifo"), 1), std::nullopt);
  EXPECT_EQ(ReadWholeFile("/dev/zero"), std::nullopt);
  EXPECT_EQ(ReadFilePrefix(record, 1), "\x05");
  EXPECT_EQ(ReadFilePrefix(record, 0), "");

  const std::string frozen = temp.Write("Settei.ini", "[Settei]\n");
  ::chmod(frozen.c_str(), 0444);
  EXPECT_FALSE(IsWritableFile(frozen));
  EXPECT_FALSE(WriteWholeFileAtomic(frozen, "changed"));
  EXPECT_EQ(ReadWholeFile(frozen), "[Settei]\n");
  EXPECT_TRUE(IsWritableFile(temp.File("new.ini")));
  EXPECT_EQ(temp.Names(), (std::vector<std::string>{"Settei.ini", "fifo", "record.dat"}));
}

TEST(UserFiles, ACutSaveLeavesTheOldFileAndNoTemporary) {
  TempDir temp;
  const std::string path = temp.Write("Settei.ini", "old");
  const std::string large(32 << 20, 'x');

  // Over a file size limit the write fails and says so; the process lives on.
  const int limited = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return WriteWholeFileAtomic(path, large) ? 1 : 0;
  });
  EXPECT_TRUE(WIFEXITED(limited) && WEXITSTATUS(limited) == 0) << limited;
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"Settei.ini"});

  // Killed while saving, wherever the signal lands: the file is old or new, never half, and
  // whatever the killed writer left goes with the next save.
  const pid_t writer = ::fork();
  if (writer == 0) {
    while (true) WriteWholeFileAtomic(path, large);
  }
  ::usleep(300000);
  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  const std::optional<std::string> afterKill = ReadWholeFile(path);
  EXPECT_TRUE(afterKill == "old" || afterKill == large);
  temp.Write(".Settei.ini.tmp999999999_0", "left by a writer that no longer runs");
  ASSERT_TRUE(WriteWholeFileAtomic(path, "new"));
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"Settei.ini"});
}

}  // namespace
}  // namespace platform
