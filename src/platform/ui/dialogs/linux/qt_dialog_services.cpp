#include "platform/ui/dialogs/linux/qt_dialog_services.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QToolButton>
#include <QTranslator>
#include <string>

#include "platform/log/log.h"
#include "platform/ui/dialogs/linux/child_process.h"
#include "platform/ui/dialogs/linux/editor_lookup.h"
#include "platform/ui/dialogs/linux/font_chooser.h"

namespace platform::ui {
namespace {

// Qt's translations of its own dialogs and standard buttons.
constexpr const char* kQtTranslations = "qtbase_ja";

QString Q(const std::string& text) { return QString::fromStdString(text); }
QWidget* Owner(NativeWindow owner) { return static_cast<QWidget*>(owner); }

}  // namespace

QtDialogServices::QtDialogServices() : translator_(std::make_unique<QTranslator>()) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (translator_->load(QString::fromLatin1(kQtTranslations), folder)) {
    QCoreApplication::installTranslator(translator_.get());
  } else {
    platform::Log(std::string(kQtTranslations) + ".qm is not in " +
                  folder.toLocal8Bit().constData() + "; the standard dialogs speak English");
  }
}

QtDialogServices::~QtDialogServices() { QCoreApplication::removeTranslator(translator_.get()); }

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
      if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
    }
    entries << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogServices::OpenFile(NativeWindow owner,
                                                      const FileDialogSpec& request) {
  // Qt's own file dialogs throughout: they speak Japanese whatever the desktop's language.
  const QString path = QFileDialog::getOpenFileName(Owner(owner), Q(request.title), QString(),
                                                    QtFileFilter(request.filter), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::vector<std::string> QtDialogServices::OpenFiles(NativeWindow owner,
                                                     const FileDialogSpec& request) {
  QFileDialog dialog(Owner(owner), Q(request.title), QString(), QtFileFilter(request.filter));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setSizeGripEnabled(true);
  std::vector<std::string> paths;
  if (dialog.exec() != QDialog::Accepted) return paths;
  for (const QString& path : dialog.selectedFiles()) paths.push_back(path.toStdString());
  return paths;
}

std::optional<std::string> QtDialogServices::BrowseForFolder(NativeWindow owner,
                                                             const std::string& caption) {
  // Qt's own dialog, whatever the desktop offers: it opens in the home folder with nothing
  // selected, and loses the button that makes new folders (a read-only view also takes
  // making, renaming and deleting off its menus).
  QFileDialog dialog(Owner(owner), Q(caption), QDir::homePath());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                    QFileDialog::ReadOnly);
  if (auto* button = dialog.findChild<QToolButton*>(QStringLiteral("newFolderButton"))) {
    button->hide();
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<FontChoice> QtDialogServices::ChooseFont(NativeWindow owner,
                                                       const FontChoice& initial) {
  FontChooser chooser(initial, Owner(owner));
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.Choice();
}

void QtDialogServices::ShowMessage(NativeWindow owner, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString(), Q(text), QMessageBox::Ok, Owner(owner));
  box.exec();
}

void QtDialogServices::ShowError(NativeWindow owner, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), Q(text), QMessageBox::Ok,
                  Owner(owner));
  box.exec();
}

bool QtDialogServices::AskYesNo(NativeWindow owner, const std::string& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), Q(text),
                  QMessageBox::Yes | QMessageBox::No, Owner(owner));
  return box.exec() == QMessageBox::Yes;
}

void QtDialogServices::ShowModal(ModalDialog& dialog) { dialog.Exec(); }

std::optional<std::vector<std::string>> QtDialogServices::FindEditor(const std::string& file) {
  return FindEditorCommand(file, SystemEditorProbe());
}

std::unique_ptr<ChildProcess> QtDialogServices::StartProcess(const std::vector<std::string>& argv) {
  return PosixChildProcess::Start(argv);
}

bool QtDialogServices::OpenWithDefaultProgram(const std::string& target) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {Q(target)});
}

}  // namespace platform::ui
