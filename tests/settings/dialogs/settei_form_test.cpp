// The settings dialog driven through its handlers with the desktop replaced by a double:
// what each handler reads and writes, and how FormShow sets up the controls.
#include <sys/stat.h>

#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/gdi/gdi.h"
#include "platform/ui/dialogs/linux/font_faces.h"
#include "settings/dialogs/dialog_fixture.h"
#include "settings/dialogs/shorten_path.h"
#include "settings/dialogs/user_words_export.h"
#include "settings/settings_store.h"

namespace settings::testing {
namespace {

using platform::ui::FontChoice;

class SetteiFormTest : public DialogTest {};

TEST_F(SetteiFormTest, FormShowLoadsEveryControlFromTheStoredSettings) {
  InstallSibling(Sibling::kQuarnel);
  InstallSibling(Sibling::kBrisolt);
  WriteUserList(Header() + ValidGroup());
  const std::string song = "/home/user/music/collections/2026/morning-walk.mid";
  WriteSettings(
      "[Picture]\nAdd=1\nCount=2\n3=/pics/a.jpg\n4=/pics/b.bmp\n5=/pics/stale.jpg\n"
      "[BGM]\nSingle=1\nRandom=0\nName=" +
      song +
      "\nFolda=/midi\n"
      "[Font]\nName=IPAPGothic\n"
      "[TuikaJukugo]\nYusen=1\nQuarnel=1\nBrisolt=1\n"
      "[Settei]\nSpeed=2\nWaitTime=0x0A\nIkisakiHyoji=0\nImiHyoji=1\n");
  WriteFile(Data("record.dat"), std::string(1, '\x06'));  // italic and underline
  CreateForms();

  form_->show();

  EXPECT_TRUE(form_->CheckBoxHaikei->isChecked());
  EXPECT_TRUE(form_->BtnHaikei->isEnabled());
  EXPECT_EQ(fake_.modalRuns, 0);  // a stored list: the wallpaper dialog stays closed
  EXPECT_EQ(pictures_->Entries(), (std::vector<std::string>{"/pics/a.jpg", "/pics/b.bmp"}));
  EXPECT_EQ(form_->RadioGroupBGM->ItemIndex(), 0);
  EXPECT_TRUE(form_->BtnSingle->isEnabled());
  EXPECT_FALSE(form_->BtnRandom->isEnabled());
  EXPECT_TRUE(fake_.fileDialogs.empty());
  EXPECT_EQ(form_->LblMusicName->text(),
            QStringLiteral("指定曲: ") + ShortenPath(QString::fromStdString(song)));
  EXPECT_EQ(form_->LblRandomFolda->text(), QStringLiteral("指定フォルダ: /midi"));
  EXPECT_EQ(form_->LblFontName->text(), QStringLiteral("設定書体: IPAPGothic "));
  EXPECT_EQ(form_->LblFontName->font().family(), QStringLiteral("IPAPGothic"));
  EXPECT_FALSE(form_->LblFontName->font().bold());
  EXPECT_TRUE(form_->LblFontName->font().italic());
  EXPECT_TRUE(form_->LblFontName->font().underline());
  for (QCheckBox* box : {form_->CheckBoxYusen, static_cast<QCheckBox*>(form_->CheckBoxQuarnel),
                         static_cast<QCheckBox*>(form_->CheckBoxBrisolt)}) {
    EXPECT_TRUE(box->isEnabled()) << box->text().toStdString();
    EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
  }
  EXPECT_EQ(form_->TrackBarSpeed->value(), 2);
  EXPECT_EQ(form_->TrackBarWaitTime->value(), 10);
  EXPECT_FALSE(form_->CheckBoxIkisaki->isChecked());
  EXPECT_TRUE(form_->CheckBoxImiHyoji->isChecked());
  // Item 0 chosen from code ran its handler, which rewrote the mode keys.
  EXPECT_EQ(Key("BGM", "Single"), "1");
  EXPECT_EQ(Key("BGM", "Random"), "0");
  EXPECT_TRUE(fake_.errors.empty());
}

TEST_F(SetteiFormTest, FormShowKeepsSlidersInRangeAndMissingSiblingsDisabled) {
  WriteUserList(Header() + ValidGroup());
  WriteSettings("[Settei]\nSpeed=37\nWaitTime=-4\n[TuikaJukugo]\nQuarnel=1\nBrisolt=1\n");
  CreateForms();
  form_->show();
  EXPECT_EQ(form_->TrackBarSpeed->value(), 10);
  EXPECT_EQ(form_->TrackBarWaitTime->value(), 1);
  EXPECT_FALSE(form_->CheckBoxQuarnel->isEnabled());
  EXPECT_FALSE(form_->CheckBoxQuarnel->isChecked());
  EXPECT_FALSE(form_->CheckBoxBrisolt->isEnabled());
  // The Windows face of the default stands for an installed font through the alias.
  EXPECT_EQ(form_->LblFontName->text(), QStringLiteral("設定書体: ＭＳ Ｐ明朝 "));
}

// The label and the saver's texts take a stored face by one rule: an installed face that
// draws no Japanese (or none at all) is taken by neither, which both show in ＭＳ Ｐ明朝 bold.
TEST_F(SetteiFormTest, TheLabelAndTheSaverTakeTheSameStoredFaces) {
  const std::vector<std::string> installed = platform::gdi::InstalledScreenFonts();
  const auto latin = std::find_if(installed.begin(), installed.end(), [](const std::string& face) {
    return !platform::gdi::IsJapaneseScreenFont(face);
  });
  ASSERT_NE(latin, installed.end());
  const struct {
    std::string face;
    bool taken;
  } cases[] = {
      {*latin, false}, {"No Such Face", false}, {"IPAPGothic", true}, {"ＭＳ Ｐ明朝", true}};
  WriteFile(Data("record.dat"), std::string(1, '\x01'));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.face);
    WriteSettings("[Font]\nName=" + c.face + "\n");
    CreateForms();
    form_->show();
    const SaverSettings saver = ReadSaverSettings(Paths(), 0, [](const std::string& face) {
      return platform::gdi::IsJapaneseScreenFont(face);
    });
    ASSERT_EQ(saver.font.has_value(), c.taken);
    if (c.taken) {
      EXPECT_EQ(form_->LblFontName->text(), QString::fromStdString("設定書体: " + c.face + " "));
      EXPECT_EQ(saver.font->style, std::optional<std::uint8_t>(kFontBold));
    } else {
      EXPECT_EQ(form_->LblFontName->text(), QStringLiteral("設定書体: ＭＳ Ｐ明朝"));
    }
  }
}

