#include "settings/dialogs/settei_form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "dictionary/dictionary.h"
#include "platform/profile/profile.h"
#include "platform/ui/dialogs/font_faces.h"
#include "settings/dialogs/folder_has_midi.h"
#include "settings/dialogs/shorten_path.h"
#include "settings/dialogs/user_words_export.h"

namespace settings {
namespace {

using platform::ui::kFaceMsPGothic;
using platform::ui::kFaceMsPMincho;

// A stored wallpaper count beyond this is taken as damage, not as a list to load key by
// key (each key is a read of the whole file).
constexpr int kMaxWallpaperEntries = 4096;
// How often the editor wait looks at the child while the dialog handles its events.
constexpr int kEditorPollMs = 50;
// Only these bits of record.dat carry a style.
constexpr std::uint8_t kStyleMask = 0x0F;

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TSetteiForm::TSetteiForm(TPictureSelectForm& pictureForm, platform::ui::DialogServices& services,
                         platform::AppPaths paths, QWidget* parent)
    : TSetteiForm(services, std::move(paths), parent) {
  pictureForm_ = &pictureForm;
}

TSetteiForm::TSetteiForm(platform::ui::DialogServices& services, platform::AppPaths paths,
                         QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      services_(services),
      runner_([this](const std::string& message) { services_.ShowError(this, message); }) {
  BuildControls();
  FormCreate(std::move(paths));
}

void TSetteiForm::FormCreate(platform::AppPaths paths) { paths_ = std::move(paths); }

// The dialog changes the user's own Settei.ini in place, so it starts from a copy of one
// that only an older installation has.
std::string TSetteiForm::SettingsPath() const {
  return paths_.UpdatePath(platform::UserFile::kSettings);
}
std::string TSetteiForm::UserListPath() const {
  return paths_.ReadPath(platform::UserFile::kUserWords);
}

int TSetteiForm::CountValidUserIdioms() const {
  return dictionary::CountValidUserIdioms(UserListPath());
}

void TSetteiForm::SetTick(QCheckBox* box, bool ticked) {
  runner_.CodeChange([&] { box->setChecked(ticked); });
}

void TSetteiForm::SetRadioItem(int index) {
  runner_.CodeChange([&] { RadioGroupBGM->SetItemIndex(index); });
}

void TSetteiForm::SetMusicLabel(const std::string& path) {
  LblMusicName->setText(Q("指定曲: ") + ShortenPath(Q(path)));
}

void TSetteiForm::SetFolderLabel(const std::string& path) {
  LblRandomFolda->setText(Q("指定フォルダ: ") + ShortenPath(Q(path)));
}

void TSetteiForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->geometry().center());
      move(frame.topLeft());
    }
  }
  FormShow();
}

void TSetteiForm::closeEvent(QCloseEvent* event) {
  if (editorRunning_) {
    event->ignore();
    return;
  }
  FormCloseQuery();
  FormClose();
  event->accept();
}

void TSetteiForm::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  FormMouseMove();
}

void TSetteiForm::FormShow() {
  runner_.Run([&] {
    NoteUserListAndSiblings();
    const std::string path = SettingsPath();
    if (!platform::FileExists(path)) {
      LblFontName->setText(Q(kDefaultFontLabel));
      LblFontName->adjustSize();
      return;
    }
    // In the order of the reads: a stored mode without its file or folder asks for it, and
    // ticking the wallpaper box may show the wallpaper dialog, each of which may write.
    LoadWallpaperGroup(path);
    LoadMusicGroup(path);
    const platform::IniFile ini(path);
    LoadFontGroup(ini);
    LoadWordListGroup(ini);
    LoadSlidersAndDisplayBoxes(ini);
  });
}

void TSetteiForm::NoteUserListAndSiblings() {
  const std::string userList = UserListPath();
  if (platform::FileExists(userList)) {
    userFileStamp_ = platform::ModificationTime(userList).value_or(0);
  }
  if (SiblingPresent(paths_, Sibling::kQuarnel)) CheckBoxQuarnel->setEnabled(true);
  if (SiblingPresent(paths_, Sibling::kBrisolt)) CheckBoxBrisolt->setEnabled(true);
}

void TSetteiForm::LoadWallpaperGroup(const std::string& path) {
  const bool add = platform::IniFile(path).ReadBool("Picture", "Add", false);
  SetTick(CheckBoxHaikei, add);
  BtnHaikei->setEnabled(add);

  const platform::IniFile ini(path);
  const int count = std::min(ini.ReadInteger("Picture", "Count", 0), kMaxWallpaperEntries);
  for (int i = 0; i < count; ++i) {
    pictureForm_->PutEntry(i, ini.ReadString("Picture", std::to_string(i + 3), ""));
  }
}

