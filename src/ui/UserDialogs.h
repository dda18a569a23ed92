// The questions and messages the window puts to the user, and the file dialogs, behind one
// interface: the program shows real boxes and dialogs, tests answer in their place.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace bookloom {

// What the user answers when a book with unsaved changes would be closed.
enum class SaveChoice { kSave, kDiscard, kCancel };

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // The application's general error box: caption "Bookloom", error icon, OK. The text is shown
  // as given; GeneralErrorText makes it from an error's message.
  virtual void ShowError(const std::u16string& text) = 0;
  // A confirmation box: caption "Confirm", question icon, OK (default) and Cancel; true on OK only.
  virtual bool Confirm(const std::u16string& text) = 0;
  // An error box of a dialog's check: caption "Error", error icon, OK.
  virtual void ShowValidationError(const std::u16string& text) = 0;

  // The open dialog of "Add File": several existing files; `filter` is pairs of description and
  // masks, each followed by "|". Nothing when cancelled.
  virtual std::vector<std::u16string> OpenFiles(const std::u16string& filter) = 0;
  // A save dialog that asks before overwriting and adds `defaultExt` to a name without one; it
  // starts on `suggested` (a path), in the folder it showed last if it has shown one. Empty when
  // cancelled.
  virtual std::u16string SaveFile(const std::u16string& title, const std::u16string& filter,
                                  const std::u16string& defaultExt, const std::u16string& suggested) = 0;
  // An open dialog for one existing picture. Empty when cancelled.
  virtual std::u16string OpenPicture(const std::u16string& title, const std::u16string& filter) = 0;
  // A dialog that chooses one existing folder. Empty when cancelled.
  virtual std::u16string OpenFolder(const std::u16string& title) = 0;
  // Lists warnings in one box: caption "Warnings", warning icon, the title above the list, OK.
  virtual void ShowWarnings(const std::u16string& title, const std::vector<std::u16string>& warnings) = 0;
  // An open dialog for one existing project file. Empty when cancelled.
  virtual std::u16string OpenProject(const std::u16string& filter) = 0;
  // Asks whether to save the changes of the book `name` first: Save, Discard or Cancel.
  virtual SaveChoice AskToSave(const std::u16string& name) = 0;
};

// The general error box's text for an error message: a full stop is appended when the last
// character sorts after ".".
std::u16string GeneralErrorText(const std::u16string& message);

// Runs an operation of a window; an error it raises is shown in the general error box, and the
// program goes on.
void ReportErrors(UserDialogs& messages, const std::function<void()>& operation);

// A filter of "description|masks|" pairs (masks separated by ";") as the name filters of a Qt
// file dialog: "description (mask mask)"; "*.*" stands for every file.
QString QtNameFilters(const std::u16string& filter);

// The boxes and dialogs shown to the user.
class QtUserDialogs : public UserDialogs {
 public:
  void ShowError(const std::u16string& text) override;
  bool Confirm(const std::u16string& text) override;
  void ShowValidationError(const std::u16string& text) override;
  std::vector<std::u16string> OpenFiles(const std::u16string& filter) override;
  std::u16string SaveFile(const std::u16string& title, const std::u16string& filter,
                          const std::u16string& defaultExt, const std::u16string& suggested) override;
  std::u16string OpenPicture(const std::u16string& title, const std::u16string& filter) override;
  std::u16string OpenFolder(const std::u16string& title) override;
  void ShowWarnings(const std::u16string& title, const std::vector<std::u16string>& warnings) override;
  std::u16string OpenProject(const std::u16string& filter) override;
  SaveChoice AskToSave(const std::u16string& name) override;

 private:
  // The folder each dialog showed last, so the next opening starts there; the home folder before.
  QString addFolder_, saveFolder_, pictureFolder_, projectFolder_;
};

}  // namespace bookloom