TEST_F(SetteiFormTest, StoredModesWithoutTheirPathsAskForThemWhileShowing) {
  const std::string folder = dir_.path() + "/midi";
  std::filesystem::create_directories(folder + "/deep");
  WriteFile(folder + "/deep/tune.mid", "MThd");

  struct Case {
    const char* settings;
    int expectedItem;
    const char* writtenKey;
    std::string writtenValue;
  };
  const Case cases[] = {
      {"[BGM]\nSingle=1\nName=\n", 0, "Name", "/music/chosen.mid"},
      {"[BGM]\nRandom=1\n", 1, "Folda", folder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    WriteSettings(c.settings);
    fake_ = FakeDialogServices();
    fake_.fileAnswers = {"/music/chosen.mid"};
    fake_.folderAnswers = {folder};
    CreateForms();
    form_->show();
    EXPECT_EQ(form_->RadioGroupBGM->ItemIndex(), c.expectedItem);
    EXPECT_EQ(fake_.fileDialogs.size() + fake_.folderCaptions.size(), 1u);
    EXPECT_EQ(Key("BGM", c.writtenKey), c.writtenValue);
    EXPECT_EQ(Key("BGM", "Single"), c.expectedItem == 0 ? "1" : "0");
    EXPECT_EQ(Key("BGM", "Random"), c.expectedItem == 1 ? "1" : "0");
    EXPECT_FALSE(form_->LblKakunin->isVisible());
  }
  ASSERT_EQ(fake_.folderCaptions.size(), 1u);
  EXPECT_EQ(fake_.folderCaptions[0], "midiファイルが存在するフォルダかドライブを選んでください。");
}

TEST_F(SetteiFormTest, StoredAddWithoutPicturesOpensTheWallpaperDialogWhileShowing) {
  WriteSettings("[Picture]\nAdd=1\nCount=0\n");
  fake_.pictureAnswer = {"/pics/new.jpg"};
  fake_.duringModal = [&](auto&) { pictures_->BtnSanshoClick(); };
  CreateForms();
  form_->show();
  EXPECT_EQ(fake_.modalRuns, 1);
  EXPECT_TRUE(form_->CheckBoxHaikei->isChecked());
  EXPECT_EQ(Key("Picture", "Count"), "1");
  EXPECT_EQ(Key("Picture", "3"), "/pics/new.jpg");
  EXPECT_EQ(pictures_->Entries(), std::vector<std::string>{"/pics/new.jpg"});
}

TEST_F(SetteiFormTest, WithoutASettingsFileTheControlsKeepTheirStartAndCloseCreatesIt) {
  CreateForms();
  form_->show();
  EXPECT_EQ(form_->LblFontName->text(), QStringLiteral("設定書体: ＭＳ Ｐ明朝"));
  // The label grows to show the whole face name, as it does for a stored face.
  EXPECT_GE(form_->LblFontName->width(), form_->LblFontName->sizeHint().width());
  EXPECT_EQ(form_->TrackBarSpeed->value(), 5);
  EXPECT_EQ(form_->TrackBarWaitTime->value(), 5);
  EXPECT_TRUE(form_->CheckBoxIkisaki->isChecked());
  EXPECT_TRUE(form_->CheckBoxImiHyoji->isChecked());
  EXPECT_EQ(form_->RadioGroupBGM->ItemIndex(), 2);
  EXPECT_FALSE(form_->CheckBoxHaikei->isChecked());
  EXPECT_TRUE(form_->CheckBoxYusen->isEnabled());
  EXPECT_FALSE(platform::FileExists(SettingsPath()));

  form_->close();
  // Every closing key, in the order the close has always written them.
  EXPECT_EQ(platform::ReadWholeFile(SettingsPath()),
            "[TuikaJukugo]\nYusen=0\nQuarnel=0\nBrisolt=0\n"
            "[Settei]\nSpeed=5\nWaitTime=5\nIkisakiHyoji=1\nImiHyoji=1\n");
}

TEST_F(SetteiFormTest, AListWithoutValidIdiomsDisablesTheWordOptionsAndCloseWritesZero) {
  InstallSibling(Sibling::kQuarnel);
  InstallSibling(Sibling::kBrisolt);
  WriteUserList(Header() + InvalidGroup());
  WriteSettings("[TuikaJukugo]\nYusen=1\nQuarnel=1\nBrisolt=1\n");
  CreateForms();
  form_->show();
  for (QCheckBox* box : {form_->CheckBoxYusen, static_cast<QCheckBox*>(form_->CheckBoxQuarnel),
                         static_cast<QCheckBox*>(form_->CheckBoxBrisolt)}) {
    EXPECT_FALSE(box->isEnabled()) << box->text().toStdString();
    EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
  }
  form_->close();
  EXPECT_EQ(Key("TuikaJukugo", "Yusen"), "0");
  EXPECT_EQ(Key("TuikaJukugo", "Quarnel"), "0");
  EXPECT_EQ(Key("TuikaJukugo", "Brisolt"), "0");
}

TEST_F(SetteiFormTest, ThePriorityBoxRefusesItsTickWhileNoIdiomIsValid) {
  CreateForms();
  form_->show();
  form_->CheckBoxYusen->setChecked(true);
  EXPECT_FALSE(form_->CheckBoxYusen->isChecked());

  WriteUserList(Header() + ValidGroup());
  form_->CheckBoxYusen->setChecked(true);
  EXPECT_TRUE(form_->CheckBoxYusen->isChecked());
  form_->close();
  EXPECT_EQ(Key("TuikaJukugo", "Yusen"), "1");
}

TEST_F(SetteiFormTest, CloseWritesTheSlidersBoxesAndWordOptions) {
  InstallSibling(Sibling::kQuarnel);
  WriteUserList(Header() + ValidGroup());
  WriteSettings("[Picture]\nAdd=1\nCount=0\n");
  CreateForms();
  form_->show();  // opens the wallpaper dialog, which is closed empty
  form_->TrackBarSpeed->setValue(1);
  form_->TrackBarWaitTime->setValue(9);
  form_->CheckBoxIkisaki->setChecked(false);
  form_->CheckBoxQuarnel->setChecked(true);
  form_->close();
  EXPECT_EQ(Key("Settei", "Speed"), "1");
  EXPECT_EQ(Key("Settei", "WaitTime"), "9");
  EXPECT_EQ(Key("Settei", "IkisakiHyoji"), "0");
  EXPECT_EQ(Key("Settei", "ImiHyoji"), "1");
  EXPECT_EQ(Key("TuikaJukugo", "Yusen"), "0");
  EXPECT_EQ(Key("TuikaJukugo", "Quarnel"), "1");
  EXPECT_EQ(Key("TuikaJukugo", "Brisolt"), "0");
  // An empty wallpaper list turns the stored option off on the way out.
  EXPECT_FALSE(form_->CheckBoxHaikei->isChecked());
  EXPECT_EQ(Key("Picture", "Add"), "0");
  EXPECT_EQ(Key("Picture", "Count"), "0");
}

TEST_F(SetteiFormTest, TabGoesThroughTheControlsInTheDialogsOrder) {
  CreateForms();
  form_->show();
  TSetteiForm& f = *form_;
  const std::vector<QWidget*> expected = {
      f.BtnTuika,         f.BtnHaikei,       f.BtnSingle,       f.BtnRandom,
      f.BtnFont,          f.CheckBoxHaikei,  f.RadioGroupBGM,   f.BtnHelp,
      f.CheckBoxYusen,    f.TrackBarSpeed,   f.CheckBoxQuarnel, f.CheckBoxBrisolt,
      f.TrackBarWaitTime, f.CheckBoxIkisaki, f.CheckBoxImiHyoji};
  // The radio group takes part in the chain through its chosen item.
  auto member = [&](QWidget* w) -> QWidget* {
    if (w->parentWidget() == f.RadioGroupBGM) return f.RadioGroupBGM;
    return std::find(expected.begin(), expected.end(), w) != expected.end() ? w : nullptr;
  };
  std::vector<QWidget*> seen;
  QWidget* w = f.BtnTuika;
  for (int guard = 0; guard < 200 && seen.size() < expected.size();
       ++guard, w = w->nextInFocusChain()) {
    QWidget* m = member(w);
    if (m && (seen.empty() || seen.back() != m)) seen.push_back(m);
  }
  EXPECT_EQ(seen, expected);
}

// One handler run against prepared settings, with what it must leave in Settei.ini.
struct HandlerCase {
  const char* name;
  const char* settings;
  std::function<void(FakeDialogServices&, const std::string& dir)> arrange;
  std::function<void(TSetteiForm&)> act;
  std::vector<std::pair<std::string, std::optional<std::string>>> expectedKeys;  // "Section/Key"
  std::vector<std::string> expectedMessages;
};

class HandlerWrites : public DialogTest, public ::testing::WithParamInterface<int> {};

std::vector<HandlerCase> HandlerCases() {
  const auto noMidiRadio = std::string(TSetteiForm::kNoMidiFromRadio);
  const auto noMidiButton = std::string(TSetteiForm::kNoMidiFromButton);
  auto withMidi = [](FakeDialogServices& fake, const std::string& dir) {
    std::filesystem::create_directories(dir + "/songs");
    std::ofstream(dir + "/songs/a.mid") << "MThd";
    fake.folderAnswers = {dir + "/songs"};
  };
  auto withoutMidi = [](FakeDialogServices& fake, const std::string& dir) {
    std::filesystem::create_directories(dir + "/empty");
    std::ofstream(dir + "/empty/a.MID") << "MThd";
    fake.folderAnswers = {dir + "/empty"};
  };
  auto file = [](FakeDialogServices& fake, const std::string&) {
    fake.fileAnswers = {"/m/new.mid"};
  };
  auto none = [](FakeDialogServices&, const std::string&) {};
  return {
      {"no music",
       "[BGM]\nSingle=1\nName=/m/x.mid\n",
       none,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(2); },
       {{"BGM/Single", "0"}, {"BGM/Random", "0"}},
       {}},
      {"one file, stored name",
       "[BGM]\nName=/m/x.mid\n",
       none,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(0); },
       {{"BGM/Single", "1"}, {"BGM/Random", "0"}, {"BGM/Name", "/m/x.mid"}},
       {}},
      {"one file, chosen",
       "[BGM]\nRandom=1\nFolda=/f\n",
       file,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(0); },
       {{"BGM/Single", "1"}, {"BGM/Random", "0"}, {"BGM/Name", "/m/new.mid"}},
       {}},
      {"one file, cancelled",
       "[BGM]\nRandom=1\nFolda=/f\n",
       none,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(0); },
       // FormShow's own run of item 1 wrote the mode once; the cancel writes nothing.
       {{"BGM/Single", "0"}, {"BGM/Random", "1"}, {"BGM/Name", std::nullopt}},
       {}},
      {"folder, stored",
       "[BGM]\nFolda=/f\n",
       none,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(1); },
       {{"BGM/Single", "0"}, {"BGM/Random", "1"}},
       {}},
      {"folder, chosen with MIDI below",
       "[Settei]\n",
       withMidi,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(1); },
       {{"BGM/Single", "0"}, {"BGM/Random", "1"}, {"BGM/Folda", "<dir>/songs"}},
       {}},
      {"folder, chosen without MIDI",
       "[Settei]\n",
       withoutMidi,
       [](TSetteiForm& f) { f.RadioGroupBGM->SetItemIndex(1); },
       {{"BGM/Single", std::nullopt}, {"BGM/Random", std::nullopt}, {"BGM/Folda", std::nullopt}},
       {noMidiRadio}},
      {"song button",
       "[BGM]\nRandom=1\n",
       file,
       [](TSetteiForm& f) { f.BtnSingleClick(); },
       {{"BGM/Single", "1"}, {"BGM/Random", "0"}, {"BGM/Name", "/m/new.mid"}},
       {}},
      {"song button, cancelled",
       "[BGM]\nRandom=1\n",
       none,
       [](TSetteiForm& f) { f.BtnSingleClick(); },
       {{"BGM/Single", std::nullopt}, {"BGM/Random", "1"}},
       {}},
      {"folder button",
       "[BGM]\nSingle=1\n",
       withMidi,
       [](TSetteiForm& f) { f.BtnRandomClick(); },
       {{"BGM/Single", "0"}, {"BGM/Random", "1"}, {"BGM/Folda", "<dir>/songs"}},
       {}},
      {"folder button without MIDI",
       "[BGM]\nSingle=1\n",
       withoutMidi,
       [](TSetteiForm& f) { f.BtnRandomClick(); },
       {{"BGM/Single", "1"}, {"BGM/Folda", std::nullopt}},
       {noMidiButton}},
      {"wallpaper box ticked",
       "[Picture]\nCount=2\n",
       none,
       [](TSetteiForm& f) { f.CheckBoxHaikei->setChecked(true); },
       {{"Picture/Add", "1"}, {"Picture/Count", "2"}},
       {}},
      {"wallpaper box cleared",
       "[Picture]\nAdd=1\nCount=1\n3=/p.jpg\n",
       none,
       [](TSetteiForm& f) { f.CheckBoxHaikei->setChecked(false); },
       {{"Picture/Add", "0"}},
       {}},
  };
}

