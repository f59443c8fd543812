// Qt's own dialogs as the settings dialog meets them, shown for real and answered from a
// timer: Japanese buttons, where the folder browser starts, and the font chooser's faces,
// styles and sample.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "platform/gdi/linux/font_catalog.h"
#include "platform/ui/dialogs/linux/font_chooser.h"
#include "platform/ui/dialogs/linux/font_faces.h"
#include "platform/ui/dialogs/linux/qt_dialog_services.h"
#include "settings/dialogs/dialog_fixture.h"

namespace settings::testing {
namespace {

using platform::ui::FontChoice;
using platform::ui::FontChooser;
using platform::ui::kFontBold;
using platform::ui::kFontItalic;
using platform::ui::kFontStrikeOut;
using platform::ui::kFontUnderline;

// Hands the next modal dialog to `answer` once it is on screen; `answer` must close it.
void AnswerNextModal(std::function<void(QWidget&)> answer) {
  auto* poll = new QTimer(&App());
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    poll->deleteLater();
    poll->stop();
    answer(*modal);
  });
  poll->start(10);
}

class QtDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  platform::ui::QtDialogServices services_;
};

TEST_F(QtDialogsTest, MessageBoxButtonsSpeakJapanese) {
  QStringList captions;
  AnswerNextModal([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    for (QAbstractButton* button : box.buttons()) captions << button->text();
    box.button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(services_.AskYesNo(nullptr, "続けますか？"));
  captions.sort();
  EXPECT_EQ(captions, QStringList({QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")}));
}

TEST_F(QtDialogsTest, FolderBrowserStartsAtHomeWithNothingSelectedAndNoNewFolderButton) {
  AnswerNextModal([](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォルダを選んで"));
    EXPECT_EQ(dialog.directory().absolutePath(), QDir::homePath());
    // The folder views (the places beside them mark where the browser is).
    for (const char* name : {"listView", "treeView"}) {
      const auto* view = dialog.findChild<QAbstractItemView*>(QString::fromLatin1(name));
      ASSERT_NE(view, nullptr) << name;
      EXPECT_FALSE(view->selectionModel()->hasSelection()) << name;
    }
    const auto* newFolder = dialog.findChild<QToolButton*>(QStringLiteral("newFolderButton"));
    EXPECT_TRUE(newFolder == nullptr || !newFolder->isVisible());
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    dialog.reject();
  });
  EXPECT_EQ(services_.BrowseForFolder(nullptr, "フォルダを選んで"), std::nullopt);
}

TEST_F(QtDialogsTest, FontChooserListsOnlyFacesTheSaverDrawsUnderTheirOwnNames) {
  FontChooser chooser({}, nullptr);
  ASSERT_GT(chooser.ListFaces->count(), 0);
  QStringList listed;
  platform::gdi::FontCatalog catalog("");
  for (int row = 0; row < chooser.ListFaces->count(); ++row) {
    const std::string face = chooser.ListFaces->item(row)->text().toStdString();
    listed << QString::fromStdString(face);
    const platform::gdi::FaceChoice& drawn = catalog.Resolve(face, {});
    EXPECT_EQ(drawn.family, face);
    EXPECT_TRUE(drawn.coversJapanese) << face;
  }
  EXPECT_TRUE(listed.contains(QStringLiteral("IPAPMincho")));
  EXPECT_TRUE(listed.contains(QStringLiteral("IPAPGothic")));
}

TEST_F(QtDialogsTest, FontChooserStartsFromTheInitialChoiceAndShowsTheSampleAsChosen) {
  struct Case {
    FontChoice initial;
    QString startFace;  // empty: the first listed
  };
  const Case cases[] = {
      {{"ＭＳ Ｐゴシック", kFontBold | kFontUnderline, 13}, QStringLiteral("IPAPGothic")},
      {{"IPAPMincho", kFontItalic | kFontStrikeOut, 20}, QStringLiteral("IPAPMincho")},
      {{"No Such Face", 0, 13}, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.initial.face);
    FontChooser chooser(c.initial, nullptr);
    const QString start = c.startFace.isEmpty() ? chooser.ListFaces->item(0)->text() : c.startFace;
    EXPECT_EQ(chooser.ListFaces->currentItem()->text(), start);
    const FontChoice choice = chooser.Choice();
    EXPECT_EQ(choice.face, start.toStdString());
    EXPECT_EQ(choice.style, c.initial.style);
    EXPECT_EQ(choice.pixelSize, c.initial.pixelSize);
    const QFont sample = chooser.LblSample->font();
    EXPECT_EQ(sample.family(), start);
    EXPECT_EQ(platform::ui::StyleBitsOf(sample), c.initial.style);
  }
}

TEST_F(QtDialogsTest, FontChooserAnswersWithTheFaceAndEveryStyleTicked) {
  AnswerNextModal([](QWidget& modal) {
    auto& chooser = dynamic_cast<FontChooser&>(modal);
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("書体の変更"));
    chooser.ListFaces->setCurrentItem(
        chooser.ListFaces->findItems(QStringLiteral("IPAPMincho"), Qt::MatchExactly).front());
    for (QCheckBox* box : {chooser.CheckBoxBold, chooser.CheckBoxItalic, chooser.CheckBoxUnderline,
                           chooser.CheckBoxStrikeOut}) {
      box->click();
    }
    EXPECT_EQ(chooser.LblSample->font().family(), QStringLiteral("IPAPMincho"));
    EXPECT_TRUE(chooser.LblSample->font().italic());
    EXPECT_EQ(chooser.Buttons->button(QDialogButtonBox::Cancel)->text(),
              QStringLiteral("キャンセル"));
    chooser.Buttons->button(QDialogButtonBox::Ok)->click();
  });
  const auto choice = services_.ChooseFont(nullptr, {"ＭＳ Ｐゴシック", 0, 13});
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->face, "IPAPMincho");
  EXPECT_EQ(choice->style, kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);

  AnswerNextModal([](QWidget& modal) { dynamic_cast<QDialog&>(modal).reject(); });
  EXPECT_EQ(services_.ChooseFont(nullptr, {"ＭＳ Ｐゴシック", 0, 13}), std::nullopt);
}

}  // namespace
}  // namespace settings::testing
