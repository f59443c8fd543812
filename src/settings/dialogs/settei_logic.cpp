#include "settings/dialogs/settei_logic.h"

#include <algorithm>

#include "dictionary/dictionary.h"
#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/folder_has_midi.h"
#include "settings/dialogs/shorten_path.h"
#include "settings/dialogs/user_words_export.h"
#include "settings/stored_font.h"

namespace settings {
namespace {

using platform::ui::kFaceMsPGothic;
using platform::ui::kFaceMsPMincho;
using C = SetteiControl;
using T = SetteiTexts;

// A stored wallpaper count beyond this is taken as damage, not as a list to load key by
// key (each key is a read of the whole file).
constexpr int kMaxWallpaperEntries = 4096;
// The font chooser starts from this face and height, not from the stored choice.
constexpr int kChooserPixelSize = 13;

constexpr std::uint32_t kLinkColor = 0x008000;       // green
constexpr std::uint32_t kLinkHoverColor = 0x800080;  // purple

// The keys FormClose writes, in the order it writes them, with the defaults the dialog reads
// them with.
enum class ValueKind { kInteger, kBoolean };
struct ClosingKey {
  const char* section;
  const char* key;
  ValueKind kind;
  int defaultValue;
};
constexpr ClosingKey kClosingKeys[] = {
    {"TuikaJukugo", "Yusen", ValueKind::kBoolean, 0},
    {"Settei", "Speed", ValueKind::kInteger, 5},
    {"Settei", "WaitTime", ValueKind::kInteger, 5},
    {"TuikaJukugo", "Quarnel", ValueKind::kBoolean, 0},
    {"TuikaJukugo", "Brisolt", ValueKind::kBoolean, 0},
    {"Settei", "IkisakiHyoji", ValueKind::kBoolean, 1},
    {"Settei", "ImiHyoji", ValueKind::kBoolean, 1},
};

struct SiblingBox {
  Sibling sibling;
  SetteiControl box;
};
constexpr SiblingBox kSiblingBoxes[] = {{Sibling::kQuarnel, C::kCheckBoxQuarnel},
                                        {Sibling::kBrisolt, C::kCheckBoxBrisolt}};

}  // namespace

std::string CannotOpenMessage(const std::string& file) {
  return "「" + platform::DisplayPath(file) +
         "」を開けませんでした。\nこのファイルを開くプログラムが見つかりません。";
}

SetteiLogic::SetteiLogic(SetteiView& view, platform::ui::DialogServices& services,
                         platform::AppPaths paths)
    : view_(view),
      services_(services),
      runner_([this](const std::string& message) { services_.ShowError(view_.Window(), message); }),
      paths_(std::move(paths)) {
  // As a missing file reads, should the dialog close before its settings were loaded.
  for (std::size_t i = 0; i < shownValues_.size(); ++i) {
    shownValues_[i] = kClosingKeys[i].defaultValue;
  }
}

void SetteiLogic::SetPictureDialog(platform::ui::ModalDialog& dialog,
                                   PictureSelectLogic& pictures) {
  pictureDialog_ = &dialog;
  pictures_ = &pictures;
}

// The dialog changes the user's own Settei.ini in place, so it starts from a copy of one
// that only an older installation has.
std::string SetteiLogic::SettingsPath() const {
  return paths_.UpdatePath(platform::UserFile::kSettings);
}
std::string SetteiLogic::UserListPath() const {
  return paths_.ReadPath(platform::UserFile::kUserWords);
}

int SetteiLogic::CountValidUserIdioms() const {
  return dictionary::CountValidUserIdioms(UserListPath());
}

void SetteiLogic::SetTick(SetteiControl box, bool ticked) {
  runner_.CodeChange([&] { view_.SetChecked(box, ticked); });
}

void SetteiLogic::SetRadioItem(int index) {
  runner_.CodeChange([&] { view_.SetItemIndex(index); });
}

void SetteiLogic::ClearWordListBoxes() {
  for (const SetteiControl box : {C::kCheckBoxYusen, C::kCheckBoxQuarnel, C::kCheckBoxBrisolt}) {
    view_.SetEnabled(box, false);
    SetTick(box, false);
  }
}

void SetteiLogic::SetMusicLabel(const std::string& path) {
  view_.SetText(C::kLblMusicName, T::kMusicPrefix + ShortenPath(path));
}

void SetteiLogic::SetFolderLabel(const std::string& path) {
  view_.SetText(C::kLblRandomFolda, T::kFolderPrefix + ShortenPath(path));
}

void SetteiLogic::ShowPictureDialog() {
  if (pictureDialog_) services_.ShowModal(*pictureDialog_);
}

SetteiLogic::ClosingValues SetteiLogic::StoredClosingValues(const platform::IniFile& ini) {
  ClosingValues values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ClosingKey& k = kClosingKeys[i];
    values[i] = k.kind == ValueKind::kBoolean
                    ? static_cast<int>(ini.ReadBool(k.section, k.key, k.defaultValue != 0))
                    : ini.ReadInteger(k.section, k.key, k.defaultValue);
  }
  return values;
}

