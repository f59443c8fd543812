#include "settings/dialogs/linux/picture_select_form.h"

#include <QShowEvent>

#include "platform/ui/dialogs/linux/font_faces.h"
#include "platform/ui/dialogs/linux/picture_loader.h"

namespace settings {
namespace {

constexpr int kItemHeight = 16;
// The list scrolls sideways over this width so that long paths can be read to the end.
constexpr int kScrollWidth = 1500;

QPushButton* MakeButton(const char* caption, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setGeometry(geometry);
  button->setFont(FaceFont(platform::ui::kFaceMsPGothic, 16, Weight::kBold));
  return button;
}

}  // namespace

TPictureSelectForm::TPictureSelectForm(platform::ui::DialogServices& services,
                                       platform::AppPaths paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      logic_(services, std::move(paths)) {
  setWindowTitle(QString::fromUtf8(kCaption));
  setFixedSize(476, 296);
  move(171, 102);
  setFont(FaceFont(platform::ui::kFaceMsPGothic, 12, Weight::kNormal));
  SetColors(this, kClBlack, kClBtnFace);

  Label1 = new QLabel(this);
  Label1->setGeometry(15, 7, 451, 53);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setFont(FaceFont(platform::ui::kFaceMsPGothic, 16, Weight::kNormal));
  SetColors(Label1, kClGreen);

  BtnSansho = MakeButton("参照", {15, 74, 52, 30}, this);
  BtnDel = MakeButton("削除", {15, 126, 52, 30}, this);
  BtnDel->setEnabled(false);

  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(74, 74, 392, 134);
  ListBox1->setFont(FaceFont(platform::ui::kFaceMsPGothic, 16, Weight::kNormal));
  ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ListBox1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  ListBox1->setUniformItemSizes(true);

  Image1 = new PictureBox(PictureFit::kProportional, this);
  Image1->setGeometry(273, 222, 134, 67);

  connect(BtnSansho, &QPushButton::clicked, this, &TPictureSelectForm::BtnSanshoClick);
  connect(BtnDel, &QPushButton::clicked, this, &TPictureSelectForm::BtnDelClick);
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int) {
    if (!listChangeFromCode_) ListBox1Click();
  });
  setTabOrder(BtnSansho, BtnDel);
  setTabOrder(BtnDel, ListBox1);

  logic_.Attach(this);
}

TPictureSelectForm::~TPictureSelectForm() { logic_.Attach(nullptr); }

void TPictureSelectForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TPictureSelectForm::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TPictureSelectForm::SetInstruction(const std::string& text) {
  Label1->setText(QString::fromStdString(text));
}

void TPictureSelectForm::SetItems(const std::vector<std::string>& paths) {
  listChangeFromCode_ = true;
  ListBox1->clear();
  listChangeFromCode_ = false;
  for (const std::string& path : paths) AddItem(path);
}

void TPictureSelectForm::AddItem(const std::string& path) {
  auto* item = new QListWidgetItem(QString::fromStdString(path), ListBox1);
  item->setSizeHint(QSize(kScrollWidth, kItemHeight));
}

void TPictureSelectForm::ReplaceItem(int row, const std::string& path) {
  if (QListWidgetItem* item = ListBox1->item(row)) item->setText(QString::fromStdString(path));
}

void TPictureSelectForm::RemoveItem(int row) {
  listChangeFromCode_ = true;
  delete ListBox1->takeItem(row);
  ListBox1->setCurrentRow(-1);
  listChangeFromCode_ = false;
}

bool TPictureSelectForm::ShowPreview(const std::string& path) {
  QImage picture = platform::ui::LoadPictureFile(path);
  if (picture.isNull()) return false;
  Image1->SetPicture(std::move(picture));
  return true;
}

}  // namespace settings
