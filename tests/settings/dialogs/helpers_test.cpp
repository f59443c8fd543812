// The preview window, the MIDI folder test, path shortening, and pictures of the windows.
#include <QBuffer>
#include <QDir>
#include <QImage>

#include "platform/ui/dialogs/linux/font_chooser.h"
#include "settings/dialogs/dialog_fixture.h"
#include "settings/dialogs/folder_has_midi.h"
#include "settings/dialogs/linux/prv_form.h"
#include "settings/dialogs/shorten_path.h"

namespace settings::testing {
namespace {

std::string Jpeg(QSize size) {
  // Left half red, right half blue, so a stretched picture shows where its halves went.
  QImage image(size, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 0));
  for (int y = 0; y < size.height(); ++y) {
    for (int x = size.width() / 2; x < size.width(); ++x)
      image.setPixelColor(x, y, QColor(0, 0, 255));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 95);
  return bytes.toStdString();
}

TEST(PrvFormTest, ThePictureIsStretchedOverTheWholeWindowWithoutKeepingProportions) {
  App();
  TPrvForm preview(Jpeg({640, 480}));
  EXPECT_EQ(preview.size(), QSize(370, 277));
  preview.resize(152, 112);
  preview.show();
  EXPECT_EQ(preview.Image1->geometry(), QRect(0, 0, 152, 112));
  EXPECT_EQ(preview.Image1->PictureRect(), QRect(0, 0, 152, 112));
  const QImage shot = preview.grab().toImage();
  EXPECT_GT(QColor(shot.pixel(30, 56)).red(), 200);
  EXPECT_GT(QColor(shot.pixel(120, 56)).blue(), 200);
}

TEST(PrvFormTest, BytesThatAreNoJpegLeaveAnEmptyWindow) {
  App();
  TPrvForm preview("not a jpeg");
  EXPECT_TRUE(preview.Image1->Picture().isNull());
}

TEST(ShortenPathTest, LongPathsKeepTheirFirstTenAndLastTwentyCharacters) {
  const QString exact32(32, QLatin1Char('a'));
  EXPECT_EQ(ShortenPath(exact32), exact32);
  const QString forty = QStringLiteral("C:/音楽/フォルダ/ABCDEFGHIJKLMNOPQRSTUVWXYZ012");
  ASSERT_EQ(forty.size(), 40);
  EXPECT_EQ(ShortenPath(forty), forty.left(10) + QStringLiteral("...") + forty.right(20));
  EXPECT_EQ(ShortenPath(QString()), QString());
}

TEST(FolderHasMidiTest, FindsAnExactlyNamedMidiFileAnywhereBelow) {
  testing_support::TempDir dir;
  const std::string root = dir.path();
  auto touch = [](const std::string& path) { std::ofstream(path) << "x"; };
  std::filesystem::create_directories(root + "/a/b/c");
  std::filesystem::create_directories(root + "/none");
  touch(root + "/none/song.MID");
  touch(root + "/none/song.mid.txt");
  touch(root + "/none/mid");
  touch(root + "/a/b/c/.hidden.mid");
  std::filesystem::create_directories(root + "/loop");
  std::filesystem::create_directory_symlink(root + "/loop", root + "/loop/again");

  struct Case {
    std::string folder;
    bool expected;
  };
  for (const Case& c : {Case{root, true}, Case{root + "/a/", true}, Case{root + "/none", false},
                        Case{root + "/loop", false}, Case{root + "/missing", false}}) {
    EXPECT_EQ(FolderHasMidi(c.folder), c.expected) << c.folder;
  }
  EXPECT_TRUE(IsMidiName("x.y.mid"));
  EXPECT_TRUE(IsMidiName(".mid"));
  EXPECT_FALSE(IsMidiName("x.mid.bak"));
  EXPECT_FALSE(IsMidiName("x.Mid"));
}

// The banner is drawn at the size of its box, so the dialog shows it pixel for pixel.
class BannerTest : public DialogTest {};

TEST_F(BannerTest, FillsItsBoxWithoutScaling) {
  CreateForms();
  EXPECT_EQ(form_->Image1->Picture().size(), form_->Image1->size());
}

// Writes pictures of the windows to $VM_SCREENSHOT_DIR for a person to look at.
class Screenshots : public DialogTest {};

TEST_F(Screenshots, OfEveryWindow) {
  const char* folder = std::getenv("VM_SCREENSHOT_DIR");
  if (!folder) GTEST_SKIP() << "set VM_SCREENSHOT_DIR to write the pictures";
  QDir().mkpath(QString::fromUtf8(folder));
  const QString out = QString::fromUtf8(folder) + QLatin1Char('/');
  WriteUserList(Header() + ValidGroup());
  WriteSettings(
      "[Picture]\nAdd=1\nCount=2\n3=/home/user/壁紙/夕焼けの海辺と長い影の写真.jpg\n4=/pics/b.bmp\n"
      "[BGM]\nSingle=1\nName=/home/user/音楽/お気に入り/朝の散歩道のテーマ.mid\n"
      "Folda=/home/user/音楽/お気に入り/ランダム再生用の曲\n"
      "[Settei]\nSpeed=3\nWaitTime=7\n");
  CreateForms();
  form_->show();
  form_->LblKakunin->setVisible(false);
  EXPECT_TRUE(form_->grab().save(out + "settei_form.png"));
  form_->LblKakunin->setVisible(true);
  EXPECT_TRUE(form_->grab().save(out + "settei_form_checking.png"));
  form_->LblKakunin->setVisible(false);
  pictures_->show();
  pictures_->ListBox1->setCurrentRow(1);
  pictures_->Image1->SetPicture(QImage::fromData(QByteArray::fromStdString(Jpeg({640, 480}))));
  EXPECT_TRUE(pictures_->grab().save(out + "picture_select_form.png"));
  TPrvForm preview(Jpeg({640, 480}));
  preview.resize(152, 112);
  EXPECT_TRUE(preview.grab().save(out + "prv_form.png"));
  platform::ui::FontChooser chooser(
      {"ＭＳ Ｐゴシック", platform::ui::kFontBold | platform::ui::kFontItalic, 13}, nullptr);
  chooser.show();
  EXPECT_TRUE(chooser.grab().save(out + "font_chooser.png"));
}

}  // namespace
}  // namespace settings::testing