SetteiLogic::ClosingValues SetteiLogic::ControlClosingValues() const {
  const bool anyValid = CountValidUserIdioms() >= 1;
  return {view_.Checked(C::kCheckBoxYusen) && anyValid,
          view_.Position(C::kTrackBarSpeed),
          view_.Position(C::kTrackBarWaitTime),
          anyValid && view_.Checked(C::kCheckBoxQuarnel),
          anyValid && view_.Checked(C::kCheckBoxBrisolt),
          view_.Checked(C::kCheckBoxIkisaki),
          view_.Checked(C::kCheckBoxImiHyoji)};
}

void SetteiLogic::FormShow() {
  runner_.Run([&] {
    NoteUserListAndSiblings();
    const std::string path = SettingsPath();
    if (!platform::FileExists(path)) {
      view_.SetFontLabel(T::kDefaultFontLabel, std::nullopt);
      return;
    }
    // In the order of the reads: a stored mode without its file or folder asks for it, and
    // ticking the wallpaper box may show the wallpaper dialog, each of which may write.
    LoadWallpaperGroup(path);
    LoadMusicGroup(path);
    const platform::IniFile ini(path);
    shownValues_ = StoredClosingValues(ini);
    LoadFontGroup(ini);
    LoadWordListGroup(ini);
    LoadSlidersAndDisplayBoxes(ini);
  });
}

void SetteiLogic::NoteUserListAndSiblings() {
  const std::string userList = UserListPath();
  if (platform::FileExists(userList)) {
    userFileStamp_ = platform::ModificationTime(userList).value_or(0);
  }
  for (const auto& [sibling, box] : kSiblingBoxes) {
    if (SiblingPresent(paths_, sibling)) view_.SetEnabled(box, true);
  }
}

void SetteiLogic::LoadWallpaperGroup(const std::string& path) {
  const bool add = platform::IniFile(path).ReadBool("Picture", "Add", false);
  SetTick(C::kCheckBoxHaikei, add);
  view_.SetEnabled(C::kBtnHaikei, add);

  // A key that is missing or empty names no picture: it takes no row, so the list written
  // back when the wallpaper dialog closes holds no empty entries, whatever Count claimed.
  const platform::IniFile ini(path);
  const int count = std::min(ini.ReadInteger("Picture", "Count", 0), kMaxWallpaperEntries);
  int rows = 0;
  for (int i = 0; i < count && pictures_; ++i) {
    const std::string entry = ini.ReadString("Picture", std::to_string(i + 3), "");
    if (!entry.empty()) pictures_->PutEntry(rows++, entry);
  }
}

