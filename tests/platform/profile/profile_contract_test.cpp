// What the settings files do on every system, whoever reads and writes the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/text/text.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

TEST(IniFile, WritesWhatTheSystemsTextRuleReadsBack) {
  TempDir temp;
  IniFile ini(temp.File("Settei.ini"));
  ini.WriteInteger("Settei", "Speed", 4);
  ini.WriteString("Font", "Name", "ＭＳ Ｐ明朝");
  ini.WriteString("Picture", "3", temp.File("夜景.jpg"));
  ini.WriteString("Settei", "Speed", "6");
  EXPECT_NE(DecodeTextFile(*ReadWholeFile(ini.FileName())).find("Name=ＭＳ Ｐ明朝"),
            std::string::npos);

  const IniFile fresh(ini.FileName());
  EXPECT_EQ(fresh.ReadInteger("settei", "SPEED", 5), 6);
  EXPECT_EQ(fresh.ReadString("Font", "Name", ""), "ＭＳ Ｐ明朝");
  EXPECT_EQ(fresh.ReadString("Picture", "3", ""), temp.File("夜景.jpg"));
  EXPECT_EQ(fresh.ReadString("Picture", "4", "dflt  "), "dflt");
  EXPECT_TRUE(fresh.ValueExists("FONT", "name"));
  EXPECT_FALSE(fresh.ValueExists("Picture", "4"));

  // A buffer too small for the value ends on a whole character.
  char buffer[5];
  const std::string file = ini.FileName();
  EXPECT_EQ(GetPrivateProfileStringA("Font", "Name", "", buffer, 5, file.c_str()), 3u);
  EXPECT_STREQ(buffer, "Ｍ");
}

TEST(IniFile, BatchedWritesReachTheFileAtCommit) {
  TempDir temp;
  const std::string path = temp.Write("Settei.ini", "[Picture]\nCount=2\n");
  IniFile ini(path, IniWrites::kOnCommit);
  for (int i = 0; i < 50; ++i) ini.WriteString("Picture", std::to_string(i + 3), "x");
  EXPECT_EQ(ini.ReadString("picture", "52", ""), "x");
  EXPECT_FALSE(IniFile(path).ValueExists("Picture", "3"));  // nothing written before Commit
  ini.Commit();
  EXPECT_EQ(IniFile(path).ReadString("Picture", "52", ""), "x");
  EXPECT_EQ(IniFile(path).ReadInteger("Picture", "Count", 0), 2);
}

// A commit replaces the file in one step: on success nothing else is left in the folder, and
// a refused one leaves the file byte for byte as it was.
TEST(IniFile, ACommitIsAllOrNothing) {
  TempDir temp;
  const std::string original = "; mine\r\n[Picture]\r\nCount=2\r\n";
  const std::string path = temp.Write("Settei.ini", original);
  const auto commitFifty = [&path] {
    IniFile ini(path, IniWrites::kOnCommit);
    for (int i = 0; i < 50; ++i) ini.WriteString("Picture", std::to_string(i + 3), "x");
    ini.WriteInteger("Picture", "Count", 52);
    ini.Commit();
  };
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_THROW(commitFifty(), IniWriteError);
  EXPECT_EQ(ReadWholeFile(path), original);
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"Settei.ini"});

  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  commitFifty();
  const IniFile fresh(path);
  EXPECT_EQ(fresh.ReadString("Picture", "52", ""), "x");
  EXPECT_EQ(fresh.ReadInteger("Picture", "Count", 0), 52);
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"Settei.ini"});
}

TEST(IniFile, RefusedWritesThrowAndChangeNothing) {
  TempDir temp;
  const std::string original = "[A]\r\nx=1\r\n";
  const std::string file = temp.Write("Settei.ini", original);
  EXPECT_EQ(WritePrivateProfileStringA("A", "x", "2\n[B]", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileStringA("A", "x=y", "2", file.c_str()), 0);
  EXPECT_EQ(ReadWholeFile(file), original);

  IniFile ini(temp.File("none/Settei.ini"));
  try {
    ini.WriteBool("A", "x", true);
    FAIL() << "no exception";
  } catch (const IniWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              DisplayPath(temp.File("none/Settei.ini")) + " に書き込めません");
  }
}

// Where the file is in the code page, a character outside it is refused, never written as '?'.
TEST(CodePageFile, RefusesCharactersOutsideTheCodePage) {
  TempDir temp;
  IniFile ini(temp.File("Settei.ini"));
  ini.WriteString("Font", "Name", "IPAゴシック");
  EXPECT_THROW(ini.WriteString("Font", "Name", "한글"), IniWriteError);
  EXPECT_EQ(IniFile(ini.FileName()).ReadString("Font", "Name", ""), "IPAゴシック");
  IniFile batch(ini.FileName(), IniWrites::kOnCommit);
  EXPECT_THROW(batch.WriteString("Picture", "3", "/한.jpg"), IniWriteError);
}

TEST(ParseProfileInteger, AcceptsDecimalAndLongHexOnly) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {
      {"10", 10},
      {"0x0A", 10},
      {"0X1f", 31},
      {"0x", -1},
      {"0X", -1},
      {"abc", -1},
      {"", -1},
      {" 7 ", 7},
      {"-3", -3},
      {"+4", 4},
      {"-", -1},
      {"10abc", -1},
      {"1 0", -1},
      {"0x1g", -1},
      {"0xFFFFFFFF", -1},
      {"0x7FFFFFFF", 2147483647},
      {"0x100000000", -1},
      {"2147483647", 2147483647},
      {"2147483648", -1},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", -1},
      {"99999999999999999999", -1},
      {"007", 7},
      {"-0x10", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseProfileInteger(c.text, -1), c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(ParseProfileInteger("0x80000000", 5), static_cast<int>(0x80000000u));
  EXPECT_EQ(ParseProfileInteger("junk", 5), 5);
}

TEST(IniFile, ReadsIntegersAndBooleansWithDefaults) {
  TempDir temp;
  const std::string file =
      temp.Write("Settei.ini", "[Settei]\nSpeed=abc\nWaitTime=0x0A\nImiHyoji=2\nAdd=0\nEmpty=\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("Settei", "Speed", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Settei", "WaitTime", 5), 10);
  EXPECT_EQ(ini.ReadInteger("Settei", "Empty", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Settei", "Absent", 5), 5);
  EXPECT_TRUE(ini.ReadBool("Settei", "ImiHyoji", false));
  EXPECT_FALSE(ini.ReadBool("Settei", "Add", true));
  EXPECT_TRUE(ini.ReadBool("Settei", "Speed", true));  // junk gives the default 1
  EXPECT_FALSE(ini.ReadBool("Settei", "Speed", false));
  EXPECT_TRUE(ini.ValueExists("settei", "EMPTY"));
}

}  // namespace
}  // namespace platform