TEST_P(HandlerWrites, WritesItsKeys) {
  const HandlerCase c = HandlerCases()[static_cast<std::size_t>(GetParam())];
  SCOPED_TRACE(c.name);
  WriteSettings(c.settings);
  CreateForms();
  form_->show();
  fake_ = FakeDialogServices();
  c.arrange(fake_, dir_.path());
  c.act(*form_);
  for (const auto& [path, expected] : c.expectedKeys) {
    const std::size_t slash = path.find('/');
    std::optional<std::string> want = expected;
    if (want && want->rfind("<dir>", 0) == 0) want = dir_.path() + want->substr(5);
    EXPECT_EQ(Key(path.substr(0, slash), path.substr(slash + 1)), want) << path;
  }
  EXPECT_EQ(fake_.messages, c.expectedMessages);
  EXPECT_TRUE(fake_.errors.empty());
  EXPECT_FALSE(form_->LblKakunin->isVisible());
}

INSTANTIATE_TEST_SUITE_P(SetteiForm, HandlerWrites,
                         ::testing::Range(0, static_cast<int>(HandlerCases().size())));

TEST_F(SetteiFormTest, TickingTheWallpaperBoxWithNoStoredListOpensTheDialog) {
  CreateForms();
  form_->show();
  form_->CheckBoxHaikei->setChecked(true);
  EXPECT_EQ(fake_.modalRuns, 1);
  EXPECT_TRUE(form_->BtnHaikei->isEnabled());
  form_->CheckBoxHaikei->setChecked(false);
  EXPECT_FALSE(form_->BtnHaikei->isEnabled());
  EXPECT_EQ(Key("Picture", "Add"), "0");
  form_->BtnHaikeiClick();
  EXPECT_EQ(fake_.modalRuns, 2);
}

