// Runs the built qda executable on temporary files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data/test_inputs.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class QdaTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vm_qda_tool_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Exit status of `qda ARGS`; stdout is captured, stderr goes to the file "err".
  int Run(const std::string& args, std::string* out = nullptr) const {
    const std::string command =
        std::string("'") + VM_QDA_TOOL + "' " + args + " 2>'" + Path("err") + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) text.append(buf, n);
    const int status = ::pclose(pipe);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

TEST_F(QdaTool, PackListExtract) {
  const auto bitmapBytes = data_test::BitmapLike(64, 48);
  const std::string bitmap(bitmapBytes.begin(), bitmapBytes.end());
  WriteFile("Leaf.bmp", bitmap);
  WriteFile("notes.txt", "");
  for (const std::string flag : {"", "--raw "}) {
    ASSERT_EQ(Run("pack " + flag + "'" + Path("a.qda") + "' '" + Path("Leaf.bmp") + "' '" +
                  Path("notes.txt") + "'"),
              0)
        << ReadFile("err");

    std::string listing;
    ASSERT_EQ(Run("list '" + Path("a.qda") + "'", &listing), 0);
    const std::string size = std::to_string(bitmap.size());
    if (flag.empty()) {
      EXPECT_THAT(listing,
                  ::testing::MatchesRegex("Leaf\\.bmp\t[0-9]+\t" + size + "\nnotes\\.txt\t0\t0\n"));
    } else {
      EXPECT_EQ(listing, "Leaf.bmp\t" + size + "\t" + size + "\nnotes.txt\t0\t0\n");
    }

    ASSERT_EQ(Run("extract '" + Path("a.qda") + "' LEAF.BMP '" + Path("out.bmp") + "'"), 0);
    EXPECT_EQ(ReadFile("out.bmp"), bitmap);
    std::string toStdout;
    ASSERT_EQ(Run("extract '" + Path("a.qda") + "' leaf.bmp", &toStdout), 0);
    EXPECT_EQ(toStdout, bitmap);
  }
}

TEST_F(QdaTool, ErrorsGoToStderrWithStatusOne) {
  WriteFile("x.bin", "x");
  ASSERT_EQ(Run("pack '" + Path("a.qda") + "' '" + Path("x.bin") + "'"), 0);
  std::string out;
  EXPECT_EQ(Run("extract '" + Path("a.qda") + "' 葉.bmp", &out), 1);
  EXPECT_EQ(out, "");
  EXPECT_THAT(ReadFile("err"), HasSubstr("ID '葉.bmp' を持つデータが見つかりません"));

  EXPECT_EQ(Run("list '" + Path("missing.qda") + "'"), 1);
  EXPECT_THAT(ReadFile("err"), HasSubstr(Path("missing.qda")));

  EXPECT_EQ(Run("pack '" + Path("b.qda") + "' '" + Path("missing.bin") + "'"), 1);
  EXPECT_FALSE(fs::exists(Path("b.qda")));

  WriteFile("bad.qda", "not an archive");
  EXPECT_EQ(Run("list '" + Path("bad.qda") + "'"), 1);
  EXPECT_THAT(ReadFile("err"), HasSubstr("扱えるデータではありません"));
  EXPECT_EQ(Run("frobnicate"), 2);
}

}  // namespace
