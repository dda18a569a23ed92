// The main window's project commands: New, Open, Save, Save As and the recent projects, the title
// bar that names the project, and the question before unsaved changes are lost.
#include <QAction>
#include <QMenu>
#include <QUndoStack>

#include "book/FileTypes.h"
#include "book/InputFiles.h"
#include "book/Project.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "ui/BookViewer.h"
#include "ui/CoreTexts.h"
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
  const std::u16string fileName = messages_.OpenProject(ProjectOrBookFilter());
  if (!fileName.empty()) OpenFile(fileName);
}

void MainWindow::OpenFile(const std::u16string& fileName) {
  if (!OpenIfBook(fileName, this)) OpenProject(fileName);
}

void MainWindow::OnSaveProject() {
  if (projectFileName_.empty())
    OnSaveProjectAs();
  else
    SaveProject(projectFileName_);
}

void MainWindow::OnSaveProjectAs() {
  const std::u16string fileName =
      messages_.SaveFile(tr("Save Project").toStdU16String(), tr(kProjectFilter).toStdU16String(),
                         kProjectExtension, SuggestedName(u".bookloom"));
  if (!fileName.empty()) SaveProject(fileName);
}

void MainWindow::OpenProject(const std::u16string& fileName) {
  if (!SaveIfWanted()) return;
  Project project = LoadProject(fileName);
  std::vector<std::string> problems;
  FileList files = MakeProjectItems(runtime_, project, problems);
  if (!problems.empty() && !project.settings.skipBadParts) {
    // Files that only some damaged pages or pictures keep out can come in without them.
    Project skipping = project;
    skipping.settings.skipBadParts = true;
    for (ProjectFile& file : skipping.files) file.settings.skipBadParts = true;
    std::vector<std::string> still;
    FileList rescued = MakeProjectItems(runtime_, skipping, still);
    if (OfferToSkipBad(rescued.Count() - files.Count())) {
      project = std::move(skipping);
      files = std::move(rescued);
      problems = std::move(still);
    }
  }
  // A cover that cannot be read is named with the files: the book cannot be made until it is changed.
  if (project.cover.coverMode > 0 && !project.cover.fileName.empty()) {
    try {
      MakeInputItem(runtime_, project.cover.fileName);
    } catch (const InputError& e) {
      problems.push_back(tr("cover").toStdString() + ": " + e.what());
    }
  }
  NewBook();
  fileList = std::move(files);
  description = project.description;
  coverPage = project.cover;
  bookSettings_ = project.settings;
  projectFileName_ = fileName;
  RefreshFileList();
  MarkSaved();
  UpdatePreview();
  NoteRecentProject(settings_, fileName);
  UpdateRecentMenu();
  if (!problems.empty()) {
    std::vector<std::u16string> warnings;
    for (const std::string& problem : problems) warnings.push_back(CoreText(problem).toStdU16String());
    messages_.ShowWarnings(tr("Some files of the project cannot be used").toStdU16String(), warnings);
  }
}

void MainWindow::SaveProject(const std::u16string& fileName) {
  bookloom::SaveProject(MakeProject(fileList, description, coverPage, bookSettings_), fileName);
  projectFileName_ = fileName;
  MarkSaved();
  NoteRecentProject(settings_, fileName);
  UpdateRecentMenu();
}

std::u16string MainWindow::SuggestedName(const std::u16string& extension) const {
  if (!projectFileName_.empty())
    return std::u16string(PathFolder(projectFileName_)) +
           std::u16string(PathNameWithoutExtension(projectFileName_)) + extension;
  // A title holds no folder: what would separate folders is left out of the name.
  std::u16string name = description.title.empty() ? tr("Untitled").toStdU16String() : description.title;
  std::erase(name, u'/');
  return name.empty() ? std::u16string() : name + extension;
}

bool MainWindow::SaveIfWanted() {
  if (!Modified()) return true;
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
      return !Modified();  // a cancelled Save As keeps the changes unsaved
  }
  return false;
}

bool MainWindow::Modified() const { return !undoStack_->isClean(); }

void MainWindow::MarkSaved() {
  undoStack_->setClean();
  UpdateTitle();
}

void MainWindow::UpdateTitle() {
  const QString name =
      projectFileName_.empty()
          ? tr("Untitled")
          : QString::fromStdU16String(std::u16string(PathNameWithoutExtension(projectFileName_)));
  setWindowTitle(name + (Modified() ? QStringLiteral("*") : QString()) + QStringLiteral(" \u2014 Bookloom"));
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
