// The wallpaper list: adding, previewing, removing, and what closing writes.
#include <QBuffer>
#include <QImage>

#include "settings/dialogs/dialog_fixture.h"

namespace settings::testing {
namespace {

class PictureSelectFormTest : public DialogTest {
 protected:
  // A picture file of the given format and size, filled with one colour.
  std::string WritePicture(const std::string& name, const char* format, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    const std::string path = dir_.File(name);
    image.save(QString::fromStdString(path), format);
    return path;
  }
};

TEST_F(PictureSelectFormTest, AddedFilesAreWrittenAsCountAndKeysFromThree) {
  WriteSettings(
      "[Picture]\nAdd=1\nCount=5\n3=/old/1.jpg\n4=/old/2.jpg\n5=/old/3.jpg\n6=/old/4.jpg\n7=/old/"
      "5.jpg\n");
  CreateForms();
  fake_.pictureAnswer = {"/p/a.jpg", "/p/b.bmp"};
  pictures_->show();
  EXPECT_TRUE(pictures_->Label1->text().startsWith(QStringLiteral("「参照」ボタンを押して")));
  pictures_->BtnSanshoClick();
  fake_.pictureAnswer = {"/p/a.jpg"};  // the same picture again is listed again
  pictures_->BtnSanshoClick();
  pictures_->close();

  ASSERT_EQ(fake_.pictureDialogs.size(), 2u);
  EXPECT_EQ(fake_.pictureDialogs[0].filter,
            "ビットマップ (*.bmp),JPEG(*.jpeg,*.jpg)|*.bmp; *.jpeg; *.jpg");
  EXPECT_EQ(Key("Picture", "Count"), "3");
  EXPECT_EQ(Key("Picture", "3"), "/p/a.jpg");
  EXPECT_EQ(Key("Picture", "4"), "/p/b.bmp");
  EXPECT_EQ(Key("Picture", "5"), "/p/a.jpg");
  EXPECT_EQ(Key("Picture", "6"), "/old/4.jpg");  // beyond Count: left as it was
  EXPECT_EQ(Key("Picture", "Add"), "1");         // not this dialog's key
}

TEST_F(PictureSelectFormTest, SelectingPreviewsAndDeleteRemovesTheEntry) {
  const std::string jpeg = WritePicture("wide.jpg", "JPEG", {400, 100});
  const std::string bmp = WritePicture("tall.bmp", "BMP", {50, 100});
  CreateForms();
  fake_.pictureAnswer = {jpeg, bmp, dir_.File("gone.jpg")};
  pictures_->show();
  pictures_->BtnSanshoClick();
  EXPECT_FALSE(pictures_->BtnDel->isEnabled());

  struct Case {
    int row;
    QRect previewRect;  // inside the 134 x 67 box, proportions kept
  };
  for (const Case& c : {Case{0, {0, 0, 134, 33}}, Case{1, {0, 0, 33, 67}}}) {
    pictures_->ListBox1->setCurrentRow(c.row);
    EXPECT_TRUE(pictures_->BtnDel->isEnabled());
    EXPECT_FALSE(pictures_->Image1->Picture().isNull());
    EXPECT_EQ(pictures_->Image1->PictureRect(), c.previewRect) << c.row;
  }
  // A listed file that is gone keeps the last preview and can still be removed.
  const QImage before = pictures_->Image1->Picture();
  pictures_->ListBox1->setCurrentRow(2);
  EXPECT_EQ(pictures_->Image1->Picture(), before);
  pictures_->BtnDelClick();
  EXPECT_TRUE(pictures_->Image1->Picture().isNull());
  EXPECT_FALSE(pictures_->BtnDel->isEnabled());
  EXPECT_EQ(pictures_->Entries(), (std::vector<std::string>{jpeg, bmp}));
  EXPECT_TRUE(fake_.errors.empty());
}

TEST_F(PictureSelectFormTest, AFileThatDoesNotDecodeRaisesTheErrorBox) {
  const std::string broken = dir_.File("broken.jpg");
  WriteFile(broken, "\xFF\xD8 not a picture");
  CreateForms();
  fake_.pictureAnswer = {broken};
  pictures_->show();
  pictures_->BtnSanshoClick();
  pictures_->ListBox1->setCurrentRow(0);
  ASSERT_EQ(fake_.errors.size(), 1u);
  EXPECT_NE(fake_.errors[0].find(broken), std::string::npos);
  EXPECT_TRUE(pictures_->Image1->Picture().isNull());
}

TEST_F(PictureSelectFormTest, AnEmptiedListWritesCountZero) {
  WriteSettings("[Picture]\nAdd=1\nCount=1\n3=/p/a.jpg\n");
  CreateForms();
  form_->show();
  ASSERT_EQ(pictures_->EntryCount(), 1);
  fake_.duringModal = [&](auto&) {
    pictures_->ListBox1->setCurrentRow(0);
    pictures_->BtnDelClick();
  };
  form_->BtnHaikeiClick();
  EXPECT_EQ(Key("Picture", "Count"), "0");
  form_->close();
  EXPECT_EQ(Key("Picture", "Add"), "0");
}

TEST_F(PictureSelectFormTest, ARefusedWriteOnCloseIsShown) {
  CreateForms();
  // The folder for Settei.ini cannot be made: a file has its name.
  std::filesystem::remove_all(exeDir_ + "VelmorandiScrData");
  WriteFile(exeDir_ + "VelmorandiScrData", "");
  pictures_->show();
  pictures_->close();
  EXPECT_EQ(fake_.errors, std::vector<std::string>{SettingsPath() + " に書き込めません"});
}

}  // namespace
}  // namespace settings::testing
