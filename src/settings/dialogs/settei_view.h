// What the settings dialog's logic asks of its window: control values, enabling, the font
// label and the link colour, and the few things only the window's toolkit can do. The Qt
// form and the Win32 dialog each implement it; the logic never sees a widget.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/dialogs/dialog_services.h"

namespace settings {

enum class SetteiControl {
  kTrackBarSpeed,
  kTrackBarWaitTime,
  kCheckBoxIkisaki,
  kCheckBoxImiHyoji,
  kRadioGroupBGM,
  kBtnSingle,
  kLblMusicName,
  kBtnRandom,
  kLblRandomFolda,
  kLblKakunin,
  kCheckBoxHaikei,
  kBtnHaikei,
  kBtnTuika,
  kCheckBoxYusen,
  kCheckBoxQuarnel,
  kCheckBoxBrisolt,
  kBtnFont,
  kLblFontName,
  kBtnHelp,
  kLblURL,
};

// The face the font label is drawn in, and the record.dat style bits when they are known
// (without them the label keeps its own style).
struct LabelFont {
  std::string face;
  std::optional<std::uint8_t> style;
};

class SetteiView {
 public:
  virtual ~SetteiView() = default;

  // The window that owns the dialog's choosers and boxes.
  virtual platform::ui::NativeWindow Window() = 0;

  virtual bool Checked(SetteiControl box) const = 0;
  // A tick that changes runs the box's click handler, as a user's click does.
  virtual void SetChecked(SetteiControl box, bool ticked) = 0;
  // The music group's chosen item, -1 when none; choosing another item runs its click
  // handler, choosing the chosen one does nothing.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
  // Slider positions; a value outside the slider's range lands on its nearest end.
  virtual int Position(SetteiControl slider) const = 0;
  virtual void SetPosition(SetteiControl slider, int position) = 0;

  virtual bool Enabled(SetteiControl control) const = 0;
  virtual void SetEnabled(SetteiControl control, bool enabled) = 0;
  virtual void SetVisible(SetteiControl control, bool visible) = 0;
  // A label's text (UTF-8).
  virtual void SetText(SetteiControl label, const std::string& text) = 0;
  // The font label's text, drawn in `font` when given (its face is one FaceInstalled
  // accepted); the label keeps its size in pixels and grows to show the whole text.
  virtual void SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) = 0;
  // Colour of the link label, as a Windows colour value 0x00BBGGRR.
  virtual void SetLinkColor(std::uint32_t bgr) = 0;
  // Greys or restores the Close item of the window's system menu.
  virtual void SetCloseEnabled(bool enabled) = 0;

  // True when the saver draws its texts in this face: an installed screen font has exactly
  // this face name (case-sensitive) and draws Japanese.
  virtual bool FaceInstalled(const std::string& face) const = 0;
  // Handles the window's events until `process` has ended.
  virtual void WaitWhileRunning(platform::ui::ChildProcess& process) = 0;
};

}  // namespace settings
