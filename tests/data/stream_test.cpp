#include "data/stream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace data {
namespace {

using ::testing::HasSubstr;

TEST(MemoryStream, ReadsWritesAndSeeksPastTheEnd) {
  MemoryStream s;
  s.Seek(3);
  s.Write("ab", 2);
  EXPECT_EQ(s.Size(), 5u);
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 'a', 'b'}));
  s.Seek(4);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 4), 1u);
  EXPECT_EQ(buf[0], 'b');
  EXPECT_EQ(s.Read(buf, 4), 0u);
  s.Seek(100);
  EXPECT_EQ(s.Read(buf, 4), 0u);
  EXPECT_EQ(s.Remaining(), 0u);
  s.Seek(0);
  EXPECT_THAT(
      [&] { s.ReadExact(buf, 6); },
      ::testing::ThrowsMessage<StreamError>(HasSubstr("6 bytes wanted at offset 0, 5 available")));
}

TEST(FileStream, ReadsFileAndNamesPathWhenItCannot) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("vm_stream_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "f.bin").string();
  std::ofstream(path, std::ios::binary) << "hello";
  {
    FileStream f(path);
    EXPECT_EQ(f.Size(), 5u);
    f.Seek(1);
    char buf[8] = {};
    EXPECT_EQ(f.Read(buf, 8), 4u);
    EXPECT_EQ(std::string(buf), "ello");
    EXPECT_EQ(f.Position(), 5u);
  }
  EXPECT_THAT([&] { FileStream f(path + ".missing"); },
              ::testing::ThrowsMessage<StreamError>(
                  HasSubstr(path + ".missing を開けません: No such file")));
  EXPECT_THAT([&] { FileStream f(dir.string()); },
              ::testing::ThrowsMessage<StreamError>(HasSubstr("Is a directory")));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace data
