#include "ui/UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <exception>

#include "platform/Utf.h"
#include "ui/CoreTexts.h"
#include "ui/QtText.h"

namespace bookloom {

namespace {

// A box centred on the screen; the text's CR LF line breaks are shown as line breaks.
QMessageBox::StandardButton ShowBox(QMessageBox::Icon icon, const QString& caption,
                                    const std::u16string& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), buttons);
  box.setDefaultButton(QMessageBox::Ok);
  if (buttons & QMessageBox::Cancel) box.setEscapeButton(QMessageBox::Cancel);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Runs a file dialog that starts in `folder` (the home folder when it is empty) on the file
// `suggested` (a name or a path; its own folder when the dialog has shown none yet); the chosen files,
// none when cancelled.
QStringList RunFileDialog(QFileDialog& dialog, QString& folder, const QString& suggested = {}) {
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const QFileInfo file(suggested);
  if (folder.isEmpty() && !suggested.isEmpty() && file.isAbsolute()) folder = file.absolutePath();
  dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
  if (!suggested.isEmpty()) dialog.selectFile(file.fileName());
  if (dialog.exec() != QDialog::Accepted) return {};
  folder = dialog.directory().absolutePath();
  return dialog.selectedFiles();
}

}  // namespace

std::u16string GeneralErrorText(const std::u16string& message) {
  if (!message.empty() && message.back() > u'.') return message + u'.';
  return message;
}

void ReportErrors(UserDialogs& messages, const std::function<void()>& operation) {
  try {
    operation();
  } catch (const std::exception& e) {
    messages.ShowError(GeneralErrorText(CoreText(std::string_view(e.what())).toStdU16String()));
  }
}

QString QtNameFilters(const std::u16string& filter) {
  const QStringList parts = Q(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks;
    for (const QString& mask : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
      const QString m = mask.trimmed();
      if (!m.isEmpty()) masks << (m == QStringLiteral("*.*") ? QStringLiteral("*") : m);
    }
    filters << parts[i] + QStringLiteral(" (") + masks.join(u' ') + u')';
  }
  return filters.join(QStringLiteral(";;"));
}

void QtUserDialogs::ShowError(const std::u16string& text) {
  ShowBox(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok);
}

bool QtUserDialogs::Confirm(const std::u16string& text) {
  return ShowBox(QMessageBox::Question, QCoreApplication::translate("bookloom::QtUserDialogs", "Confirm"),
                 text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtUserDialogs::ShowValidationError(const std::u16string& text) {
  ShowBox(QMessageBox::Critical, QCoreApplication::translate("bookloom::QtUserDialogs", "Error"), text,
          QMessageBox::Ok);
}

std::vector<std::u16string> QtUserDialogs::OpenFiles(const std::u16string& filter) {
  QFileDialog dialog(nullptr, QString(), QString(), QtNameFilters(filter));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  std::vector<std::u16string> files;
  for (const QString& f : RunFileDialog(dialog, addFolder_)) files.push_back(f.toStdU16String());
  return files;
}

std::u16string QtUserDialogs::SaveFile(const std::u16string& title, const std::u16string& filter,
                                       const std::u16string& defaultExt, const std::u16string& suggested) {
  QFileDialog dialog(nullptr, Q(title), QString(), QtNameFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(Q(defaultExt));
  const QStringList files = RunFileDialog(dialog, saveFolder_, Q(suggested));
  return files.isEmpty() ? std::u16string() : files.front().toStdU16String();
}

std::u16string QtUserDialogs::OpenPicture(const std::u16string& title, const std::u16string& filter) {
  QFileDialog dialog(nullptr, Q(title), QString(), QtNameFilters(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList files = RunFileDialog(dialog, pictureFolder_);
  return files.isEmpty() ? std::u16string() : files.front().toStdU16String();
}

std::u16string QtUserDialogs::OpenFolder(const std::u16string& title) {
  QFileDialog dialog(nullptr, Q(title));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  const QStringList files = RunFileDialog(dialog, addFolder_);
  return files.isEmpty() ? std::u16string() : files.front().toStdU16String();
}

std::u16string QtUserDialogs::OpenProject(const std::u16string& filter) {
  QFileDialog dialog(nullptr, QCoreApplication::translate("bookloom::QtUserDialogs", "Open a Project or a Book"),
                     QString(), QtNameFilters(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList files = RunFileDialog(dialog, projectFolder_);
  return files.isEmpty() ? std::u16string() : files.front().toStdU16String();
}

SaveChoice QtUserDialogs::AskToSave(const std::u16string& name) {
  QMessageBox box(
      QMessageBox::Question, QStringLiteral("Bookloom"),
      QCoreApplication::translate("bookloom::QtUserDialogs", "Save the changes of \"%1\" before closing it?")
          .arg(Q(name)),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return SaveChoice::kSave;
    case QMessageBox::Discard:
      return SaveChoice::kDiscard;
    default:
      return SaveChoice::kCancel;
  }
}

void QtUserDialogs::ShowWarnings(const std::u16string& title, const std::vector<std::u16string>& warnings) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("bookloom::QtUserDialogs", "Warnings"),
                  Q(title), QMessageBox::Ok);
  QStringList lines;
  for (const std::u16string& warning : warnings) lines << Q(warning);
  box.setDetailedText(lines.join(u'\n'));
  const int count = static_cast<int>(warnings.size());
  box.setInformativeText(QCoreApplication::translate("bookloom::QtUserDialogs",
                                                     "%n warning(s): see the details.", nullptr, count));
  box.exec();
}

}  // namespace bookloom
