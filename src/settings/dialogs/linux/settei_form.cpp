#include "settings/dialogs/linux/settei_form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "platform/gdi/gdi.h"
#include "platform/ui/dialogs/linux/font_faces.h"
#include "settings/dialogs/shorten_path.h"

namespace settings {
namespace {

// How often the editor wait looks at the child while the dialog handles its events.
constexpr int kEditorPollMs = 50;

}  // namespace

QString ShortenPath(const QString& path) {
  return QString::fromStdString(ShortenPath(path.toStdString()));
}

TSetteiForm::TSetteiForm(TPictureSelectForm& pictureForm, platform::ui::DialogServices& services,
                         platform::AppPaths paths, QWidget* parent)
    : TSetteiForm(services, std::move(paths), parent) {
  SetPictureForm(pictureForm);
}

TSetteiForm::TSetteiForm(platform::ui::DialogServices& services, platform::AppPaths paths,
                         QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      logic_(*this, services, std::move(paths)) {
  BuildControls();
}

void TSetteiForm::SetPictureForm(TPictureSelectForm& pictureForm) {
  logic_.SetPictureDialog(pictureForm, pictureForm.Logic());
}

void TSetteiForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->geometry().center());
      move(frame.topLeft());
    }
  }
  FormShow();
}

void TSetteiForm::closeEvent(QCloseEvent* event) {
  if (EditorRunning()) {
    event->ignore();
    return;
  }
  FormCloseQuery();
  FormClose();
  event->accept();
}

void TSetteiForm::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  FormMouseMove();
}

QWidget* TSetteiForm::Control(SetteiControl control) const {
  using C = SetteiControl;
  switch (control) {
    case C::kTrackBarSpeed:
      return TrackBarSpeed;
    case C::kTrackBarWaitTime:
      return TrackBarWaitTime;
    case C::kCheckBoxIkisaki:
      return CheckBoxIkisaki;
    case C::kCheckBoxImiHyoji:
      return CheckBoxImiHyoji;
    case C::kRadioGroupBGM:
      return RadioGroupBGM;
    case C::kBtnSingle:
      return BtnSingle;
    case C::kLblMusicName:
      return LblMusicName;
    case C::kBtnRandom:
      return BtnRandom;
    case C::kLblRandomFolda:
      return LblRandomFolda;
    case C::kLblKakunin:
      return LblKakunin;
    case C::kCheckBoxHaikei:
      return CheckBoxHaikei;
    case C::kBtnHaikei:
      return BtnHaikei;
    case C::kBtnTuika:
      return BtnTuika;
    case C::kCheckBoxYusen:
      return CheckBoxYusen;
    case C::kCheckBoxQuarnel:
      return CheckBoxQuarnel;
    case C::kCheckBoxBrisolt:
      return CheckBoxBrisolt;
    case C::kBtnFont:
      return BtnFont;
    case C::kLblFontName:
      return LblFontName;
    case C::kBtnHelp:
      return BtnHelp;
    case C::kLblURL:
      return LblURL;
  }
  return nullptr;
}

QCheckBox* TSetteiForm::Box(SetteiControl box) const {
  return qobject_cast<QCheckBox*>(Control(box));
}

QSlider* TSetteiForm::Slider(SetteiControl slider) const {
  return qobject_cast<QSlider*>(Control(slider));
}

bool TSetteiForm::Checked(SetteiControl box) const {
  const QCheckBox* widget = Box(box);
  return widget && widget->isChecked();
}

// The boxes' toggled signals run their handlers, for a change from code as for a click.
void TSetteiForm::SetChecked(SetteiControl box, bool ticked) {
  if (QCheckBox* widget = Box(box)) widget->setChecked(ticked);
}

int TSetteiForm::ItemIndex() const { return RadioGroupBGM->ItemIndex(); }
void TSetteiForm::SetItemIndex(int index) { RadioGroupBGM->SetItemIndex(index); }

int TSetteiForm::Position(SetteiControl slider) const {
  const QSlider* widget = Slider(slider);
  return widget ? widget->value() : 0;
}

void TSetteiForm::SetPosition(SetteiControl slider, int position) {
  if (QSlider* widget = Slider(slider)) widget->setValue(position);
}

bool TSetteiForm::Enabled(SetteiControl control) const { return Control(control)->isEnabled(); }

void TSetteiForm::SetEnabled(SetteiControl control, bool enabled) {
  Control(control)->setEnabled(enabled);
}

void TSetteiForm::SetVisible(SetteiControl control, bool visible) {
  Control(control)->setVisible(visible);
}

void TSetteiForm::SetText(SetteiControl label, const std::string& text) {
  if (auto* widget = qobject_cast<QLabel*>(Control(label)))
    widget->setText(QString::fromStdString(text));
}

void TSetteiForm::SetFontLabel(const std::string& text, const std::optional<LabelFont>& font) {
  LblFontName->setText(QString::fromStdString(text));
  if (font) {
    QFont shown = LblFontName->font();
    if (font->style) {
      shown = platform::ui::MakeFont(font->face, shown.pixelSize(), *font->style);
    } else {
      shown.setFamily(platform::ui::ConcreteFamily(font->face));
    }
    LblFontName->setFont(shown);
  }
  LblFontName->adjustSize();
}

void TSetteiForm::SetLinkColor(std::uint32_t bgr) { SetColors(LblURL, bgr); }

bool TSetteiForm::FaceInstalled(const std::string& face) const {
  return platform::gdi::IsJapaneseScreenFont(face);
}

void TSetteiForm::WaitWhileRunning(platform::ui::ChildProcess& process) {
  // The dialog keeps handling its events while the editor runs; the timer looks at the
  // child between them instead of spinning on it.
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(kEditorPollMs);
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (process.HasEnded()) loop.quit();
  });
  poll.start();
  loop.exec();
}

}  // namespace settings
