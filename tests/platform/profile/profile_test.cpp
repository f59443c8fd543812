#include "platform/profile/profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/fs/fs.h"
#include "platform/text/text.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::TempDir;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Get(const std::string& file, const char* section, const char* key,
                const char* defaultValue = "<none>") {
  char buffer[4096];
  const DWORD length =
      GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(length, std::strlen(buffer));
  return buffer;
}

const char kSample[] =
    "; settings of the saver\r\n"
    "[Settei]\r\n"
    "Speed=3\r\n"
    "  waittime =  7  \r\n"
    "Speed=9\r\n"
    "quoted=\"a b \"\r\n"
    "no equals sign here\r\n"
    "\r\n"
    "[Unknown]\r\n"
    "x=1\r\n"
    "[settei]\r\n"
    "Later=1\r\n";

TEST(ProfileRead, MatchesNamesRegardlessOfCaseAndTrimsBlanks) {
  TempDir temp;
  const std::string file = temp.File("Settei.ini");
  WriteFile(file, kSample);
  const struct {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"Settei", "Speed", "3"},  // the first of two equal keys
      {"SETTEI", "speed", "3"},
      {" Settei ", " Speed ", "3"},
      {"Settei", "WaitTime", "7"},
      {"Settei", "quoted", "a b "},   // quotes dropped, blanks inside kept
      {"Settei", "Later", "<none>"},  // only the first equal section is read
      {"Settei", "no equals sign here", "<none>"},
      {"Unknown", "X", "1"},
      {"Missing", "Speed", "<none>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(Get(file, c.section, c.key), c.expected);
  }
  EXPECT_EQ(Get(temp.File("none.ini"), "Settei", "Speed", "dflt  "), "dflt");
  EXPECT_EQ(Get(file, "Settei", "none", nullptr), "");
  EXPECT_EQ(Get(file, nullptr, "Speed"), "");
}

TEST(ProfileRead, CutsLongValuesToTheBufferOnCharacterBoundaries) {
  TempDir temp;
  const std::string file = temp.File("a.ini");
  WriteFile(file, "[S]\nascii=" + std::string(3000, 'x') + "\nkana=アイウ\n");
  char buffer[5];
  EXPECT_EQ(GetPrivateProfileStringA("S", "ascii", "", buffer, 5, file.c_str()), 4u);
  EXPECT_STREQ(buffer, "xxxx");
  // Four bytes would split "イ" (3 bytes each): only "ア" fits whole.
  EXPECT_EQ(GetPrivateProfileStringA("S", "kana", "", buffer, 5, file.c_str()), 3u);
  EXPECT_STREQ(buffer, "ア");
  EXPECT_EQ(IniFile(file).ReadString("S", "ascii", ""), std::string(2047, 'x'));
}

TEST(ProfileRead, ReadsCp932AndUtf8FilesAlike) {
  TempDir temp;
  const std::string text = "[Font]\nName=ＭＳ Ｐ明朝\n";
  WriteFile(temp.File("utf8.ini"), "\xEF\xBB\xBF" + text);
  WriteFile(temp.File("ansi.ini"), Utf8ToAnsi(text));
  EXPECT_EQ(Get(temp.File("utf8.ini"), "Font", "Name"), "ＭＳ Ｐ明朝");
  EXPECT_EQ(Get(temp.File("ansi.ini"), "Font", "Name"), "ＭＳ Ｐ明朝");
}

