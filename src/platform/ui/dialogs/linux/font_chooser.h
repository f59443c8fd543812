// The chooser behind "書体の変更": the Japanese faces the saver can draw, the four style
// bits of record.dat as check boxes, and a Japanese sample in the face and style chosen.
// Bold and italic are offered for every face: the saver synthesises them where a face has
// no such style.
#pragma once

#include <QDialog>

#include "platform/ui/dialogs/dialog_services.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;

namespace platform::ui {

class FontChooser : public QDialog {
 public:
  // Starts on the face of `initial` (a stored Windows name selects its IPA face) and its
  // style; the first face when that one is not listed.
  FontChooser(const FontChoice& initial, QWidget* parent);

  // The selected face and the ticked styles, with the starting character height.
  FontChoice Choice() const;

  QListWidget* ListFaces;
  QCheckBox* CheckBoxBold;
  QCheckBox* CheckBoxItalic;
  QCheckBox* CheckBoxUnderline;
  QCheckBox* CheckBoxStrikeOut;
  QLabel* LblSample;
  QDialogButtonBox* Buttons;

  static constexpr const char* kCaption = "書体の変更";
  static constexpr const char* kSampleText = "一期一会　あいうえお　アイウエオ";

 private:
  void ListFacesCurrentRowChanged();
  void StyleToggled();
  void ShowSample();

  int pixelSize_;
};

}  // namespace platform::ui
