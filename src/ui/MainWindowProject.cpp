// The main window's project commands: New, Open, Save, Save As and the recent projects, the title
// bar that names the project, and the question before unsaved changes are lost.
#include <QAction>
#include <QMenu>

#include "book/FileTypes.h"
#include "book/Project.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "ui/MainWindow.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

const char* const kProjectFilter =
    QT_TRANSLATE_NOOP("bookloom::MainWindow", "Bookloom projects|*.bookloom|All Files|*.*|");
constexpr char16_t kProjectExtension[] = u"bookloom";

}  // namespace

void MainWindow::OnNewProject() {
  if (!SaveIfWanted()) return;
  projectFileName_.clear();
  NewBook();
}

void MainWindow::OnOpenProject() {
  const std::u16string fileName = messages_.OpenProject(tr(kProjectFilter).toStdU16String());
  if (!fileName.empty()) OpenProject(fileName);
}

void MainWindow::OnSaveProject() {
  if (projectFileName_.empty())
    OnSaveProjectAs();
  else
    SaveProject(projectFileName_);
}

void MainWindow::OnSaveProjectAs() {
  const std::u16string fileName = messages_.SaveFile(tr("Save Project").toStdU16String(),
                                                     tr(kProjectFilter).toStdU16String(), kProjectExtension);
  if (!fileName.empty()) SaveProject(fileName);
}

void MainWindow::OpenProject(const std::u16string& fileName) {
  if (!SaveIfWanted()) return;
  const Project project = LoadProject(fileName);
  std::vector<std::string> problems;
  FileList files = MakeProjectItems(project, problems);
  NewBook();
  fileList = std::move(files);
  description = project.description;
  coverPage = project.cover;
  bookSettings_ = project.settings;
  projectFileName_ = fileName;
  RefreshFileList();
  SetModified(false);
  UpdatePreview();
  NoteRecentProject(settings_, fileName);
  UpdateRecentMenu();
  if (!problems.empty()) {
    std::vector<std::u16string> warnings;
    for (const std::string& problem : problems) warnings.push_back(Utf8ToUtf16(problem));
    messages_.ShowWarnings(tr("Some files of the project cannot be used and were left out").toStdU16String(),
                           warnings);
  }
}

void MainWindow::SaveProject(const std::u16string& fileName) {
  bookloom::SaveProject(MakeProject(fileList, description, coverPage, bookSettings_), fileName);
  projectFileName_ = fileName;
  SetModified(false);
  NoteRecentProject(settings_, fileName);
  UpdateRecentMenu();
}

bool MainWindow::SaveIfWanted() {
  if (!modified_) return true;
  const std::u16string name = projectFileName_.empty()
                                  ? tr("Untitled").toStdU16String()
                                  : std::u16string(PathNameWithoutExtension(projectFileName_));
  switch (messages_.AskToSave(name)) {
    case SaveChoice::kDiscard:
      return true;
    case SaveChoice::kCancel:
      return false;
    case SaveChoice::kSave:
      OnSaveProject();
      return !modified_;  // a cancelled Save As keeps the changes unsaved
  }
  return false;
}

void MainWindow::SetModified(bool modified) {
  modified_ = modified;
  UpdateTitle();
}

void MainWindow::UpdateTitle() {
  if (projectFileName_.empty()) {
    setWindowTitle(QStringLiteral("Bookloom"));
    return;
  }
  const QString name = QString::fromStdU16String(std::u16string(PathNameWithoutExtension(projectFileName_)));
  setWindowTitle(name + (modified_ ? QStringLiteral("*") : QString()) + QStringLiteral(" \u2014 Bookloom"));
}

void MainWindow::UpdateRecentMenu() {
  recentMenu_->clear();
  for (const std::u16string& project : settings_.recentProjects) {
    QAction* action = recentMenu_->addAction(QString::fromStdU16String(project));
    connect(action, &QAction::triggered, this,
            [this, project] { ReportErrors(messages_, [&] { OpenProject(project); }); });
  }
  recentMenu_->setEnabled(!settings_.recentProjects.empty());
}

}  // namespace bookloom
