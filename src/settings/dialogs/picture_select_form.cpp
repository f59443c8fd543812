#include "settings/dialogs/picture_select_form.h"

#include <QShowEvent>

#include "platform/fs/fs.h"
#include "platform/profile/profile.h"
#include "platform/ui/dialogs/font_faces.h"
#include "platform/ui/dialogs/picture_loader.h"
#include "settings/dialogs/data_paths.h"

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
      services_(services),
      runner_([this](const std::string& message) { services_.ShowError(this, message); }) {
  setWindowTitle(QStringLiteral("壁紙の選択"));
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

  FormCreate(std::move(paths));
}

void TPictureSelectForm::FormCreate(platform::AppPaths paths) { paths_ = std::move(paths); }

int TPictureSelectForm::EntryCount() const { return ListBox1->count(); }

std::vector<std::string> TPictureSelectForm::Entries() const {
  std::vector<std::string> entries;
  for (int i = 0; i < ListBox1->count(); ++i)
    entries.push_back(ListBox1->item(i)->text().toStdString());
  return entries;
}

void TPictureSelectForm::AddItem(const QString& path) {
  auto* item = new QListWidgetItem(path, ListBox1);
  item->setSizeHint(QSize(kScrollWidth, kItemHeight));
}

void TPictureSelectForm::PutEntry(int index, const std::string& path) {
  if (index < 0) return;
  const QString text = QString::fromStdString(path);
  if (index < ListBox1->count()) {
    ListBox1->item(index)->setText(text);
  } else {
    AddItem(text);
  }
}

void TPictureSelectForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TPictureSelectForm::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TPictureSelectForm::FormShow() {
  runner_.Run([&] {
    Label1->setText(
        QStringLiteral("「参照」ボタンを押して表示する壁紙を選んでください。\n"
                       "表示しない壁紙は下の一覧でそのファイル名を選択してから\n"
                       "「削除」ボタンを押してください。"));
  });
}

void TPictureSelectForm::BtnSanshoClick() {
  runner_.Run([&] {
    const std::vector<std::string> paths = services_.OpenFiles(this, {"", kPictureFilter});
    for (const std::string& path : paths) AddItem(QString::fromStdString(path));
  });
}

void TPictureSelectForm::ListBox1Click() {
  runner_.Run([&] {
    if (ListBox1->count() == 0) return;
    const int row = ListBox1->currentRow();
    // Without a selected entry there is nothing to preview or remove.
    if (row < 0) return;
    BtnDel->setEnabled(true);
    const std::string path = ListBox1->item(row)->text().toStdString();
    if (!platform::FileExists(path)) return;
    QImage picture = platform::ui::LoadPictureFile(path);
    if (picture.isNull()) throw HandlerFailure(path + " は画像として読み込めません");
    Image1->SetPicture(std::move(picture));
  });
}

void TPictureSelectForm::BtnDelClick() {
  runner_.Run([&] {
    const int row = ListBox1->currentRow();
    if (row >= 0) {
      listChangeFromCode_ = true;
      delete ListBox1->takeItem(row);
      ListBox1->setCurrentRow(-1);
      listChangeFromCode_ = false;
    }
    Image1->Clear();
    BtnDel->setEnabled(false);
  });
}

void TPictureSelectForm::FormClose() {
  runner_.Run([&] {
    // One write of the file for the whole list, however long it is.
    platform::IniFile ini(paths_.UpdatePath(platform::UserFile::kSettings),
                          platform::IniWrites::kOnCommit);
    ini.WriteInteger("Picture", "Count", ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i) {
      ini.WriteString("Picture", std::to_string(i + 3), ListBox1->item(i)->text().toStdString());
    }
    ini.Commit();
  });
}

}  // namespace settings
