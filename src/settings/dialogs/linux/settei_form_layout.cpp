// The settings dialog's window and controls, group by group as the window shows them: the
// sliders and display boxes on the left above the music group, the wallpaper, word-list,
// font and help controls on the right above the banner.
#include "platform/ui/dialogs/linux/font_faces.h"
#include "settings/dialogs/linux/banner.h"
#include "settings/dialogs/linux/settei_form.h"

namespace settings {
namespace {

using platform::ui::kFaceMsPGothic;
using platform::ui::kFaceMsPMincho;

QString Q(const char* text) { return QString::fromUtf8(text); }

QLabel* MakeLabel(const char* text, QPoint at, QWidget* parent) {
  auto* label = new QLabel(Q(text), parent);
  label->move(at);
  return label;
}

QPushButton* MakeButton(const char* caption, QRect geometry, int pixelSize, QWidget* parent) {
  auto* button = new QPushButton(Q(caption), parent);
  button->setGeometry(geometry);
  button->setFont(FaceFont(kFaceMsPGothic, pixelSize, Weight::kBold));
  SetColors(button, kClBlue);
  return button;
}

template <class Box>
Box* MakeCheckBox(const char* caption, QRect geometry, int pixelSize, QWidget* parent) {
  auto* box = new Box(Q(caption), parent);
  box->setGeometry(geometry);
  box->setFont(FaceFont(kFaceMsPGothic, pixelSize, Weight::kBold));
  SetColors(box, kClGreen, kClSilver);
  return box;
}

QSlider* MakeTrackBar(QRect geometry, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setGeometry(geometry);
  slider->setRange(1, 10);
  slider->setTickPosition(QSlider::TicksBothSides);
  slider->setTickInterval(1);
  slider->setSingleStep(1);
  slider->setPageStep(2);
  slider->setValue(5);
  return slider;
}

}  // namespace

void TSetteiForm::BuildControls() {
  setWindowTitle(Q(kCaption));
  setFixedSize(498, 480);
  setFont(FaceFont(kFaceMsPGothic, 12, Weight::kNormal));
  SetColors(this, kClBlack, kClWhite);
  setMouseTracking(true);

  BuildSliders();
  BuildDisplayBoxes();
  BuildMusicGroup();
  BuildWallpaperControls();
  BuildWordListControls();
  BuildFontControls();
  BuildHelpControls();
  ConnectHandlers();
  SetTabOrder();
}

void TSetteiForm::BuildSliders() {
  const QFont heading = FaceFont(kFaceMsPGothic, 16, Weight::kBold);
  const QFont small = FaceFont(kFaceMsPGothic, 13, Weight::kBold);
  Label1 = MakeLabel("ヴェルモランディの速度", {15, 12}, this);
  Label1->setFont(heading);
  Label2 = MakeLabel("速い", {30, 26}, this);
  Label3 = MakeLabel("遅い", {207, 23}, this);
  TrackBarSpeed = MakeTrackBar({30, 41, 200, 40}, this);
  Label4 = MakeLabel("四文字そろったときの待ち時間", {15, 84}, this);
  Label4->setFont(heading);
  Label5 = MakeLabel("小", {31, 106}, this);
  Label6 = MakeLabel("大", {215, 106}, this);
  TrackBarWaitTime = MakeTrackBar({30, 121, 200, 40}, this);
  for (QLabel* label : {Label2, Label3, Label5, Label6}) {
    label->setFont(small);
    SetColors(label, kClRed);
  }
  for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6}) label->adjustSize();
}

void TSetteiForm::BuildDisplayBoxes() {
  CheckBoxIkisaki =
      MakeCheckBox<QCheckBox>("行き先の文字を赤く表示する", {18, 164, 215, 23}, 15, this);
  CheckBoxIkisaki->setChecked(true);
  CheckBoxImiHyoji =
      MakeCheckBox<QCheckBox>("最初から意味を表示する", {18, 188, 215, 23}, 15, this);
  CheckBoxImiHyoji->setChecked(true);
}

void TSetteiForm::BuildMusicGroup() {
  RadioGroupBGM = new RadioGroup(
      Q("ＢＧＭの設定"),
      {Q("指定した曲をＢＧＭにする"), Q("ランダムにＢＧＭを流す"), Q("ＢＧＭを流さない")}, this);
  RadioGroupBGM->setGeometry(15, 217, 215, 75);
  RadioGroupBGM->setFont(FaceFont(kFaceMsPGothic, 16, Weight::kBold));
  SetColors(RadioGroupBGM, kClGreen, kClSilver);
  for (int i = 0; i < RadioGroupBGM->ItemCount(); ++i) SetColors(RadioGroupBGM->Item(i), kClGreen);
  RadioGroupBGM->SetItemIndex(2);

  BtnSingle = MakeButton("曲の選択", {81, 298, 149, 38}, 16, this);
  BtnSingle->setEnabled(false);
  LblMusicName = MakeLabel("指定曲:", {19, 339}, this);
  LblMusicName->resize(215, 42);
  BtnRandom = MakeButton("ランダムBGMの設定", {81, 387, 149, 38}, 13, this);
  BtnRandom->setEnabled(false);
  LblRandomFolda = MakeLabel("指定フォルダ:", {15, 428}, this);
  LblRandomFolda->resize(215, 53);
  for (QLabel* label : {LblMusicName, LblRandomFolda}) {
    label->setFont(FaceFont(kFaceMsPGothic, 13, Weight::kNormal));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetColors(label, kClLime, kClTeal);
  }
  LblKakunin = MakeLabel("midiファイルの確認中...", {18, 447}, this);
  LblKakunin->resize(213, 21);
  LblKakunin->setFont(FaceFont(kFaceMsPGothic, 21, Weight::kBold));
  SetColors(LblKakunin, kClYellow, kClRed);
  LblKakunin->setVisible(false);
}