void SetteiLogic::LoadMusicGroup(const std::string& path) {
  if (platform::IniFile(path).ReadBool("BGM", "Single", false)) {
    SetRadioItem(0);
    view_.SetEnabled(C::kBtnSingle, true);
  }
  if (platform::IniFile(path).ReadBool("BGM", "Random", false)) {
    SetRadioItem(1);
    view_.SetEnabled(C::kBtnRandom, true);
  }
  const platform::IniFile ini(path);
  SetMusicLabel(ini.ReadString("BGM", "Name", ""));
  SetFolderLabel(ini.ReadString("BGM", "Folda", ""));
}

void SetteiLogic::LoadFontGroup(const platform::IniFile& ini) {
  const std::string face = ini.ReadString("Font", "Name", kFaceMsPMincho);
  const std::optional<SaverFont> font =
      UsableStoredFont(face, paths_.UpdatePath(platform::UserFile::kFontStyle),
                       [this](const std::string& name) { return view_.FaceInstalled(name); });
  if (!font) {
    view_.SetFontLabel(T::kDefaultFontLabel, std::nullopt);
    return;
  }
  view_.SetFontLabel(T::kFontPrefix + face + " ", LabelFont{font->face, font->style});
}

void SetteiLogic::LoadWordListGroup(const platform::IniFile& ini) {
  if (CountValidUserIdioms() < 1) {
    ClearWordListBoxes();
    return;
  }
  SetTick(C::kCheckBoxYusen, ini.ReadBool("TuikaJukugo", "Yusen", false));
  for (const auto& [sibling, box] : kSiblingBoxes) {
    if (view_.Enabled(box))
      SetTick(box, ini.ReadBool("TuikaJukugo", InfoOf(sibling).settingsKey, false));
  }
}

void SetteiLogic::LoadSlidersAndDisplayBoxes(const platform::IniFile& ini) {
  view_.SetPosition(C::kTrackBarSpeed, ini.ReadInteger("Settei", "Speed", 5));
  view_.SetPosition(C::kTrackBarWaitTime, ini.ReadInteger("Settei", "WaitTime", 5));
  SetTick(C::kCheckBoxIkisaki, ini.ReadBool("Settei", "IkisakiHyoji", true));
  SetTick(C::kCheckBoxImiHyoji, ini.ReadBool("Settei", "ImiHyoji", true));
}

void SetteiLogic::CheckBoxHaikeiClick() {
  runner_.Run([&] {
    platform::IniFile ini(SettingsPath());
    if (view_.Checked(C::kCheckBoxHaikei)) {
      view_.SetEnabled(C::kBtnHaikei, true);
      ini.WriteBool("Picture", "Add", true);
      if (ini.ReadInteger("Picture", "Count", 0) == 0) ShowPictureDialog();
    } else {
      view_.SetEnabled(C::kBtnHaikei, false);
      ini.WriteBool("Picture", "Add", false);
    }
  });
}

void SetteiLogic::BtnHaikeiClick() {
  runner_.Run([&] { ShowPictureDialog(); });
}

void SetteiLogic::WriteSingleMusic(const std::string& file) {
  platform::IniFile ini(SettingsPath());
  ini.WriteString("BGM", "Name", file);
  ini.WriteBool("BGM", "Single", true);
  ini.WriteBool("BGM", "Random", false);
  SetMusicLabel(file);
}

void SetteiLogic::RadioGroupBGMClick() {
  runner_.Run([&] {
    platform::IniFile ini(SettingsPath());
    switch (view_.ItemIndex()) {
      case 0: {
        view_.SetEnabled(C::kBtnSingle, true);
        view_.SetEnabled(C::kBtnRandom, false);
        if (!ini.ReadString("BGM", "Name", "").empty()) {
          ini.WriteBool("BGM", "Single", true);
          ini.WriteBool("BGM", "Random", false);
          return;
        }
        const auto file = services_.OpenFile(view_.Window(), {T::kMidiDialogTitle, T::kMidiFilter});
        if (file) WriteSingleMusic(*file);
        return;
      }
      case 1:
        view_.SetEnabled(C::kBtnRandom, true);
        view_.SetEnabled(C::kBtnSingle, false);
        if (!ini.ReadString("BGM", "Folda", "").empty()) {
          ini.WriteBool("BGM", "Single", false);
          ini.WriteBool("BGM", "Random", true);
          return;
        }
        ChooseMidiFolder(T::kNoMidiFromRadio);
        return;
      case 2:
        view_.SetEnabled(C::kBtnSingle, false);
        view_.SetEnabled(C::kBtnRandom, false);
        ini.WriteBool("BGM", "Single", false);
        ini.WriteBool("BGM", "Random", false);
        return;
      default:
        return;
    }
  });
}

