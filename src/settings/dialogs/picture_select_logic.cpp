#include "settings/dialogs/picture_select_logic.h"

#include "platform/fs/fs.h"
#include "platform/profile/profile.h"

namespace settings {

PictureSelectLogic::PictureSelectLogic(platform::ui::DialogServices& services,
                                       platform::AppPaths paths)
    : services_(services),
      runner_([this](const std::string& message) { services_.ShowError(Window(), message); }),
      paths_(std::move(paths)) {}

void PictureSelectLogic::Attach(PictureSelectView* view) {
  view_ = view;
  ShowEntries();
}

platform::ui::NativeWindow PictureSelectLogic::Window() const {
  return view_ ? view_->Window() : nullptr;
}

void PictureSelectLogic::ShowEntries() {
  if (view_) view_->SetItems(entries_);
}

void PictureSelectLogic::PutEntry(int index, const std::string& path) {
  if (index < 0) return;
  if (static_cast<std::size_t>(index) < stored_.size()) {
    stored_[static_cast<std::size_t>(index)] = path;
  } else {
    stored_.push_back(path);
  }
  if (static_cast<std::size_t>(index) < entries_.size()) {
    entries_[static_cast<std::size_t>(index)] = path;
    if (view_) view_->ReplaceItem(index, path);
  } else {
    entries_.push_back(path);
    if (view_) view_->AddItem(path);
  }
}

void PictureSelectLogic::FormShow() {
  runner_.Run([&] {
    if (view_) view_->SetInstruction(PictureSelectTexts::kInstruction);
  });
}

void PictureSelectLogic::BtnSanshoClick() {
  runner_.Run([&] {
    const std::vector<std::string> paths =
        services_.OpenFiles(Window(), {"", PictureSelectTexts::kPictureFilter});
    for (const std::string& path : paths) {
      entries_.push_back(path);
      if (view_) view_->AddItem(path);
    }
  });
}

void PictureSelectLogic::ListBox1Click() {
  runner_.Run([&] {
    if (!view_ || entries_.empty()) return;
    const int row = view_->SelectedRow();
    // Without a selected entry there is nothing to preview or remove.
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return;
    view_->SetDeleteEnabled(true);
    const std::string& path = entries_[static_cast<std::size_t>(row)];
    if (!platform::FileExists(path)) return;
    if (!view_->ShowPreview(path))
      throw HandlerFailure(platform::DisplayPath(path) + " は画像として読み込めません");
  });
}

void PictureSelectLogic::BtnDelClick() {
  runner_.Run([&] {
    if (!view_) return;
    const int row = view_->SelectedRow();
    if (row >= 0 && static_cast<std::size_t>(row) < entries_.size()) {
      entries_.erase(entries_.begin() + row);
      view_->RemoveItem(row);
    }
    view_->ClearPreview();
    view_->SetDeleteEnabled(false);
  });
}

void PictureSelectLogic::FormClose() {
  runner_.Run([&] {
    // One write of the file for the whole list, however long it is.
    platform::IniFile ini(paths_.UpdatePath(platform::UserFile::kSettings),
                          platform::IniWrites::kOnCommit);
    if (entries_ == stored_ && ini.ValueExists("Picture", "Count")) return;
    ini.WriteInteger("Picture", "Count", EntryCount());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      ini.WriteString("Picture", std::to_string(i + 3), entries_[i]);
    }
    ini.Commit();
    stored_ = entries_;
  });
}

}  // namespace settings