TEST_F(SetteiFormTest, FontButtonStoresTheFaceAndTheStyleByte) {
  CreateForms();
  form_->show();
  fake_.fontAnswer =
      FontChoice{"IPAPGothic", platform::ui::kFontBold | platform::ui::kFontStrikeOut, 40};
  form_->BtnFontClick();
  ASSERT_EQ(fake_.fontDialogs.size(), 1u);
  EXPECT_EQ(fake_.fontDialogs[0].face, "ＭＳ Ｐゴシック");
  EXPECT_EQ(fake_.fontDialogs[0].pixelSize, 13);
  EXPECT_EQ(Key("Font", "Name"), "IPAPGothic");
  EXPECT_EQ(ReadFile(Data("record.dat")), std::string(1, '\x09'));
  EXPECT_EQ(form_->LblFontName->text(), QStringLiteral("設定書体: IPAPGothic "));
  EXPECT_TRUE(form_->LblFontName->font().strikeOut());
  EXPECT_EQ(form_->LblFontName->font().pixelSize(), 16);  // the size of the choice is not taken

  fake_.fontAnswer.reset();
  form_->BtnFontClick();  // cancelled: nothing changes
  EXPECT_EQ(ReadFile(Data("record.dat")), std::string(1, '\x09'));
}

TEST_F(SetteiFormTest, HelpAndTheLinkUnderTheBannerOpenTheReadMe) {
  CreateForms();
  form_->show();
  EXPECT_EQ(form_->LblURL->text(), QStringLiteral("使い方の説明（ReadMe.txt） "));
  form_->BtnHelpClick();
  form_->LblURLClick();
  EXPECT_EQ(fake_.opened, (std::vector<std::string>{Data("ReadMe.txt"), Data("ReadMe.txt")}));
  EXPECT_TRUE(fake_.messages.empty());
  fake_.openFails = true;
  form_->BtnHelpClick();
  form_->LblURLClick();
  const std::string noOpener = CannotOpenMessage(Data("ReadMe.txt"));
  EXPECT_EQ(fake_.messages, (std::vector<std::string>{noOpener, noOpener}));
  form_->LblURLMouseMove();
  EXPECT_EQ(form_->LblURL->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x80));
  form_->FormMouseMove();
  EXPECT_EQ(form_->LblURL->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
}

