// What every system's file backend keeps: bytes unchanged, names in any script, the
// executable's folder with its trailing "/".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/fs/read_only_file.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

TEST(FsContract, ExeDirHoldsThisSuiteAndEndsInASlash) {
  const std::string dir = ExeDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(DirectoryExists(dir));
  const std::vector<DirEntry> entries = ListDirectory(dir);
  EXPECT_TRUE(std::ranges::any_of(entries, [](const DirEntry& entry) {
    return entry.name.starts_with("platform_fs_contract_test");
  }));
}

TEST(FsContract, BytesAndNamesSurviveAWriteAndAReadUnchanged) {
  TempDir temp;
  const char raw[] = "line\r\nnext\n\x1A\0\xFF tail";
  const std::string bytes(raw, sizeof raw - 1);
  for (const std::string name : {"plain.bin", "追加問題.txt", "Kabe_0.jpg"}) {
    SCOPED_TRACE(name);
    const std::string path = temp.File(name);
    ASSERT_TRUE(WriteWholeFileAtomic(path, "old"));
    ASSERT_TRUE(WriteWholeFileAtomic(path, bytes));
    EXPECT_EQ(ReadWholeFile(path), bytes);
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(ModificationTime(path).has_value());

    ReadOnlyFile file(path);
    ASSERT_TRUE(file.IsOpen()) << file.Error();
    EXPECT_EQ(file.Size(), bytes.size());
    char tail[8] = {};
    EXPECT_EQ(file.ReadAt(bytes.size() - 4, tail, sizeof tail), 4);
    EXPECT_EQ(std::string(tail, 4), "tail");
    EXPECT_EQ(file.ReadAt(bytes.size() + 10, tail, sizeof tail), 0);
  }
  std::vector<std::string> names;
  for (const DirEntry& entry : ListDirectory(temp.path())) names.push_back(entry.name);
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Kabe_0.jpg", "plain.bin", "追加問題.txt"}))
      << "no temporary is left behind";
}

TEST(FsContract, EveryNameOfAFolderOrFileHasOneIdentity) {
  TempDir temp;
  ASSERT_TRUE(MakeDirectories(temp.File("フォルダ/sub")));
  ASSERT_TRUE(MakeDirectories(temp.File("other")));
  ASSERT_TRUE(WriteWholeFileAtomic(temp.File("フォルダ/曲.mid"), "x"));
  const std::optional<std::string> folder = FileIdentity(temp.File("フォルダ"));
  const std::optional<std::string> file = FileIdentity(temp.File("フォルダ/曲.mid"));
  ASSERT_TRUE(folder && file);
  EXPECT_NE(*folder, *file);
  for (const char* name : {"フォルダ/", "フォルダ/sub/..", "other/../フォルダ"}) {
    EXPECT_EQ(FileIdentity(temp.File(name)), folder) << name;
  }
  EXPECT_EQ(FileIdentity(temp.File("フォルダ/sub/../曲.mid")), file);
  EXPECT_NE(FileIdentity(temp.File("other")), folder);
  EXPECT_EQ(FileIdentity(temp.File("missing")), std::nullopt);
}

TEST(FsContract, MissingFilesAndFoldersReadAsNothing) {
  TempDir temp;
  const std::string folder = temp.File("sub/deeper");
  ASSERT_TRUE(MakeDirectories(folder));
  for (const std::string& path : {temp.File("none"), folder}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ReadWholeFile(path).has_value());
    EXPECT_FALSE(ReadOnlyFile(path).IsOpen());
    EXPECT_FALSE(ReadOnlyFile(path).Error().empty());
    EXPECT_FALSE(FileExists(path));
  }
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(ModificationTime(temp.File("none")).has_value());
  EXPECT_FALSE(WriteWholeFileAtomic(temp.File("none/file"), "x"));
  EXPECT_TRUE(ListDirectory(temp.File("none")).empty());
}

TEST(FsContract, InPlaceWritesReplaceOrAppendBytesUnchanged) {
  TempDir temp;
  const std::string path = temp.File("記録.txt");
  EXPECT_EQ(WriteFileInPlace(path, "a\r\n", InPlaceWrite::kAppend), "");  // made when missing
  EXPECT_EQ(WriteFileInPlace(path, "b\n\x1A", InPlaceWrite::kAppend), "");
  EXPECT_EQ(ReadWholeFile(path), "a\r\nb\n\x1A");
  EXPECT_EQ(WriteFileInPlace(path, "c", InPlaceWrite::kReplace), "");
  EXPECT_EQ(ReadWholeFile(path), "c");
  EXPECT_NE(WriteFileInPlace(temp.File("none/x.txt"), "c", InPlaceWrite::kAppend), "");
  EXPECT_NE(WriteFileInPlace(temp.path(), "c", InPlaceWrite::kReplace), "");
}

}  // namespace
}  // namespace platform
