// Small widgets the dialog windows are built from, with the behaviour their handlers need.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QButtonGroup;

namespace settings {

// A colour in the Windows byte order 0x00BBGGRR.
QColor WinColor(std::uint32_t bgr);

inline constexpr std::uint32_t kClBlack = 0x000000, kClWhite = 0xFFFFFF, kClBlue = 0xFF0000,
                               kClGreen = 0x008000, kClSilver = 0xC0C0C0, kClRed = 0x0000FF,
                               kClLime = 0x00FF00, kClTeal = 0x808000, kClYellow = 0x00FFFF,
                               kClPurple = 0x800080, kClBtnFace = 0xF0F0F0, kClGrayText = 0x808080;

enum class Weight { kNormal, kBold };
enum class Slant { kUpright, kItalic };
enum class Wrap { kNone, kWordWrap };

// "ＭＳ Ｐゴシック" (or another stored face) with a character height in pixels.
QFont FaceFont(const char* face, int pixelSize, Weight weight, Slant slant = Slant::kUpright);
// Text colour, and the background when `background` is not negative.
void SetColors(QWidget* widget, std::uint32_t text, std::int64_t background = -1);

// A label whose clicks and pointer moves reach the owner.
class EventLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;
  std::function<void()> onMouseMove;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
};

// A check box that tells its owner when a mouse button is released over it, after the
// release has toggled it. Keyboard toggles do not call onMouseUp.
class MouseUpCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;
  std::function<void()> onMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A framed group of exclusive radio items with one "item index". onClick runs whenever the
// index changes, by the user or by SetItemIndex; choosing the item already chosen does not
// run it.
class RadioGroup : public QGroupBox {
 public:
  RadioGroup(const QString& title, const std::vector<QString>& items, QWidget* parent);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const;
  int ItemCount() const { return static_cast<int>(items_.size()); }
  std::function<void()> onClick;

 private:
  void ItemToggled(int index, bool checked);
  std::vector<QRadioButton*> items_;
  QButtonGroup* buttons_;
  int itemIndex_ = -1;
};

enum class PictureFit {
  kStretch,       // fills the box, proportions not kept
  kProportional,  // the largest size that fits with the proportions kept, at the top left
};

// A box that draws one picture scaled into itself.
class PictureBox : public QWidget {
 public:
  PictureBox(PictureFit fit, QWidget* parent);
  void SetPicture(QImage picture);
  void Clear();
  const QImage& Picture() const { return picture_; }
  // Where the picture lands inside the box.
  QRect PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureFit fit_;
  QImage picture_;
};

}  // namespace settings