TEST_F(SetteiFormTest, EditingTheWordListWaitsForTheEditorAndFollowsTheNewList) {
  InstallSibling(Sibling::kBrisolt);
  WriteUserList(Header() + InvalidGroup());
  WriteSettings("[Settei]\n");
  CreateForms();
  form_->show();
  ASSERT_FALSE(form_->CheckBoxYusen->isEnabled());

  bool closeRefused = false;
  fake_.editorPolls = 3;
  fake_.whileEditing = [&] {
    EXPECT_FALSE(form_->BtnTuika->isEnabled());
    form_->close();
    closeRefused = form_->isVisible();
    WriteUserList(Header() + ValidGroup());
  };
  form_->BtnTuikaClick();

  EXPECT_TRUE(closeRefused);
  ASSERT_EQ(fake_.started.size(), 1u);
  EXPECT_EQ(fake_.started[0], (std::vector<std::string>{"editor", Data("追加問題.txt")}));
  EXPECT_TRUE(form_->BtnTuika->isEnabled());
  EXPECT_FALSE(form_->EditorRunning());
  EXPECT_TRUE(form_->CheckBoxYusen->isEnabled());
  EXPECT_FALSE(form_->CheckBoxQuarnel->isEnabled());  // not installed
  EXPECT_TRUE(form_->CheckBoxBrisolt->isEnabled());
  EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(SetteiFormTest, AnEditorThatCannotStartIsReportedAndChangesNothing) {
  WriteUserList(Header() + ValidGroup());
  CreateForms();
  form_->show();
  for (const bool noEditorFound : {false, true}) {
    fake_ = FakeDialogServices();
    if (noEditorFound) fake_.editorCommand.reset();
    fake_.startFails = true;
    form_->BtnTuikaClick();
    EXPECT_EQ(fake_.messages, std::vector<std::string>{CannotOpenMessage(Data("追加問題.txt"))});
    EXPECT_TRUE(form_->BtnTuika->isEnabled());
    EXPECT_TRUE(form_->CheckBoxYusen->isEnabled());
  }
}

TEST_F(SetteiFormTest, ARefusedWriteIsShownOnceAndStopsTheHandler) {
  CreateForms();
  form_->show();
  fake_.fontAnswer = FontChoice{"IPAPGothic", platform::ui::kFontItalic, 13};
  // What stands where the settings file belongs makes every write to it refused: a folder,
  // a file its user made read-only, a FIFO (which must not block the dialog either).
  const std::function<void()> blockers[] = {
      [&] { std::filesystem::create_directory(SettingsPath()); },
      [&] {
        WriteSettings("[Font]\nName=IPAGothic\n");
        ::chmod(SettingsPath().c_str(), 0444);
      },
      [&] { ::mkfifo(SettingsPath().c_str(), 0644); },
  };
  for (const auto& block : blockers) {
    std::filesystem::remove_all(SettingsPath());
    fake_.errors.clear();
    block();
    form_->BtnFontClick();
    EXPECT_EQ(fake_.errors, std::vector<std::string>{SettingsPath() + " に書き込めません"});
    EXPECT_FALSE(platform::FileExists(Data("record.dat")));
  }
  EXPECT_EQ(platform::ReadWholeFile(SettingsPath()), std::nullopt);  // the FIFO is still there
}

TEST_F(SetteiFormTest, ARefusedWriteInsideAHandlerRunFromCodeStopsFormShowToo) {
  WriteSettings("[BGM]\nSingle=1\n[Settei]\nSpeed=3\n");
  fake_.fileAnswers = {"/m/x.mid"};
  fake_.duringChooser = [&] {
    std::filesystem::remove(SettingsPath());
    std::filesystem::create_directory(SettingsPath());
  };
  CreateForms();
  form_->show();
  EXPECT_EQ(fake_.errors, std::vector<std::string>{SettingsPath() + " に書き込めません"});
  EXPECT_EQ(form_->LblMusicName->text(),
            QStringLiteral("指定曲:"));  // FormShow ended before the music labels
  EXPECT_EQ(form_->TrackBarSpeed->value(), 5);
}

// --- The sibling savers ------------------------------------------------------------------

class SiblingTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    InstallSibling(Sibling::kQuarnel);
    InstallSibling(Sibling::kBrisolt);
    // Mixed line ends, and a stray last line that is copied although it is no group.
    list_ = Header() + "四面楚歌\r\n周りが敵ばかり\nしめんそか\r末尾の行";
    WriteUserList(list_);
    SetModificationTime(Data("追加問題.txt"), 1'000'000'000);
  }
  std::string QuarnelCopy() const { return ReadFile(exeDir_ + "QuarnelData/jukugo.txt"); }
  std::string BrisoltCopy() const { return ReadFile(exeDir_ + "BrisoltScrData/追加問題.txt"); }
  std::string list_;
  const std::string kQuarnelExpected = "四面楚歌\r\n周りが敵ばかり\r\nしめんそか\r\n末尾の行\r\n";
};

