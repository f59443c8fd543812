#include "settings/dialogs/linux/controls.h"

#include <QButtonGroup>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/ui/dialogs/linux/font_faces.h"

namespace settings {

QColor WinColor(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QFont FaceFont(const char* face, int pixelSize, Weight weight, Slant slant) {
  std::uint8_t style = 0;
  if (weight == Weight::kBold) style |= platform::ui::kFontBold;
  if (slant == Slant::kItalic) style |= platform::ui::kFontItalic;
  return platform::ui::MakeFont(face, pixelSize, style);
}

void SetColors(QWidget* widget, std::uint32_t text, std::int64_t background) {
  QPalette palette = widget->palette();
  const QColor textColor = WinColor(text);
  // A disabled control greys its text whatever its colour, as the system does; the default
  // grey would vanish into a silver background.
  const QColor grayText = WinColor(kClGrayText);
  for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    palette.setColor(QPalette::Active, role, textColor);
    palette.setColor(QPalette::Inactive, role, textColor);
    palette.setColor(QPalette::Disabled, role, grayText);
  }
  if (background >= 0) {
    const QColor fill = WinColor(static_cast<std::uint32_t>(background));
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::Button, fill);
    widget->setAutoFillBackground(true);
  }
  widget->setPalette(palette);
}

void EventLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      onClick) {
    onClick();
  }
}

void EventLabel::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  // Taken here: passed on, the move would reach the window, whose own move handler undoes
  // what onMouseMove did.
  event->accept();
  if (onMouseMove) onMouseMove();
}

void MouseUpCheckBox::mouseReleaseEvent(QMouseEvent* event) {
  QCheckBox::mouseReleaseEvent(event);
  if (rect().contains(event->position().toPoint()) && onMouseUp) onMouseUp();
}

RadioGroup::RadioGroup(const QString& title, const std::vector<QString>& items, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(0);
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* item = new QRadioButton(items[i], this);
    buttons_->addButton(item, static_cast<int>(i));
    layout->addWidget(item);
    items_.push_back(item);
  }
  connect(buttons_, &QButtonGroup::idToggled, this, &RadioGroup::ItemToggled);
}

QRadioButton* RadioGroup::Item(int index) const {
  return index >= 0 && index < ItemCount() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

void RadioGroup::SetItemIndex(int index) {
  if (QRadioButton* item = Item(index)) item->setChecked(true);
}

void RadioGroup::ItemToggled(int index, bool checked) {
  if (!checked || index == itemIndex_) return;
  itemIndex_ = index;
  if (onClick) onClick();
}

PictureBox::PictureBox(PictureFit fit, QWidget* parent) : QWidget(parent), fit_(fit) {}

void PictureBox::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  update();
}

void PictureBox::Clear() { SetPicture(QImage()); }

QRect PictureBox::PictureRect() const {
  if (picture_.isNull()) return {};
  if (fit_ == PictureFit::kStretch) return rect();
  const QSize size = picture_.size().scaled(this->size(), Qt::KeepAspectRatio);
  return QRect(QPoint(0, 0), size);
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(PictureRect(), picture_);
}

}  // namespace settings
