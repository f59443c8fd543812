#include "music/midi_folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fs/app_paths.h"
#include "platform/fs/fs.h"
#include "platform/winmm/audio_test_support.h"
#include "support/temp_dir.h"

namespace music {
namespace {

using testing_support::TempDir;
using testing_support::WriteBytes;

std::vector<std::string> Sorted(std::vector<std::string> list) {
  std::sort(list.begin(), list.end());
  return list;
}

TEST(ScanMidiFolder, TakesExactlyTheLowerCaseMidExtensionAtAnyDepth) {
  TempDir temp;
  for (const char* dir : {"sub", "sub/deeper", "d.mid"}) platform::MakeDirectories(temp.File(dir));
  const struct {
    const char* name;
    bool taken;
  } files[] = {
      {"a.mid", true},
      {"SONG.MID", false},
      {"b.Mid", false},
      {"c.mid.txt", false},
      {"mid", false},
      {".mid", true},
      {"x.y.mid", true},
      {"sub/b.mid", true},
      {"sub/deeper/c.mid", true},
      {"sub/deeper/C.MID", false},
      {"d.mid/e.mid", true},
      {"f.midi", false},
  };
  std::vector<std::string> expected;
  for (const auto& file : files) {
    WriteBytes(temp.File(file.name), "x");
    if (file.taken) expected.push_back(temp.File(file.name));
  }
  std::vector<std::string> list{"kept"};
  int rounds = 0;
  ScanMidiFolder(temp.path(), list, [&] { ++rounds; });
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), "kept") << "the scan appends";
  list.erase(list.begin());
  EXPECT_EQ(Sorted(list), Sorted(expected));
  EXPECT_EQ(rounds, 4) << "once per folder";
}

TEST(ScanMidiFolder, ASubfolderIsReadWhereTheEnumerationMeetsIt) {
  TempDir temp;
  platform::MakeDirectories(temp.File("m"));
  for (const char* name : {"a.mid", "m/1.mid", "m/2.mid", "z.mid", "k.mid"}) {
    WriteBytes(temp.File(name), "x");
  }
  std::vector<std::string> list;
  ScanMidiFolder(temp.path(), list, {});
  ASSERT_EQ(list.size(), 5u);
  // The subfolder's two files are neighbours, and they stand among the others in the
  // place of the folder in its parent's listing.
  const auto first = std::find_if(list.begin(), list.end(), [&](const std::string& path) {
    return path.rfind(temp.File("m/"), 0) == 0;
  });
  ASSERT_NE(first, list.end());
  ASSERT_NE(first + 1, list.end());
  EXPECT_EQ((first + 1)->rfind(temp.File("m/"), 0), 0u);
  std::size_t before = 0;
  for (const auto& entry : platform::ListDirectory(temp.path())) {
    if (entry.name == "m") break;
    ++before;
  }
  EXPECT_EQ(static_cast<std::size_t>(first - list.begin()), before);
}

}  // namespace
}  // namespace music
