// What the window tests share: a message interface that answers in the user's place, files to
// add, and a way to act inside a modal dialog while it runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "support/TestData.h"
#include "ui/UserDialogs.h"

namespace bookloom::test {

inline std::u16string U16(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

// Records every message and answers questions and dialogs with what the test set beforehand.
class TestUserDialogs : public UserDialogs {
 public:
  void ShowError(const std::u16string& text) override { errors.push_back(text); }
  bool Confirm(const std::u16string& text) override {
    questions.push_back(text);
    return confirm;
  }
  void ShowValidationError(const std::u16string& text) override { validationErrors.push_back(text); }
  std::vector<std::u16string> OpenFiles(const std::u16string& filter) override {
    openFilter = filter;
    return filesToOpen;
  }
  std::u16string SaveFile(const std::u16string& title, const std::u16string& filter,
                          const std::u16string& defaultExt, const std::u16string& suggested) override {
    saveTitle = title;
    saveSuggested = suggested;
    saveFilter = filter;
    saveExt = defaultExt;
    return saveAs;
  }
  std::u16string OpenProject(const std::u16string& filter) override {
    projectFilter = filter;
    return projectToOpen;
  }
  SaveChoice AskToSave(const std::u16string& name) override {
    saveQuestions.push_back(name);
    return saveChoice;
  }
  void ShowWarnings(const std::u16string& title, const std::vector<std::u16string>& list) override {
    warningsTitle = title;
    warnings = list;
  }
  std::u16string OpenPicture(const std::u16string& title, const std::u16string& filter) override {
    pictureTitle = title;
    pictureFilter = filter;
    return picture;
  }

  std::u16string OpenFolder(const std::u16string& title) override {
    folderTitle = title;
    return folder;
  }

  // Answers.
  bool confirm = true;
  std::vector<std::u16string> filesToOpen;
  std::u16string saveAs, picture, projectToOpen, folder;
  SaveChoice saveChoice = SaveChoice::kCancel;
  // What was shown or asked.
  std::vector<std::u16string> errors, questions, validationErrors;
  std::u16string openFilter, saveTitle, saveSuggested, saveFilter, saveExt, pictureTitle, pictureFilter,
      warningsTitle, projectFilter, folderTitle;
  std::vector<std::u16string> saveQuestions;
  std::vector<std::u16string> warnings;
};

// Runs `action` as soon as the next modal dialog is running; the action should close it. A
// dialog that stays open is a failure, and is closed so that the test goes on.
inline void WhenModal(std::function<void(QWidget& dialog)> action) {
  QTimer::singleShot(0, [action = std::move(action)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no modal dialog is running";
    action(*dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the dialog stayed open";
      dialog->reject();
    }
  });
}

inline std::u16string WriteTextFile(const std::filesystem::path& path, const std::string& utf8) {
  std::ofstream(path, std::ios::binary) << utf8;
  return U16(path);
}

// A picture with a colour gradient and a dark square, saved as a Windows bitmap.
inline std::u16string WritePicture(const std::filesystem::path& path) {
  QImage image(120, 90, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 2, y * 2, 200 - x));
  QPainter(&image).fillRect(30, 20, 40, 40, QColor(20, 20, 20));
  EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "BMP"));
  return U16(path);
}

}  // namespace bookloom::test
