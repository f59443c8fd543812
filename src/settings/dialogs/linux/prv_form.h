// TPrvForm: the preview, one still picture of the saver stretched over the whole window.
// Nothing moves in it and it reads no settings.
#pragma once

#include <QWidget>
#include <string_view>

#include "settings/dialogs/linux/controls.h"

namespace settings {

class TPrvForm : public QWidget {
 public:
  // `jpeg` is the still picture as JPEG bytes; bytes that do not decode leave the window
  // its plain face colour.
  explicit TPrvForm(std::string_view jpeg, QWidget* parent = nullptr);

  void FormResize();

  PictureBox* Image1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace settings