void TSetteiForm::LoadMusicGroup(const std::string& path) {
  if (platform::IniFile(path).ReadBool("BGM", "Single", false)) {
    SetRadioItem(0);
    BtnSingle->setEnabled(true);
  }
  if (platform::IniFile(path).ReadBool("BGM", "Random", false)) {
    SetRadioItem(1);
    BtnRandom->setEnabled(true);
  }
  const platform::IniFile ini(path);
  SetMusicLabel(ini.ReadString("BGM", "Name", ""));
  SetFolderLabel(ini.ReadString("BGM", "Folda", ""));
}

void TSetteiForm::LoadFontGroup(const platform::IniFile& ini) {
  const std::string face = ini.ReadString("Font", "Name", kFaceMsPMincho);
  if (platform::ui::IsDrawableFace(face)) {
    LblFontName->setText(Q("設定書体: " + face + " "));
    QFont font = LblFontName->font();
    font.setFamily(platform::ui::ConcreteFamily(face));
    const std::string recordPath = paths_.UpdatePath(platform::UserFile::kFontStyle);
    if (platform::FileExists(recordPath)) {
      const auto record = platform::ReadFilePrefix(recordPath, 1);
      const std::uint8_t style =
          record && !record->empty() ? static_cast<std::uint8_t>((*record)[0]) & kStyleMask : 0;
      font = platform::ui::MakeFont(face, font.pixelSize(), style);
    }
    LblFontName->setFont(font);
  } else {
    LblFontName->setText(Q(kDefaultFontLabel));
  }
  LblFontName->adjustSize();
}

void TSetteiForm::LoadWordListGroup(const platform::IniFile& ini) {
  if (CountValidUserIdioms() < 1) {
    for (QCheckBox* box : {CheckBoxYusen, static_cast<QCheckBox*>(CheckBoxQuarnel),
                           static_cast<QCheckBox*>(CheckBoxBrisolt)}) {
      box->setEnabled(false);
      SetTick(box, false);
    }
    return;
  }
  SetTick(CheckBoxYusen, ini.ReadBool("TuikaJukugo", "Yusen", false));
  if (CheckBoxQuarnel->isEnabled()) {
    SetTick(CheckBoxQuarnel, ini.ReadBool("TuikaJukugo", "Quarnel", false));
  }
  if (CheckBoxBrisolt->isEnabled()) {
    SetTick(CheckBoxBrisolt, ini.ReadBool("TuikaJukugo", "Brisolt", false));
  }
}

void TSetteiForm::LoadSlidersAndDisplayBoxes(const platform::IniFile& ini) {
  TrackBarSpeed->setValue(ini.ReadInteger("Settei", "Speed", 5));
  TrackBarWaitTime->setValue(ini.ReadInteger("Settei", "WaitTime", 5));
  SetTick(CheckBoxIkisaki, ini.ReadBool("Settei", "IkisakiHyoji", true));
  SetTick(CheckBoxImiHyoji, ini.ReadBool("Settei", "ImiHyoji", true));
}

void TSetteiForm::CheckBoxHaikeiClick() {
  runner_.Run([&] {
    platform::IniFile ini(SettingsPath());
    if (CheckBoxHaikei->isChecked()) {
      BtnHaikei->setEnabled(true);
      ini.WriteBool("Picture", "Add", true);
      if (ini.ReadInteger("Picture", "Count", 0) == 0) services_.ShowModal(*pictureForm_);
    } else {
      BtnHaikei->setEnabled(false);
      ini.WriteBool("Picture", "Add", false);
    }
  });
}

void TSetteiForm::BtnHaikeiClick() {
  runner_.Run([&] { services_.ShowModal(*pictureForm_); });
}

