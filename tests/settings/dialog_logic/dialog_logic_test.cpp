// The dialogs' logic with toolkit-free windows and desktop, on each system's own settings
// file calls: what FormShow loads, what the handlers and FormClose write back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/text/text.h"
#include "settings/dialog_logic/fake_dialog_services.h"
#include "settings/dialog_logic/fake_views.h"
#include "settings/dialogs/folder_has_midi.h"
#include "support/temp_dir.h"

namespace settings::testing {
namespace {

using C = SetteiControl;

class DialogLogicTest : public ::testing::Test {
 protected:
  DialogLogicTest() {
    view_.logic = &logic_;
    logic_.SetPictureDialog(pictureView_, pictures_);
  }

  std::string Data(const std::string& name) const {
    return dir_.path() + "/VelmorandiScrData/" + name;
  }
  // Through the file layer: the names are UTF-8 on every system.
  static void Write(const std::string& path, std::string_view bytes) {
    ASSERT_TRUE(platform::WriteWholeFileAtomic(path, bytes)) << path;
  }
  // Settei.ini as the system's own editor saves it: in the code page.
  void WriteSettings(const std::string& text) const {
    Write(Data("Settei.ini"), platform::Utf8ToAnsi(text));
  }
  std::optional<std::string> Key(const std::string& section, const std::string& key) const {
    const platform::IniFile ini(Data("Settei.ini"));
    if (!ini.ValueExists(section, key)) return std::nullopt;
    return ini.ReadString(section, key, "");
  }

  // Data and user files in one folder beside the executable; the siblings' folders too.
  static platform::AppPaths PathsIn(const std::string& exeDir) {
    platform::MakeDirectories(exeDir + "/VelmorandiScrData");
    platform::AppPaths paths = platform::SingleFolderPaths(exeDir + "/VelmorandiScrData/");
    paths.exeDir = paths.dataHome = exeDir + "/";
    return paths;
  }

