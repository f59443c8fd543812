#include "platform/ui/dialogs/linux/font_chooser.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/dialogs/linux/font_faces.h"

namespace platform::ui {
namespace {

// Faces in the list and the sample are drawn this large, whatever size the choice keeps.
constexpr int kListPixelSize = 16;
constexpr int kSamplePixelSize = 28;

QString Q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

FontChooser::FontChooser(const FontChoice& initial, QWidget* parent)
    : QDialog(parent), pixelSize_(initial.pixelSize) {
  setWindowTitle(Q(kCaption));

  ListFaces = new QListWidget(this);
  for (const std::string& face : JapaneseFaces()) {
    auto* item = new QListWidgetItem(QString::fromStdString(face), ListFaces);
    item->setFont(MakeFont(face, kListPixelSize, 0));
  }
  const QList<QListWidgetItem*> start =
      ListFaces->findItems(ConcreteFamily(initial.face), Qt::MatchExactly);
  ListFaces->setCurrentRow(start.isEmpty() ? 0 : ListFaces->row(start.front()));

  auto* styles = new QGroupBox(Q("スタイル"), this);
  auto* styleColumn = new QVBoxLayout(styles);
  const std::pair<QCheckBox**, const char*> boxes[] = {{&CheckBoxBold, "太字"},
                                                       {&CheckBoxItalic, "斜体"},
                                                       {&CheckBoxUnderline, "下線"},
                                                       {&CheckBoxStrikeOut, "取り消し線"}};
  for (const auto& [box, caption] : boxes) {
    *box = new QCheckBox(Q(caption), styles);
    styleColumn->addWidget(*box);
  }
  styleColumn->addStretch();
  CheckBoxBold->setChecked((initial.style & kFontBold) != 0);
  CheckBoxItalic->setChecked((initial.style & kFontItalic) != 0);
  CheckBoxUnderline->setChecked((initial.style & kFontUnderline) != 0);
  CheckBoxStrikeOut->setChecked((initial.style & kFontStrikeOut) != 0);

  auto* sampleBox = new QGroupBox(Q("見本"), this);
  LblSample = new QLabel(Q(kSampleText), sampleBox);
  LblSample->setAlignment(Qt::AlignCenter);
  LblSample->setMinimumHeight(kSamplePixelSize * 2);
  (new QVBoxLayout(sampleBox))->addWidget(LblSample);

  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Buttons->button(QDialogButtonBox::Ok)->setEnabled(ListFaces->count() > 0);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(Q("書体:"), this), 0, 0);
  grid->addWidget(ListFaces, 1, 0);
  grid->addWidget(styles, 1, 1);
  grid->addWidget(sampleBox, 2, 0, 1, 2);
  grid->addWidget(Buttons, 3, 0, 1, 2);
  grid->setColumnStretch(0, 1);

  connect(ListFaces, &QListWidget::currentRowChanged, this,
          &FontChooser::ListFacesCurrentRowChanged);
  for (QCheckBox* box : {CheckBoxBold, CheckBoxItalic, CheckBoxUnderline, CheckBoxStrikeOut}) {
    connect(box, &QCheckBox::toggled, this, &FontChooser::StyleToggled);
  }
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(520, 400);
  ShowSample();
}

FontChoice FontChooser::Choice() const {
  FontChoice choice;
  if (const QListWidgetItem* item = ListFaces->currentItem()) {
    choice.face = item->text().toStdString();
  }
  if (CheckBoxBold->isChecked()) choice.style |= kFontBold;
  if (CheckBoxItalic->isChecked()) choice.style |= kFontItalic;
  if (CheckBoxUnderline->isChecked()) choice.style |= kFontUnderline;
  if (CheckBoxStrikeOut->isChecked()) choice.style |= kFontStrikeOut;
  choice.pixelSize = pixelSize_;
  return choice;
}

void FontChooser::ListFacesCurrentRowChanged() { ShowSample(); }
void FontChooser::StyleToggled() { ShowSample(); }

void FontChooser::ShowSample() {
  const FontChoice choice = Choice();
  LblSample->setFont(MakeFont(choice.face, kSamplePixelSize, choice.style));
}

}  // namespace platform::ui