void TSetteiForm::RadioGroupBGMClick() {
  runner_.Run([&] {
    platform::IniFile ini(SettingsPath());
    switch (RadioGroupBGM->ItemIndex()) {
      case 0: {
        BtnSingle->setEnabled(true);
        BtnRandom->setEnabled(false);
        if (!ini.ReadString("BGM", "Name", "").empty()) {
          ini.WriteBool("BGM", "Single", true);
          ini.WriteBool("BGM", "Random", false);
          return;
        }
        const auto file = services_.OpenFile(this, {kMidiDialogTitle, kMidiFilter});
        if (!file) return;
        ini.WriteString("BGM", "Name", *file);
        ini.WriteBool("BGM", "Single", true);
        ini.WriteBool("BGM", "Random", false);
        SetMusicLabel(*file);
        return;
      }
      case 1:
        BtnRandom->setEnabled(true);
        BtnSingle->setEnabled(false);
        if (!ini.ReadString("BGM", "Folda", "").empty()) {
          ini.WriteBool("BGM", "Single", false);
          ini.WriteBool("BGM", "Random", true);
          return;
        }
        ChooseMidiFolder(kNoMidiFromRadio);
        return;
      case 2:
        BtnSingle->setEnabled(false);
        BtnRandom->setEnabled(false);
        ini.WriteBool("BGM", "Single", false);
        ini.WriteBool("BGM", "Random", false);
        return;
      default:
        return;
    }
  });
}

void TSetteiForm::ChooseMidiFolder(const char* noMidiMessage) {
  LblKakunin->setVisible(true);
  // The label goes away again however the choice ends, a refused write included.
  struct HideOnExit {
    QLabel* label;
    ~HideOnExit() { label->setVisible(false); }
  } hide{LblKakunin};
  const auto folder = services_.BrowseForFolder(this, kFolderCaption);
  if (!folder) return;
  if (!FolderHasMidi(*folder)) {
    services_.ShowMessage(this, noMidiMessage);
    return;
  }
  platform::IniFile ini(SettingsPath());
  ini.WriteString("BGM", "Folda", *folder);
  ini.WriteBool("BGM", "Single", false);
  ini.WriteBool("BGM", "Random", true);
  SetFolderLabel(*folder);
}

void TSetteiForm::BtnSingleClick() {
  runner_.Run([&] {
    const auto file = services_.OpenFile(this, {kMidiDialogTitle, kMidiFilter});
    if (!file) return;
    platform::IniFile ini(SettingsPath());
    ini.WriteString("BGM", "Name", *file);
    ini.WriteBool("BGM", "Single", true);
    ini.WriteBool("BGM", "Random", false);
    SetMusicLabel(*file);
  });
}

void TSetteiForm::BtnRandomClick() {
  runner_.Run([&] { ChooseMidiFolder(kNoMidiFromButton); });
}

void TSetteiForm::BtnFontClick() {
  runner_.Run([&] {
    const auto choice = services_.ChooseFont(this, {kFaceMsPGothic, 0, 13});
    if (!choice) return;
    const std::uint8_t style = choice->style & kStyleMask;
    LblFontName->setText(Q("設定書体: " + choice->face + " "));
    LblFontName->setFont(
        platform::ui::MakeFont(choice->face, LblFontName->font().pixelSize(), style));
    LblFontName->adjustSize();
    platform::IniFile(SettingsPath()).WriteString("Font", "Name", choice->face);
    const std::string recordPath = paths_.UpdatePath(platform::UserFile::kFontStyle);
    const char byte = static_cast<char>(style);
    if (!platform::WriteWholeFileAtomic(recordPath, std::string_view(&byte, 1))) {
      throw platform::IniWriteError(recordPath);
    }
  });
}

void TSetteiForm::WaitForEditor(platform::ui::ChildProcess& editor) {
  if (editor.HasEnded()) return;
  // The dialog keeps handling its events while the editor runs; the timer looks at the
  // child between them instead of spinning on it.
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(kEditorPollMs);
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (editor.HasEnded()) loop.quit();
  });
  poll.start();
  loop.exec();
}

void TSetteiForm::EndEditing() {
  editorRunning_ = false;
  BtnTuika->setEnabled(true);
}

void TSetteiForm::BtnTuikaClick() {
  runner_.Run([&] {
    BtnTuika->setEnabled(false);
    editorRunning_ = true;
    const std::string userList = paths_.UpdatePath(platform::UserFile::kUserWords);
    std::unique_ptr<platform::ui::ChildProcess> editor;
    if (const auto command = services_.FindEditor(userList)) {
      editor = services_.StartProcess(*command);
    }
    if (!editor) {
      services_.ShowMessage(this, kEditorFailed);
      EndEditing();
      return;
    }
    WaitForEditor(*editor);
    EndEditing();

    if (CountValidUserIdioms() <= 0) {
      for (QCheckBox* box : {CheckBoxYusen, static_cast<QCheckBox*>(CheckBoxQuarnel),
                             static_cast<QCheckBox*>(CheckBoxBrisolt)}) {
        box->setEnabled(false);
        SetTick(box, false);
      }
    } else {
      CheckBoxYusen->setEnabled(true);
      CheckBoxQuarnel->setEnabled(SiblingPresent(paths_, Sibling::kQuarnel));
      CheckBoxBrisolt->setEnabled(SiblingPresent(paths_, Sibling::kBrisolt));
    }
  });
}