void SetteiLogic::ChooseMidiFolder(const char* noMidiMessage) {
  view_.SetVisible(C::kLblKakunin, true);
  // The label goes away again however the choice ends, a refused write included.
  struct HideOnExit {
    SetteiView& view;
    ~HideOnExit() { view.SetVisible(C::kLblKakunin, false); }
  } hide{view_};
  const auto folder = services_.BrowseForFolder(view_.Window(), T::kFolderCaption);
  if (!folder) return;
  if (!FolderHasMidi(*folder)) {
    services_.ShowMessage(view_.Window(), noMidiMessage);
    return;
  }
  platform::IniFile ini(SettingsPath());
  ini.WriteString("BGM", "Folda", *folder);
  ini.WriteBool("BGM", "Single", false);
  ini.WriteBool("BGM", "Random", true);
  SetFolderLabel(*folder);
}

void SetteiLogic::BtnSingleClick() {
  runner_.Run([&] {
    const auto file = services_.OpenFile(view_.Window(), {T::kMidiDialogTitle, T::kMidiFilter});
    if (file) WriteSingleMusic(*file);
  });
}

void SetteiLogic::BtnRandomClick() {
  runner_.Run([&] { ChooseMidiFolder(T::kNoMidiFromButton); });
}

void SetteiLogic::BtnFontClick() {
  runner_.Run([&] {
    const auto choice =
        services_.ChooseFont(view_.Window(), {kFaceMsPGothic, 0, kChooserPixelSize});
    if (!choice) return;
    const std::uint8_t style = choice->style & kFontStyleBits;
    view_.SetFontLabel(T::kFontPrefix + choice->face + " ", LabelFont{choice->face, style});
    platform::IniFile(SettingsPath()).WriteString("Font", "Name", choice->face);
    const std::string recordPath = paths_.UpdatePath(platform::UserFile::kFontStyle);
    const char byte = static_cast<char>(style);
    if (!platform::WriteWholeFileAtomic(recordPath, std::string_view(&byte, 1))) {
      throw platform::IniWriteError(recordPath);
    }
  });
}

void SetteiLogic::BtnTuikaClick() {
  runner_.Run([&] {
    view_.SetEnabled(C::kBtnTuika, false);
    view_.SetCloseEnabled(false);
    editorRunning_ = true;
    struct EndEditing {
      SetteiLogic& logic;
      ~EndEditing() {
        logic.editorRunning_ = false;
        logic.view_.SetCloseEnabled(true);
        logic.view_.SetEnabled(C::kBtnTuika, true);
      }
    };
    {
      EndEditing end{*this};
      const std::string userList = paths_.UpdatePath(platform::UserFile::kUserWords);
      // No editor found and one that would not start read the same to the user: the file
      // could not be opened, named with its path.
      const auto command = services_.FindEditor(userList);
      const std::unique_ptr<platform::ui::ChildProcess> editor =
          command ? services_.StartProcess(*command) : nullptr;
      if (!editor) {
        services_.ShowMessage(view_.Window(), CannotOpenMessage(userList));
        return;
      }
      if (!editor->HasEnded()) view_.WaitWhileRunning(*editor);
    }

    if (CountValidUserIdioms() <= 0) {
      ClearWordListBoxes();
    } else {
      view_.SetEnabled(C::kCheckBoxYusen, true);
      for (const auto& [sibling, box] : kSiblingBoxes) {
        view_.SetEnabled(box, SiblingPresent(paths_, sibling));
      }
    }
  });
}

