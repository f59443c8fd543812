#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/data_folder.h"
#include "settings/settings_store.h"

namespace {

using testing_support::DataFolder;
using testing_support::Read;

TEST(SaverSettings, NoSettingsFileGivesTheFixedDefaults) {
  DataFolder d;
  d.Write("record.dat", "\x02");
  const auto s = Read(d, 5, [](const std::string&) { return true; });
  EXPECT_EQ(s.stepInterval, 700);
  EXPECT_EQ(s.waitTime, 3000);
  EXPECT_FALSE(s.ikisakiHyoji);
  EXPECT_FALSE(s.imiHyoji);
  EXPECT_FALSE(s.userPriority);
  EXPECT_FALSE(s.musicOn);
  EXPECT_FALSE(s.font.has_value());
  EXPECT_EQ(s.wallpaperFiles,
            (std::vector<std::string>{d.Dir() + "Kabe_0.jpg", d.Dir() + "Kabe_1.jpg",
                                      d.Dir() + "Kabe_2.jpg"}));
}

TEST(SaverSettings, FileWithoutTheFourKeysTurnsBothFlagsOn) {
  DataFolder d;
  d.Ini("[Picture]\r\nAdd=0\r\n");
  const auto s = Read(d);
  EXPECT_EQ(s.stepInterval, 700);
  EXPECT_EQ(s.waitTime, 3000);
  EXPECT_TRUE(s.ikisakiHyoji);
  EXPECT_TRUE(s.imiHyoji);
}

struct TimingCase {
  const char* speed;
  const char* wait;
  int stepInterval;
  int waitTime;
};

TEST(SaverSettings, SpeedAndWaitBecomeMilliseconds) {
  const TimingCase cases[] = {
      {"1", "1", 300, 1000},
      {"10", "10", 1200, 5500},
      {"0x0A", "0X1", 1200, 1000},
      {"5", "5", 700, 3000},
      {"abc", "", 700, 3000},
      {"0", "0", 200, 500},
      // Used as read, without clamping to the sliders' range, but never a negative pause.
      {"12", "-1", 1400, 0},
      {"-9", "3", 0, 2000},
      {"2147483647", "3", 2147483647, 2000},
  };
  for (const TimingCase& tc : cases) {
    DataFolder d;
    d.Ini(std::string("[Settei]\nSpeed=") + tc.speed + "\nWaitTime=" + tc.wait +
          "\nIkisakiHyoji=0\nImiHyoji=0\n");
    const auto s = Read(d);
    EXPECT_EQ(s.stepInterval, tc.stepInterval) << "Speed=" << tc.speed;
    EXPECT_EQ(s.waitTime, tc.waitTime) << "WaitTime=" << tc.wait;
    EXPECT_FALSE(s.ikisakiHyoji);
    EXPECT_FALSE(s.imiHyoji);
  }
}

struct PictureCase {
  const char* name;
  std::string picture;                 // [Picture] body; FILE_n stands for an existing file
  std::vector<std::string> userFiles;  // existing files expected after the three built-ins
};

TEST(SaverSettings, UserWallpapersThatExistFollowTheBuiltIns) {
  const PictureCase cases[] = {
      {"missing middle of three", "Add=1\nCount=3\n3=FILE_a\n4=MISSING\n5=FILE_b\n", {"a", "b"}},
      {"missing first of two", "Add=1\nCount=2\n3=MISSING\n4=FILE_b\n", {"b"}},
      {"count 0", "Add=1\nCount=0\n3=FILE_a\n", {}},
      {"negative count", "Add=1\nCount=-2\n3=FILE_a\n", {}},
      {"count absent reads one", "Add=1\n3=FILE_a\n4=FILE_b\n", {"a"}},
      {"keys beyond the count ignored", "Add=1\nCount=1\n3=FILE_b\n4=FILE_a\n", {"b"}},
      {"Add off", "Add=0\nCount=2\n3=FILE_a\n4=FILE_b\n", {}},
  };
  for (const PictureCase& pc : cases) {
    DataFolder d;
    const std::string a = d.Write("a.jpg", "x");
    const std::string b = d.Write("b.bmp", "x");
    std::string body = pc.picture;
    for (auto [token, path] :
         {std::pair{std::string("FILE_a"), a}, std::pair{std::string("FILE_b"), b},
          std::pair{std::string("MISSING"), d.Dir() + "gone.jpg"}}) {
      for (std::size_t at; (at = body.find(token)) != std::string::npos;)
        body.replace(at, token.size(), path);
    }
    d.Ini("[Picture]\n" + body);
    std::vector<std::string> want{d.Dir() + "Kabe_0.jpg", d.Dir() + "Kabe_1.jpg",
                                  d.Dir() + "Kabe_2.jpg"};
    for (const std::string& f : pc.userFiles) want.push_back(f == "a" ? a : b);
    EXPECT_EQ(Read(d).wallpaperFiles, want) << pc.name;
  }
}

TEST(SaverSettings, HostileFilesEndTheReadingQuickly) {
  DataFolder d;
  // The wallpaper count is cut where the dialog cuts it, so no count keeps start-up busy.
  const std::string a = d.Write("a.jpg", "x");
  d.Ini("[Picture]\nAdd=1\nCount=2147483647\n" +
        std::to_string(settings::kMaxWallpaperEntries + 2) + "=" + a + "\n" +
        std::to_string(settings::kMaxWallpaperEntries + 3) + "=" + a + "\n");
  EXPECT_EQ(Read(d).wallpaperFiles.size(), 4u);
}

TEST(SaverSettings, UserPriorityNeedsAValidUserIdiom) {
  struct Case {
    const char* yusen;
    int userIdioms;
    bool priority;
  };
  const Case cases[] = {{"1", 0, false}, {"1", 3, true}, {"0", 3, false}, {nullptr, 3, false}};
  for (const Case& c : cases) {
    DataFolder d;
    d.Ini(c.yusen ? std::string("[TuikaJukugo]\nYusen=") + c.yusen + "\n" : "[Settei]\n");
    EXPECT_EQ(Read(d, c.userIdioms).userPriority, c.priority)
        << (c.yusen ? c.yusen : "absent") << " U=" << c.userIdioms;
  }
}

TEST(SaverSettings, MusicSettings) {
  struct Case {
    const char* bgm;
    bool on;
    const char* file;
    const char* folder;
    bool random;
  };
  const Case cases[] = {
      {"Single=0\nRandom=0\nName=/m/a.mid\nFolda=/m\n", false, "", "", false},
      {"Single=1\nName=/m/a.mid\nFolda=/m\n", true, "/m/a.mid", "", false},
      {"Random=1\nName=/m/a.mid\nFolda=/m\n", true, "", "/m", true},
      // Both on: both sources are handed on; the player prefers the folder when it is set.
      {"Single=1\nRandom=1\nName=/m/a.mid\nFolda=/m\n", true, "/m/a.mid", "/m", true},
  };
  for (const Case& c : cases) {
    DataFolder d;
    d.Ini(std::string("[BGM]\n") + c.bgm);
    const auto s = Read(d);
    EXPECT_EQ(s.musicOn, c.on) << c.bgm;
    EXPECT_EQ(s.musicFile, c.file) << c.bgm;
    EXPECT_EQ(s.musicFolder, c.folder) << c.bgm;
    EXPECT_EQ(s.musicRandom, c.random) << c.bgm;
  }
}

TEST(SaverSettings, FontFaceOnlyWhenInstalledAndStyleOnlyWithRecordDat) {
  struct Case {
    const char* name;
    const char* fontSection;  // null: no Font section
    const char* recordDat;    // null: no record.dat
    bool installed;
    bool faceGiven;
    std::optional<std::uint8_t> style;
  };
  const Case cases[] = {
      {"not installed ignores record.dat", "Name=IPAPMincho\n", "\x01", false, false, std::nullopt},
      {"installed without record.dat keeps the style", "Name=IPAPMincho\n", nullptr, true, true,
       std::nullopt},
      {"installed with empty record.dat is regular", "Name=IPAPMincho\n", "", true, true,
       std::uint8_t{0}},
      {"installed with italic underline", "Name=IPAPMincho\n", "\x06\x01", true, true,
       std::uint8_t{6}},
      {"only the style bits of record.dat", "Name=IPAPMincho\n", "\xF5", true, true,
       std::uint8_t{5}},
      {"no key", nullptr, "\x01", true, false, std::nullopt},
  };
  for (const Case& c : cases) {
    DataFolder d;
    d.Ini(c.fontSection ? std::string("[Font]\n") + c.fontSection : "[Settei]\n");
    if (c.recordDat) d.Write("record.dat", c.recordDat);
    std::vector<std::string> asked;
    const auto s = Read(d, 0, [&](const std::string& face) {
      asked.push_back(face);
      return c.installed;
    });
    ASSERT_EQ(s.font.has_value(), c.faceGiven) << c.name;
    EXPECT_EQ(s.storedFontFace.has_value(), c.fontSection != nullptr) << c.name;
    if (c.fontSection) {
      EXPECT_EQ(asked, std::vector<std::string>{"IPAPMincho"}) << c.name;
    }
    if (s.font) {
      EXPECT_EQ(s.font->face, "IPAPMincho");
      EXPECT_EQ(s.font->style, c.style) << c.name;
    }
  }
}

TEST(SaverSettings, JapaneseFaceNameAndNullInstalledTest) {
  DataFolder d;
  d.Ini("[Font]\nName=ＭＳ Ｐ明朝\n");
  EXPECT_FALSE(Read(d).font.has_value()) << "no installed-font test: not installed";
  const auto s = Read(d, 0, [](const std::string& face) { return face == "ＭＳ Ｐ明朝"; });
  ASSERT_TRUE(s.font.has_value());
  EXPECT_EQ(s.font->face, "ＭＳ Ｐ明朝");
}

}  // namespace