void TSetteiForm::BuildWallpaperControls() {
  CheckBoxHaikei = MakeCheckBox<QCheckBox>("別の壁紙を追加する", {257, 17, 215, 23}, 16, this);
  BtnHaikei = MakeButton("壁紙の選択", {338, 47, 148, 38}, 16, this);
  BtnHaikei->setEnabled(false);
}

void TSetteiForm::BuildWordListControls() {
  BtnTuika = MakeButton("四文字言葉の追加", {257, 98, 148, 38}, 16, this);
  CheckBoxYusen =
      MakeCheckBox<QCheckBox>("追加した言葉を優先して表示する", {266, 140, 215, 23}, 13, this);
  CheckBoxQuarnel = MakeCheckBox<MouseUpCheckBox>("「クァーネルセーバー」でも使う",
                                                  {266, 170, 215, 23}, 13, this);
  CheckBoxQuarnel->setEnabled(false);
  CheckBoxBrisolt = MakeCheckBox<MouseUpCheckBox>("「ブリゾルトセーバー」でも使う",
                                                  {266, 202, 215, 23}, 13, this);
  CheckBoxBrisolt->setEnabled(false);
}

void TSetteiForm::BuildFontControls() {
  BtnFont = MakeButton("書体の変更", {257, 234, 148, 38}, 16, this);
  LblFontName = MakeLabel("設定書体: ", {266, 275}, this);
  LblFontName->resize(80, 16);
  LblFontName->setFont(FaceFont(kFaceMsPMincho, 16, Weight::kBold));
  SetColors(LblFontName, kClLime, kClTeal);
  // The label grows with the face name it shows; it keeps its place and height.
  LblFontName->setMinimumWidth(80);
}

void TSetteiForm::BuildHelpControls() {
  BtnHelp = MakeButton("ヘルプを見る", {257, 300, 148, 38}, 16, this);

  Image1 = new PictureBox(PictureFit::kStretch, this);
  Image1->setGeometry(237, 408, 254, 43);
  const std::string_view banner = BannerPng();
  Image1->SetPicture(QImage::fromData(reinterpret_cast<const uchar*>(banner.data()),
                                      static_cast<int>(banner.size()), "PNG"));

  LblURL = new EventLabel(Q(kReadMeLinkCaption), this);
  LblURL->setGeometry(243, 457, 252, 13);
  LblURL->setFont(FaceFont(kFaceMsPGothic, 13, Weight::kBold, Slant::kItalic));
  LblURL->setMouseTracking(true);
  LblURL->setCursor(Qt::PointingHandCursor);
  SetColors(LblURL, kClGreen);
}

void TSetteiForm::ConnectHandlers() {
  connect(CheckBoxHaikei, &QCheckBox::toggled, this, &TSetteiForm::CheckBoxHaikeiClick);
  connect(BtnHaikei, &QPushButton::clicked, this, &TSetteiForm::BtnHaikeiClick);
  RadioGroupBGM->onClick = [this] { RadioGroupBGMClick(); };
  connect(BtnSingle, &QPushButton::clicked, this, &TSetteiForm::BtnSingleClick);
  connect(BtnRandom, &QPushButton::clicked, this, &TSetteiForm::BtnRandomClick);
  connect(BtnFont, &QPushButton::clicked, this, &TSetteiForm::BtnFontClick);
  connect(BtnTuika, &QPushButton::clicked, this, &TSetteiForm::BtnTuikaClick);
  connect(CheckBoxYusen, &QCheckBox::toggled, this, &TSetteiForm::CheckBoxYusenClick);
  CheckBoxQuarnel->onMouseUp = [this] { CheckBoxQuarnelMouseUp(); };
  CheckBoxBrisolt->onMouseUp = [this] { CheckBoxBrisoltMouseUp(); };
  connect(BtnHelp, &QPushButton::clicked, this, &TSetteiForm::BtnHelpClick);
  LblURL->onClick = [this] { LblURLClick(); };
  LblURL->onMouseMove = [this] { LblURLMouseMove(); };
}

void TSetteiForm::SetTabOrder() {
  // The radio group takes its place in the order through its items.
  QWidget* order[] = {BtnTuika,
                      BtnHaikei,
                      BtnSingle,
                      BtnRandom,
                      BtnFont,
                      CheckBoxHaikei,
                      RadioGroupBGM->Item(0),
                      RadioGroupBGM->Item(1),
                      RadioGroupBGM->Item(2),
                      BtnHelp,
                      CheckBoxYusen,
                      TrackBarSpeed,
                      CheckBoxQuarnel,
                      CheckBoxBrisolt,
                      TrackBarWaitTime,
                      CheckBoxIkisaki,
                      CheckBoxImiHyoji};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

}  // namespace settings
