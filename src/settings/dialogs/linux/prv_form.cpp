#include "settings/dialogs/linux/prv_form.h"

#include <QResizeEvent>

#include "platform/ui/dialogs/linux/picture_loader.h"

namespace settings {

TPrvForm::TPrvForm(std::string_view jpeg, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint) {
  SetColors(this, kClBlack, kClBtnFace);
  Image1 = new PictureBox(PictureFit::kStretch, this);
  Image1->setGeometry(0, 0, 370, 282);
  Image1->SetPicture(platform::ui::DecodeJpegBytes(jpeg));
  resize(370, 277);
}

void TPrvForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TPrvForm::FormResize() { Image1->resize(width(), height()); }

}  // namespace settings