  testing_support::TempDir dir_;
  platform::AppPaths paths_ = PathsIn(dir_.path());
  FakeDialogServices fake_;
  FakeSetteiView view_;
  SetteiLogic logic_{view_, fake_, paths_};
  PictureSelectLogic pictures_{fake_, paths_};
  FakePictureView pictureView_{pictures_};
};

TEST_F(DialogLogicTest, ShowLoadsTheControlsAndCloseWritesThemBack) {
  // 40 UTF-16 characters, most of them outside ASCII.
  const std::string song = "C:/音楽/朝の散歩/二〇二六年/ABCDEFGHIJKLMNOPQRS.mid";
  ASSERT_EQ(platform::Utf8ToUtf16(song).size(), 40u);
  Write(Data("追加問題.txt"),
        platform::Utf8ToAnsi(std::string(15, '\n') +
                             "一石二鳥\nひとつで二つの得\nいっせきにちょう\n"));
  Write(Data("record.dat"), "\x03");
  WriteSettings(
      "[Picture]\nAdd=1\nCount=2\n3=C:/壁紙/一.jpg\n4=C:/壁紙/二.bmp\n"
      "[BGM]\nSingle=1\nName=" +
      song +
      "\nFolda=D:/曲\n"
      "[Font]\nName=ＭＳ Ｐゴシック\n[TuikaJukugo]\nYusen=1\n"
      "[Settei]\nSpeed=2\nWaitTime=12\nIkisakiHyoji=0\n");
  logic_.FormShow();

  EXPECT_EQ(view_.itemIndex, 0);
  EXPECT_TRUE(view_.controls[C::kBtnSingle].enabled);
  // Shown as the system's users write paths.
  EXPECT_EQ(view_.controls[C::kLblMusicName].text,
            "指定曲: " + platform::DisplayPath("C:/音楽/朝の散歩...DEFGHIJKLMNOPQRS.mid"));
  EXPECT_EQ(view_.controls[C::kLblRandomFolda].text,
            "指定フォルダ: " + platform::DisplayPath("D:/曲"));
  EXPECT_EQ(view_.controls[C::kLblFontName].text, "設定書体: ＭＳ Ｐゴシック ");
  ASSERT_TRUE(view_.labelFont);
  EXPECT_EQ(view_.labelFont->style, 3);
  EXPECT_EQ(pictures_.Entries(), (std::vector<std::string>{"C:/壁紙/一.jpg", "C:/壁紙/二.bmp"}));
  EXPECT_TRUE(view_.controls[C::kCheckBoxHaikei].checked);
  EXPECT_TRUE(view_.controls[C::kCheckBoxYusen].checked);
  EXPECT_EQ(view_.controls[C::kTrackBarSpeed].position, 2);
  EXPECT_EQ(view_.controls[C::kTrackBarWaitTime].position, 10);
  EXPECT_FALSE(view_.controls[C::kCheckBoxIkisaki].checked);
  EXPECT_EQ(fake_.modalRuns, 0);

  view_.SetPosition(C::kTrackBarSpeed, 7);
  logic_.FormClose();
  EXPECT_EQ(Key("Settei", "Speed"), "7");
  EXPECT_EQ(Key("Settei", "WaitTime"), "10");
  EXPECT_EQ(Key("Settei", "IkisakiHyoji"), "0");
  EXPECT_EQ(Key("Settei", "ImiHyoji"), "1");
  EXPECT_EQ(Key("TuikaJukugo", "Yusen"), "1");
  EXPECT_EQ(Key("BGM", "Name"), song);
  EXPECT_EQ(Key("Picture", "Add"), "1");
  EXPECT_TRUE(fake_.errors.empty());
}

TEST_F(DialogLogicTest, MusicItemsWriteTheirModeOnlyWhenAPathIsKnown) {
  const std::string midi = dir_.path() + "/曲/奥";
  platform::MakeDirectories(midi);
  Write(midi + "/walk.mid", "MThd");
  const std::string empty = dir_.path() + "/空";
  platform::MakeDirectories(empty);
  struct Case {
    int item;
    std::optional<std::string> answer;
    std::optional<std::string> single, random, name, folda;
    std::vector<std::string> messages;
  };
  const std::string song = "C:/曲/朝.mid";
  const std::string folder = dir_.path() + "/曲";
  const Case cases[] = {
      {0, song, "1", "0", song, {}, {}},
      {0, std::nullopt, {}, {}, {}, {}, {}},
      {1, folder, "0", "1", {}, folder, {}},
      {1, empty, {}, {}, {}, {}, {SetteiTexts::kNoMidiFromRadio}},
      {2, std::nullopt, "0", "0", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    std::filesystem::remove(Data("Settei.ini"));
    fake_ = FakeDialogServices();
    fake_.fileAnswers = {c.answer};
    fake_.folderAnswers = {c.answer};
    view_.itemIndex = -1;
    view_.SetItemIndex(c.item);
    EXPECT_EQ(Key("BGM", "Single"), c.single);
    EXPECT_EQ(Key("BGM", "Random"), c.random);
    EXPECT_EQ(Key("BGM", "Name"), c.name);
    EXPECT_EQ(Key("BGM", "Folda"), c.folda);
    EXPECT_EQ(fake_.messages, c.messages);
    EXPECT_FALSE(view_.controls[C::kLblKakunin].visible);
  }
}

TEST_F(DialogLogicTest, TheWallpaperListIsWrittenInItsOrderEachTimeTheDialogCloses) {
  WriteSettings("[Picture]\nCount=4\n3=a\n4=b\n5=c\n6=d\n");
  pictures_.PutEntry(0, "C:/壁紙/一.jpg");
  fake_.pictureAnswer = {"C:/壁紙/二.bmp", "C:/壁紙/二.bmp"};
  fake_.duringModal = [&](platform::ui::ModalDialog&) {
    pictures_.BtnSanshoClick();
    pictureView_.selected = 0;
    pictures_.ListBox1Click();
    EXPECT_TRUE(pictureView_.deleteEnabled);
    pictures_.BtnDelClick();
  };
  logic_.BtnHaikeiClick();
  EXPECT_EQ(pictureView_.rows, (std::vector<std::string>{"C:/壁紙/二.bmp", "C:/壁紙/二.bmp"}));
  EXPECT_EQ(Key("Picture", "Count"), "2");
  EXPECT_EQ(Key("Picture", "3"), "C:/壁紙/二.bmp");
  EXPECT_EQ(Key("Picture", "4"), "C:/壁紙/二.bmp");
  EXPECT_EQ(Key("Picture", "5"), "c");  // beyond Count: left, never read
}

// A second settings dialog on the same folder, as a second start of the program makes it.
struct SecondDialog {
  SecondDialog(FakeDialogServices& services, const platform::AppPaths& paths)
      : logic(view, services, paths), pictures(services, paths), pictureView(pictures) {
    view.logic = &logic;
    logic.SetPictureDialog(pictureView, pictures);
  }
  FakeSetteiView view;
  SetteiLogic logic;
  PictureSelectLogic pictures;
  FakePictureView pictureView;
};

// Both shown, A changed and closed first, then B: each close writes only what its own
// dialog changed, so B does not write back A's old values.
TEST_F(DialogLogicTest, TwoDialogsOnOneFileKeepEachOthersChanges) {
  using Change = std::function<void(FakeSetteiView&)>;
  const auto tick = [](C box, bool on) {
    return [=](FakeSetteiView& v) { v.SetChecked(box, on); };
  };
  const auto slide = [](C slider, int to) {
    return [=](FakeSetteiView& v) { v.SetPosition(slider, to); };
  };
  struct Case {
    const char* name;
    std::optional<std::string> settings;  // none: no Settei.ini when both are shown
    Change a, b;
    std::vector<std::pair<std::string, std::string>> keys;  // Settei's after both closed
  };
  const std::string stored = "[Settei]\nSpeed=5\nWaitTime=5\nIkisakiHyoji=1\nImiHyoji=1\n";
  const Case cases[] = {
      {"one box each",
       stored,
       tick(C::kCheckBoxIkisaki, false),
       tick(C::kCheckBoxImiHyoji, false),
       {{"IkisakiHyoji", "0"}, {"ImiHyoji", "0"}, {"Speed", "5"}}},
      {"one slider each",
       stored,
       slide(C::kTrackBarSpeed, 2),
       slide(C::kTrackBarWaitTime, 9),
       {{"Speed", "2"}, {"WaitTime", "9"}}},
      {"no file at first: A's close makes it, B keeps it",
       std::nullopt,
       slide(C::kTrackBarWaitTime, 1),
       tick(C::kCheckBoxImiHyoji, false),
       {{"WaitTime", "1"}, {"ImiHyoji", "0"}, {"IkisakiHyoji", "1"}, {"Speed", "5"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Data("Settei.ini"));
    if (c.settings) WriteSettings(*c.settings);
    SecondDialog a(fake_, paths_), b(fake_, paths_);
    a.logic.FormShow();
    b.logic.FormShow();
    c.a(a.view);
    a.logic.FormClose();
    c.b(b.view);
    b.logic.FormClose();
    for (const auto& [key, value] : c.keys) EXPECT_EQ(Key("Settei", key), value) << key;
  }
}

// A wallpaper list another dialog stored after this one was shown stays, and so does its
// switch: this dialog neither writes its older list back nor turns the wallpapers off.
TEST_F(DialogLogicTest, AWallpaperListStoredByAnotherDialogStays) {
  WriteSettings("[Picture]\nAdd=0\nCount=0\n");
  SecondDialog other(fake_, paths_);
  logic_.FormShow();
  other.logic.FormShow();
  fake_.pictureAnswer = {"C:/壁紙/新.jpg"};
  fake_.duringModal = [&](platform::ui::ModalDialog&) { other.pictures.BtnSanshoClick(); };
  other.view.SetChecked(C::kCheckBoxHaikei, true);
  other.logic.FormClose();
  fake_.duringModal = nullptr;
  logic_.BtnHaikeiClick();  // shown and closed unchanged
  logic_.FormClose();
  EXPECT_EQ(Key("Picture", "Add"), "1");
  EXPECT_EQ(Key("Picture", "Count"), "1");
  EXPECT_EQ(Key("Picture", "3"), "C:/壁紙/新.jpg");
}

TEST_F(DialogLogicTest, ACountBeyondTheStoredPicturesWritesNoEmptyEntries) {
  WriteSettings("[Picture]\nAdd=1\nCount=2147483647\n3=C:/a.jpg\n4=\n5=C:/b.jpg\n");
  logic_.FormShow();
  EXPECT_EQ(pictures_.Entries(), (std::vector<std::string>{"C:/a.jpg", "C:/b.jpg"}));
  fake_.pictureAnswer = {"C:/c.jpg"};
  fake_.duringModal = [&](platform::ui::ModalDialog&) { pictures_.BtnSanshoClick(); };
  logic_.BtnHaikeiClick();  // a picture is added: the whole list is written, without gaps
  EXPECT_EQ(Key("Picture", "Count"), "3");
  EXPECT_EQ(Key("Picture", "3"), "C:/a.jpg");
  EXPECT_EQ(Key("Picture", "4"), "C:/b.jpg");
  EXPECT_EQ(Key("Picture", "5"), "C:/c.jpg");
  EXPECT_EQ(Key("Picture", "6"), std::nullopt);
}

TEST_F(DialogLogicTest, AFileNothingCanOpenIsNamedInAMessage) {
  Write(Data("追加問題.txt"), "");
  struct Case {
    const char* name;
    void (SetteiLogic::*click)();
    bool openFails;
    bool noEditor;
    bool startFails;
    std::string unopened;  // "" when it opens
  };
  const Case cases[] = {
      {"help", &SetteiLogic::BtnHelpClick, true, false, false, Data("ReadMe.txt")},
      {"link", &SetteiLogic::LblURLClick, true, false, false, Data("ReadMe.txt")},
      {"help opens", &SetteiLogic::BtnHelpClick, false, false, false, ""},
      {"no editor", &SetteiLogic::BtnTuikaClick, false, true, true, Data("追加問題.txt")},
      {"editor fails", &SetteiLogic::BtnTuikaClick, false, false, true, Data("追加問題.txt")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake_ = FakeDialogServices();
    fake_.openFails = c.openFails;
    if (c.noEditor) fake_.editorCommand.reset();
    fake_.startFails = c.startFails;
    (logic_.*c.click)();
    if (c.unopened.empty()) {
      EXPECT_TRUE(fake_.messages.empty());
      continue;
    }
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0], CannotOpenMessage(c.unopened));
    EXPECT_NE(fake_.messages[0].find(platform::DisplayPath(c.unopened)), std::string::npos);
  }
}

TEST(FolderHasMidiOnThisSystem, SearchesEveryFolderBelowOnce) {
  testing_support::TempDir dir;
  const std::string root = dir.path();
  std::filesystem::create_directories(root + "/a/b/c");
  std::filesystem::create_directories(root + "/a/x");
  std::filesystem::create_directories(root + "/none/deeper");
  std::ofstream(root + "/a/b/c/song.mid") << "MThd";
  std::ofstream(root + "/none/deeper/song.MID") << "MThd";
  for (const auto& [folder, expected] :
       std::vector<std::pair<std::string, bool>>{{root, true},
                                                 {root + "/a/x", false},
                                                 {root + "/none", false},
                                                 {root + "/missing", false}}) {
    EXPECT_EQ(FolderHasMidi(folder), expected) << folder;
  }
}

}  // namespace
}  // namespace settings::testing