TEST(SiblingCopyTest, FirstSiblingLosesTheHeaderSecondGetsEveryLineAllEndingInCrLf) {
  const std::string list = Header() + "A\r\nB\nC\rD\r\r\n\x83\x41\xff";
  EXPECT_EQ(SiblingCopy(list, Sibling::kQuarnel), "A\r\nB\r\nC\r\nD\r\n\r\n\x83\x41\xff\r\n");
  EXPECT_EQ(SiblingCopy(list, Sibling::kBrisolt),
            Header() + "A\r\nB\r\nC\r\nD\r\n\r\n\x83\x41\xff\r\n");
  EXPECT_EQ(SiblingCopy("only\nthree\nlines\n", Sibling::kQuarnel), "");
  EXPECT_EQ(SiblingCopy("", Sibling::kBrisolt), "");
}

TEST_F(SiblingTest, ReleasingTheMouseOnATickedBoxOffersTheCopy) {
  CreateForms();
  form_->show();
  fake_.yesNoAnswers = {true};
  QTest::mouseClick(form_->CheckBoxQuarnel, Qt::LeftButton, {}, QPoint(8, 11));
  ASSERT_TRUE(form_->CheckBoxQuarnel->isChecked());
  EXPECT_EQ(fake_.questions, std::vector<std::string>{InfoOf(Sibling::kQuarnel).confirmation});
  EXPECT_EQ(QuarnelCopy(), kQuarnelExpected);

  // "No" takes the tick back and copies nothing.
  fake_.yesNoAnswers = {false};
  QTest::mouseClick(form_->CheckBoxBrisolt, Qt::LeftButton, {}, QPoint(8, 11));
  EXPECT_FALSE(form_->CheckBoxBrisolt->isChecked());
  EXPECT_FALSE(platform::FileExists(exeDir_ + "BrisoltScrData/追加問題.txt"));

  // A tick given with the keyboard asks nothing.
  fake_.questions.clear();
  form_->CheckBoxBrisolt->setFocus();
  QTest::keyClick(form_->CheckBoxBrisolt, Qt::Key_Space);
  EXPECT_TRUE(form_->CheckBoxBrisolt->isChecked());
  EXPECT_TRUE(fake_.questions.empty());
}

