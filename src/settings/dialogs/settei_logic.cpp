#include "settings/dialogs/settei_logic.h"

#include <algorithm>

#include "dictionary/dictionary.h"
#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/ui/dialogs/dialog_services.h"
#include "settings/dialogs/folder_has_midi.h"
#include "settings/dialogs/shorten_path.h"
#include "settings/dialogs/user_words_export.h"

namespace settings {
namespace {

using platform::ui::kFaceMsPGothic;
using platform::ui::kFaceMsPMincho;
using C = SetteiControl;
using T = SetteiTexts;

// A stored wallpaper count beyond this is taken as damage, not as a list to load key by
// key (each key is a read of the whole file).
constexpr int kMaxWallpaperEntries = 4096;
// Only these bits of record.dat carry a style.
constexpr std::uint8_t kStyleMask = 0x0F;
// The font chooser starts from this face and height, not from the stored choice.
constexpr int kChooserPixelSize = 13;

constexpr std::uint32_t kLinkColor = 0x008000;       // green
constexpr std::uint32_t kLinkHoverColor = 0x800080;  // purple

struct SiblingBox {
  Sibling sibling;
  SetteiControl box;
};
constexpr SiblingBox kSiblingBoxes[] = {{Sibling::kQuarnel, C::kCheckBoxQuarnel},
                                        {Sibling::kBrisolt, C::kCheckBoxBrisolt}};

}  // namespace

std::string NoOpenerMessage(const std::string& file) {
  return "次のファイルを開くプログラムが見つかりませんでした。\n" + file;
}

SetteiLogic::SetteiLogic(SetteiView& view, platform::ui::DialogServices& services,
                         platform::AppPaths paths)
    : view_(view),
      services_(services),
      runner_([this](const std::string& message) { services_.ShowError(view_.Window(), message); }),
      paths_(std::move(paths)) {}

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

  const platform::IniFile ini(path);
  const int count = std::min(ini.ReadInteger("Picture", "Count", 0), kMaxWallpaperEntries);
  for (int i = 0; i < count && pictures_; ++i) {
    pictures_->PutEntry(i, ini.ReadString("Picture", std::to_string(i + 3), ""));
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
  if (!view_.FaceInstalled(face)) {
    view_.SetFontLabel(T::kDefaultFontLabel, std::nullopt);
    return;
  }
  LabelFont font{face, std::nullopt};
  const std::string recordPath = paths_.UpdatePath(platform::UserFile::kFontStyle);
  if (platform::FileExists(recordPath)) {
    const auto record = platform::ReadFilePrefix(recordPath, 1);
    font.style =
        record && !record->empty() ? static_cast<std::uint8_t>((*record)[0]) & kStyleMask : 0;
  }
  view_.SetFontLabel(T::kFontPrefix + face + " ", font);
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
    const std::uint8_t style = choice->style & kStyleMask;
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
      const auto command = services_.FindEditor(userList);
      if (!command) {
        services_.ShowMessage(view_.Window(), NoOpenerMessage(userList));
        return;
      }
      const std::unique_ptr<platform::ui::ChildProcess> editor = services_.StartProcess(*command);
      if (!editor) {
        services_.ShowMessage(view_.Window(), T::kEditorFailed);
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
      services_.ShowMessage(view_.Window(), NoOpenerMessage(readMe));
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

void SetteiLogic::FormClose() {
  runner_.Run([&] {
    const std::string path = SettingsPath();
    if (pictures_ && pictures_->EntryCount() == 0) {
      SetTick(C::kCheckBoxHaikei, false);
      platform::IniFile ini(path);
      if (ini.ValueExists("Picture", "Add")) ini.WriteBool("Picture", "Add", false);
    }
    platform::IniFile ini(path);
    ini.WriteBool("TuikaJukugo", "Yusen",
                  view_.Checked(C::kCheckBoxYusen) && CountValidUserIdioms() >= 1);
    ini.WriteInteger("Settei", "Speed", view_.Position(C::kTrackBarSpeed));
    ini.WriteInteger("Settei", "WaitTime", view_.Position(C::kTrackBarWaitTime));
    const bool anyValid = CountValidUserIdioms() >= 1;
    for (const auto& [sibling, box] : kSiblingBoxes) {
      ini.WriteBool("TuikaJukugo", InfoOf(sibling).settingsKey, anyValid && view_.Checked(box));
    }
    ini.WriteBool("Settei", "IkisakiHyoji", view_.Checked(C::kCheckBoxIkisaki));
    ini.WriteBool("Settei", "ImiHyoji", view_.Checked(C::kCheckBoxImiHyoji));
  });
}

}  // namespace settings
