// Windows for the dialogs' logic without a toolkit: each control is a few values, and a
// tick or item changed from code runs the handler, as the real windows do.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/dialogs/picture_select_logic.h"
#include "settings/dialogs/settei_logic.h"

namespace settings::testing {

class FakeSetteiView : public SetteiView {
 public:
  struct Control {
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    int position = 5;
    std::string text;
  };

  FakeSetteiView() {
    using C = SetteiControl;
    for (const C off :
         {C::kBtnSingle, C::kBtnRandom, C::kBtnHaikei, C::kCheckBoxQuarnel, C::kCheckBoxBrisolt}) {
      controls[off].enabled = false;
    }
    for (const C start :
         {C::kTrackBarSpeed, C::kTrackBarWaitTime, C::kCheckBoxYusen, C::kCheckBoxHaikei}) {
      controls[start];  // as the window starts them
    }
    controls[C::kCheckBoxIkisaki].checked = controls[C::kCheckBoxImiHyoji].checked = true;
    controls[C::kLblKakunin].visible = false;
  }

  SetteiLogic* logic = nullptr;
  std::map<SetteiControl, Control> controls;
  int itemIndex = 2;
  std::optional<LabelFont> labelFont;
  std::set<std::string> installedFaces = {"ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック"};

  platform::ui::NativeWindow Window() override { return nullptr; }
  bool Checked(SetteiControl box) const override { return controls.at(box).checked; }
  void SetChecked(SetteiControl box, bool ticked) override {
    if (controls[box].checked == ticked) return;
    controls[box].checked = ticked;
    Clicked(box);
  }
  int ItemIndex() const override { return itemIndex; }
  void SetItemIndex(int index) override {
    if (index == itemIndex) return;
    itemIndex = index;
    logic->RadioGroupBGMClick();
  }
  int Position(SetteiControl slider) const override { return controls.at(slider).position; }
  void SetPosition(SetteiControl slider, int position) override {
    controls[slider].position = std::clamp(position, 1, 10);
  }
  bool Enabled(SetteiControl control) const override { return controls.at(control).enabled; }
  void SetEnabled(SetteiControl control, bool enabled) override {
    controls[control].enabled = enabled;
  }
  void SetVisible(SetteiControl control, bool visible) override {
    controls[control].visible = visible;
  }
  void SetText(SetteiControl label, const std::string& text) override {
    controls[label].text = text;
  }
  void SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) override {
    controls[SetteiControl::kLblFontName].text = text;
    labelFont = font;
  }
  void SetLinkColor(std::uint32_t) override {}
  void SetCloseEnabled(bool) override {}
  bool FaceInstalled(const std::string& face) const override {
    return installedFaces.count(face) > 0;
  }
  void WaitWhileRunning(platform::ui::ChildProcess& process) override {
    while (!process.HasEnded()) {
    }
  }

 private:
  void Clicked(SetteiControl box) {
    switch (box) {
      case SetteiControl::kCheckBoxHaikei:
        return logic->CheckBoxHaikeiClick();
      case SetteiControl::kCheckBoxYusen:
        return logic->CheckBoxYusenClick();
      default:
        return;
    }
  }
};

// The wallpaper dialog: its list as rows, shown through the fake services' modal run.
class FakePictureView : public PictureSelectView, public platform::ui::ModalDialog {
 public:
  explicit FakePictureView(PictureSelectLogic& logic) : logic_(logic) { logic_.Attach(this); }
  ~FakePictureView() override { logic_.Attach(nullptr); }

  std::vector<std::string> rows;
  int selected = -1;
  bool deleteEnabled = false;
  std::string preview;

  platform::ui::NativeWindow Window() override { return nullptr; }
  void SetInstruction(const std::string&) override {}
  void SetItems(const std::vector<std::string>& paths) override {
    rows = paths;
    selected = -1;
  }
  void AddItem(const std::string& path) override { rows.push_back(path); }
  void ReplaceItem(int row, const std::string& path) override {
    rows[static_cast<std::size_t>(row)] = path;
  }
  void RemoveItem(int row) override {
    rows.erase(rows.begin() + row);
    selected = -1;
  }
  int SelectedRow() const override { return selected; }
  void SetDeleteEnabled(bool enabled) override { deleteEnabled = enabled; }
  bool ShowPreview(const std::string& path) override {
    preview = path;
    return true;
  }
  void ClearPreview() override { preview.clear(); }

  void Exec() override {}
  void Open() override { logic_.FormShow(); }
  void Close() override { logic_.FormClose(); }

 private:
  PictureSelectLogic& logic_;
};

}  // namespace settings::testing