TEST_F(SiblingTest, ClosingAsksOnlyAfterTheListChanged) {
  WriteSettings("[TuikaJukugo]\nQuarnel=1\nBrisolt=1\n");
  CreateForms();
  form_->show();
  form_->close();
  EXPECT_TRUE(fake_.questions.empty());

  CreateForms();
  form_->show();
  SetModificationTime(Data("追加問題.txt"), 1'000'000'100);
  fake_.yesNoAnswers = {true, false};
  form_->close();
  EXPECT_EQ(fake_.questions, (std::vector<std::string>{InfoOf(Sibling::kQuarnel).confirmation,
                                                       InfoOf(Sibling::kBrisolt).confirmation}));
  EXPECT_EQ(QuarnelCopy(), kQuarnelExpected);
  EXPECT_FALSE(platform::FileExists(exeDir_ + "BrisoltScrData/追加問題.txt"));
  EXPECT_EQ(Key("TuikaJukugo", "Quarnel"), "1");
  EXPECT_EQ(Key("TuikaJukugo", "Brisolt"), "0");
}

TEST_F(SiblingTest, AnExportAtMouseUpCountsAsSeenAtClose) {
  CreateForms();
  form_->show();
  SetModificationTime(Data("追加問題.txt"), 1'000'000'100);
  fake_.yesNoAnswers = {true};
  form_->CheckBoxQuarnel->setChecked(true);
  form_->CheckBoxQuarnelMouseUp();
  ASSERT_EQ(fake_.questions.size(), 1u);
  form_->close();
  EXPECT_EQ(fake_.questions.size(), 1u);
}

TEST_F(SiblingTest, AnExportThatCannotBeWrittenIsReported) {
  CreateForms();
  form_->show();
  std::filesystem::remove_all(exeDir_ + "QuarnelData");
  std::filesystem::create_directories(exeDir_ + "QuarnelData/jukugo.txt");  // a folder in the way
  fake_.yesNoAnswers = {true};
  form_->CheckBoxQuarnel->setChecked(true);
  form_->CheckBoxQuarnelMouseUp();
  EXPECT_EQ(fake_.errors,
            std::vector<std::string>{exeDir_ + "QuarnelData/jukugo.txt に書き込めません"});
}

}  // namespace
}  // namespace settings::testing