void SetteiLogic::CheckBoxYusenClick() {
  runner_.Run([&] {
    if (view_.Checked(C::kCheckBoxYusen) && CountValidUserIdioms() == 0) {
      SetTick(C::kCheckBoxYusen, false);
    }
  });
}

void SetteiLogic::Export(Sibling sibling) {
  if (!ExportUserWords(paths_, sibling)) {
    throw platform::IniWriteError(SiblingWordsPath(paths_, sibling));
  }
}

void SetteiLogic::SiblingMouseUp(Sibling sibling, SetteiControl box) {
  runner_.Run([&] {
    if (!view_.Checked(box) || CountValidUserIdioms() <= 0 || !SiblingPresent(paths_, sibling)) {
      return;
    }
    if (services_.AskYesNo(view_.Window(), InfoOf(sibling).confirmation)) {
      Export(sibling);
      userFileStamp_ = platform::ModificationTime(UserListPath()).value_or(0);
    } else {
      SetTick(box, false);
    }
  });
}

void SetteiLogic::CheckBoxQuarnelMouseUp() {
  SiblingMouseUp(Sibling::kQuarnel, C::kCheckBoxQuarnel);
}
void SetteiLogic::CheckBoxBrisoltMouseUp() {
  SiblingMouseUp(Sibling::kBrisolt, C::kCheckBoxBrisolt);
}

void SetteiLogic::OpenReadMe() {
  runner_.Run([&] {
    const std::string readMe = paths_.Data(platform::kReadMeFileName);
    if (!services_.OpenWithDefaultProgram(readMe)) {
      services_.ShowMessage(view_.Window(), CannotOpenMessage(readMe));
    }
  });
}

void SetteiLogic::BtnHelpClick() { OpenReadMe(); }
void SetteiLogic::LblURLClick() { OpenReadMe(); }

void SetteiLogic::LblURLMouseMove() { view_.SetLinkColor(kLinkHoverColor); }
void SetteiLogic::FormMouseMove() { view_.SetLinkColor(kLinkColor); }

void SetteiLogic::FormCloseQuery() {
  runner_.Run([&] {
    const std::string userList = UserListPath();
    const bool changed = platform::FileExists(userList) &&
                         platform::ModificationTime(userList).value_or(0) != userFileStamp_;
    for (const auto& [sibling, box] : kSiblingBoxes) {
      if (!changed || !view_.Checked(box) || CountValidUserIdioms() <= 0 ||
          !SiblingPresent(paths_, sibling)) {
        continue;
      }
      if (services_.AskYesNo(view_.Window(), InfoOf(sibling).confirmation)) {
        Export(sibling);
      } else {
        SetTick(box, false);
      }
    }
  });
}

// This dialog's list when it changed it (its wallpaper dialog writes a changed list at
// once), and the file's as it is now in any case: a list another dialog stored since this
// one was shown is not this dialog's to switch off.
bool SetteiLogic::WallpaperListEmpty(const std::string& path) const {
  return pictures_ && pictures_->EntryCount() == 0 &&
         platform::IniFile(path).ReadInteger("Picture", "Count", 0) <= 0;
}

void SetteiLogic::FormClose() {
  runner_.Run([&] {
    const std::string path = SettingsPath();
    if (WallpaperListEmpty(path)) {
      SetTick(C::kCheckBoxHaikei, false);
      platform::IniFile ini(path);
      if (ini.ValueExists("Picture", "Add")) ini.WriteBool("Picture", "Add", false);
    }
    const ClosingValues values = ControlClosingValues();
    platform::IniFile ini(path);
    for (std::size_t i = 0; i < values.size(); ++i) {
      const ClosingKey& k = kClosingKeys[i];
      if (values[i] == shownValues_[i] && ini.ValueExists(k.section, k.key)) continue;
      if (k.kind == ValueKind::kBoolean) {
        ini.WriteBool(k.section, k.key, values[i] != 0);
      } else {
        ini.WriteInteger(k.section, k.key, values[i]);
      }
    }
  });
}

}  // namespace settings