TEST(ProfileWrite, ChangesOnlyTheLinesItMust) {
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string before;
    std::string after;
  } cases[] = {
      {"replace keeps key spelling and other lines", "settei", "SPEED", "8",
       "; c\n[Settei]\n  Speed = 3\nSpeed=9\n\n[X]\n", "; c\n[Settei]\nSpeed=8\nSpeed=9\n\n[X]\n"},
      {"new key after the section's last key", "Settei", "New", "v",
       "[Settei]\na=1\n; lead-in of X\n\n[X]\nb=2\n",
       "[Settei]\na=1\nNew=v\n; lead-in of X\n\n[X]\nb=2\n"},
      {"new key in an empty section", "X", "k", "v", "[X]\n\n[Y]\n", "[X]\nk=v\n\n[Y]\n"},
      {"new section at the end, line end added", "BGM", "Name", "/m/a.mid", "[A]\nx=1",
       "[A]\nx=1\n[BGM]\nName=/m/a.mid\n"},
      {"CR LF becomes LF", "A", "x", "2", "[A]\r\nx=1\r\n;c\r\n", "[A]\nx=2\n;c\n"},
      {"remove key takes every copy", "A", "x", nullptr, "[A]\nx=1\ny=2\nX=3\n", "[A]\ny=2\n"},
      {"remove section takes its lines and every copy", "A", nullptr, nullptr,
       ";top\n[A]\nx=1\n;in A\n[B]\ny=2\n[a]\nz=3\n", ";top\n[B]\ny=2\n"},
      {"removing the first section takes the byte-order mark", "A", nullptr, nullptr,
       "\xEF\xBB\xBF[A]\r\nx=1\r\n[B]\r\ny=2", "[B]\ny=2\n"},
      {"Japanese value", "Font", "Name", "ＭＳ Ｐ明朝", "", "[Font]\nName=ＭＳ Ｐ明朝\n"},
      {"empty value", "A", "x", "", "[A]\nx=1\n", "[A]\nx=\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    const std::string file = temp.File("Settei.ini");
    WriteFile(file, c.before);
    EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()), 1);
    EXPECT_EQ(ReadWholeFile(file), c.after);
  }
}

// Writes to one document in a row: each finds the lines that the earlier ones moved.
TEST(IniFile, WritesInARowFindTheLinesEarlierOnesMoved) {
  TempDir temp;
  const std::string file = temp.File("Settei.ini");
  WriteFile(file, "\xEF\xBB\xBF[A]\r\na=1\r\n; B follows\r\n[B]\r\nb=1\r\n[C]\r\nc=1");
  IniFile ini(file, IniWrites::kOnCommit);
  ini.WriteString("A", "a", "a longer value");
  ini.WriteString("A", "new", "1");
  ini.WriteString("B", "b", "");
  ini.WriteString("D", "d", "4");
  ini.WriteString("C", "c2", "3");
  ini.WriteString("a", "A", "5");
  EXPECT_EQ(ini.ReadString("C", "C2", ""), "3");
  ini.Commit();
  EXPECT_EQ(ReadWholeFile(file),
            "\xEF\xBB\xBF[A]\na=5\nnew=1\n; B follows\n[B]\nb=\n[C]\nc=1\nc2=3\n[D]\nd=4\n");
}

TEST(ProfileWrite, CreatesTheFileAndReadsBackWhatItWrote) {
  TempDir temp;
  IniFile ini(temp.File("Settei.ini"));
  ini.WriteInteger("Settei", "Speed", 4);
  ini.WriteBool("Settei", "ImiHyoji", false);
  ini.WriteString("Picture", "3", "/home/u/壁紙.jpg");
  EXPECT_EQ(ReadWholeFile(ini.FileName()),
            "[Settei]\nSpeed=4\nImiHyoji=0\n[Picture]\n3=/home/u/壁紙.jpg\n");
  const IniFile fresh(ini.FileName());
  EXPECT_EQ(fresh.ReadInteger("Settei", "Speed", 5), 4);
  EXPECT_FALSE(fresh.ReadBool("Settei", "ImiHyoji", true));
  EXPECT_TRUE(fresh.ReadBool("Settei", "IkisakiHyoji", true));
  EXPECT_EQ(fresh.ReadString("Picture", "3", ""), "/home/u/壁紙.jpg");
  EXPECT_TRUE(fresh.ValueExists("Picture", "3"));
  EXPECT_FALSE(fresh.ValueExists("Picture", "4"));
}

TEST(ProfileWrite, RemovingWhatIsAbsentCreatesNothing) {
  TempDir temp;
  const std::string file = temp.File("Settei.ini");
  EXPECT_EQ(WritePrivateProfileStringA("A", "x", nullptr, file.c_str()), 1);
  EXPECT_EQ(WritePrivateProfileStringA("A", nullptr, nullptr, file.c_str()), 1);
  EXPECT_FALSE(FileExists(file));
}