void TSetteiForm::CheckBoxYusenClick() {
  runner_.Run([&] {
    if (CheckBoxYusen->isChecked() && CountValidUserIdioms() == 0) SetTick(CheckBoxYusen, false);
  });
}

void TSetteiForm::Export(Sibling sibling) {
  if (!ExportUserWords(paths_, sibling)) {
    throw platform::IniWriteError(SiblingWordsPath(paths_, sibling));
  }
}

void TSetteiForm::SiblingMouseUp(Sibling sibling, QCheckBox* box) {
  runner_.Run([&] {
    const SiblingInfo& info = InfoOf(sibling);
    if (!box->isChecked() || CountValidUserIdioms() <= 0 || !SiblingPresent(paths_, sibling)) {
      return;
    }
    if (services_.AskYesNo(this, info.confirmation)) {
      Export(sibling);
      userFileStamp_ = platform::ModificationTime(UserListPath()).value_or(0);
    } else {
      SetTick(box, false);
    }
  });
}

void TSetteiForm::CheckBoxQuarnelMouseUp() { SiblingMouseUp(Sibling::kQuarnel, CheckBoxQuarnel); }
void TSetteiForm::CheckBoxBrisoltMouseUp() { SiblingMouseUp(Sibling::kBrisolt, CheckBoxBrisolt); }

void TSetteiForm::BtnHelpClick() {
  runner_.Run([&] { services_.OpenWithDefaultProgram(paths_.Data(platform::kReadMeFileName)); });
}

void TSetteiForm::LblURLClick() {
  runner_.Run([&] { services_.OpenWithDefaultProgram(paths_.Data(platform::kReadMeFileName)); });
}

void TSetteiForm::LblURLMouseMove() { SetColors(LblURL, kClPurple); }
void TSetteiForm::FormMouseMove() { SetColors(LblURL, kClGreen); }

void TSetteiForm::FormCloseQuery() {
  runner_.Run([&] {
    const std::string userList = UserListPath();
    const bool changed = platform::FileExists(userList) &&
                         platform::ModificationTime(userList).value_or(0) != userFileStamp_;
    const std::pair<Sibling, QCheckBox*> siblings[] = {{Sibling::kQuarnel, CheckBoxQuarnel},
                                                       {Sibling::kBrisolt, CheckBoxBrisolt}};
    for (const auto& [sibling, box] : siblings) {
      const SiblingInfo& info = InfoOf(sibling);
      if (!changed || !box->isChecked() || CountValidUserIdioms() <= 0 ||
          !SiblingPresent(paths_, sibling)) {
        continue;
      }
      if (services_.AskYesNo(this, info.confirmation)) {
        Export(sibling);
      } else {
        SetTick(box, false);
      }
    }
  });
}

void TSetteiForm::FormClose() {
  runner_.Run([&] {
    const std::string path = SettingsPath();
    if (pictureForm_->EntryCount() == 0) {
      SetTick(CheckBoxHaikei, false);
      platform::IniFile ini(path);
      if (ini.ValueExists("Picture", "Add")) ini.WriteBool("Picture", "Add", false);
    }
    platform::IniFile ini(path);
    ini.WriteBool("TuikaJukugo", "Yusen",
                  CheckBoxYusen->isChecked() && CountValidUserIdioms() >= 1);
    ini.WriteInteger("Settei", "Speed", TrackBarSpeed->value());
    ini.WriteInteger("Settei", "WaitTime", TrackBarWaitTime->value());
    if (CountValidUserIdioms() < 1) {
      ini.WriteBool("TuikaJukugo", "Quarnel", false);
      ini.WriteBool("TuikaJukugo", "Brisolt", false);
    } else {
      ini.WriteBool("TuikaJukugo", "Quarnel", CheckBoxQuarnel->isChecked());
      ini.WriteBool("TuikaJukugo", "Brisolt", CheckBoxBrisolt->isChecked());
    }
    ini.WriteBool("Settei", "IkisakiHyoji", CheckBoxIkisaki->isChecked());
    ini.WriteBool("Settei", "ImiHyoji", CheckBoxImiHyoji->isChecked());
  });
}

}  // namespace settings
