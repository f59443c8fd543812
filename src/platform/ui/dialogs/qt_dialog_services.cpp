#include "platform/ui/dialogs/qt_dialog_services.h"

#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>

#include "platform/ui/dialogs/child_process.h"
#include "platform/ui/dialogs/editor_lookup.h"
#include "platform/ui/dialogs/font_faces.h"

namespace platform::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

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

std::optional<std::string> QtDialogServices::OpenFile(QWidget* owner,
                                                      const FileDialogSpec& request) {
  const QString path = QFileDialog::getOpenFileName(owner, Q(request.title), QString(),
                                                    QtFileFilter(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::vector<std::string> QtDialogServices::OpenFiles(QWidget* owner,
                                                     const FileDialogSpec& request) {
  QFileDialog dialog(owner, Q(request.title), QString(), QtFileFilter(request.filter));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
  std::vector<std::string> paths;
  if (dialog.exec() != QDialog::Accepted) return paths;
  for (const QString& path : dialog.selectedFiles()) paths.push_back(path.toStdString());
  return paths;
}

std::optional<std::string> QtDialogServices::BrowseForFolder(QWidget* owner,
                                                             const std::string& caption) {
  const QString path =
      QFileDialog::getExistingDirectory(owner, Q(caption), QString(), QFileDialog::ShowDirsOnly);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<FontChoice> QtDialogServices::ChooseFont(QWidget* owner, const FontChoice& initial) {
  bool ok = false;
  const QFont chosen =
      QFontDialog::getFont(&ok, MakeFont(initial.face, initial.pixelSize, initial.style), owner);
  if (!ok) return std::nullopt;
  FontChoice choice;
  choice.face = chosen.family().toStdString();
  choice.style = StyleBitsOf(chosen);
  choice.pixelSize = chosen.pixelSize();
  return choice;
}

void QtDialogServices::ShowMessage(QWidget* owner, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString(), Q(text), QMessageBox::Ok, owner);
  box.exec();
}

void QtDialogServices::ShowError(QWidget* owner, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), Q(text), QMessageBox::Ok, owner);
  box.exec();
}

bool QtDialogServices::AskYesNo(QWidget* owner, const std::string& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), Q(text),
                  QMessageBox::Yes | QMessageBox::No, owner);
  return box.exec() == QMessageBox::Yes;
}

void QtDialogServices::ShowModal(QDialog& dialog) { dialog.exec(); }

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