TEST(ProfileWrite, RefusedWritesLeaveEverythingUnchanged) {
  TempDir temp;
  const std::string file = temp.File("Settei.ini");
  const std::string original = "[A]\r\nx=1\r\n";
  WriteFile(file, original);
  WriteFile(temp.File("plain"), "p");
  const struct {
    const char* name;
    std::string path;
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"missing folder", temp.File("none/Settei.ini"), "A", "x", "2"},
      {"parent is a file", temp.File("plain/Settei.ini"), "A", "x", "2"},
      {"target is a folder", temp.path(), "A", "x", "2"},
      {"line break in value", file, "A", "x", "2\n[B]"},
      {"line break in key", file, "A", "x\ny", "2"},
      {"equals sign in key", file, "A", "x=y", "2"},
      {"key looks like a comment", file, "A", ";x", "2"},
      {"empty key", file, "A", " ", "2"},
      {"line break in section", file, "A]\n[B", "x", "2"},
      {"null section", file, nullptr, "x", "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, c.path.c_str()), 0);
  }
  EXPECT_EQ(ReadWholeFile(file), original);
  EXPECT_EQ(ReadWholeFile(temp.File("plain")), "p");
  EXPECT_EQ(ListDirectory(temp.path()).size(), 2u);
  // A missing folder's refusal is checked by the contract suite, on every system.
}

TEST(IniFile, StrayBytesAndFrozenFilesLoseNothing) {
  TempDir temp;
  // A UTF-8 file with a Latin-1 comment, a CP932 line, and a line of bytes that neither
  // encoding holds.
  const std::string original =
      "; caf\xE9 au lait\r\n[Font]\r\nName=IPAゴシック\r\n[Picture]\r\n3=/home/u/夜景.jpg\r\n"
      "4=/home/u/\x96\xE9\x8C\x69.jpg\r\n5=/home/u/\xFF\xFE.jpg\r\n";
  const std::string path = temp.Write("Settei.ini", original);
  {
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Font", "Name", ""), "IPAゴシック");
    EXPECT_EQ(ini.ReadString("Picture", "3", ""), "/home/u/夜景.jpg");
    EXPECT_EQ(ini.ReadString("Picture", "4", ""), "/home/u/夜景.jpg");
    // The dialog writes every entry back as it read it: nothing of the file may change.
    for (const char* key : {"3", "4", "5"}) {
      ini.WriteString("Picture", key, ini.ReadString("Picture", key, ""));
    }
    ini.WriteInteger("Settei", "Speed", 7);
  }
  std::string expected = original;
  for (std::size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 1);
  EXPECT_EQ(ReadWholeFile(path), expected + "[Settei]\nSpeed=7\n");

  // A file its user made read-only stays as it is, and the refusal names it.
  ::chmod(path.c_str(), 0444);
  IniFile frozen(path);
  try {
    frozen.WriteInteger("Settei", "Speed", 3);
    ADD_FAILURE() << "a read-only file was written";
  } catch (const IniWriteError& error) {
    EXPECT_EQ(error.what(), path + " に書き込めません");
  }
  EXPECT_EQ(ReadWholeFile(path), expected + "[Settei]\nSpeed=7\n");
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"Settei.ini"});
}

TEST(IniFile, ParsesTheFileOnceAndWritesABatchOnce) {
  TempDir temp;
  const std::string path = temp.Write("Settei.ini", "[Picture]\nCount=2\n");
  IniFile ini(path, IniWrites::kOnCommit);
  EXPECT_EQ(ini.ReadInteger("Picture", "Count", 0), 2);
  // Reads answer from the first parse: the file is not read again per key.
  temp.Write("Settei.ini", "[Picture]\nCount=9\n");
  EXPECT_EQ(ini.ReadInteger("Picture", "Count", 0), 2);
  for (int i = 0; i < 4096; ++i) ini.WriteString("Picture", std::to_string(i + 3), "x");
  EXPECT_EQ(ReadWholeFile(path), "[Picture]\nCount=9\n");  // nothing written before Commit
  EXPECT_EQ(ini.ReadString("Picture", "4098", ""), "x");
  ini.Commit();
  EXPECT_EQ(IniFile(path).ReadString("Picture", "4098", ""), "x");
  EXPECT_EQ(IniFile(path).ReadInteger("Picture", "Count", 0), 2);
}

}  // namespace
}  // namespace platform
