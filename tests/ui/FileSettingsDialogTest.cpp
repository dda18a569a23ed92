// The settings of one file and of the whole book, edited in the window: kept in projects and in the
// settings file, shown in the list, and the same book as the command line makes with the same options.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <functional>

#include "UiTestSupport.h"
#include "book/DocumentFileItem.h"
#include "platform/Utf.h"
#include "support/TestRuntime.h"
#include "ui/FileSettingsDialog.h"
#include "ui/MainWindow.h"

namespace bookloom {
namespace {

using test::U16;

// Sets the fields of the settings form as a user would.
using FormInput = std::function<void(FileSettingsForm& form)>;

// The input after the choice of the file's own settings instead of the book's.
FormInput Own(FormInput input) {
  return [input = std::move(input)](FileSettingsForm& form) {
    qobject_cast<FileSettingsDialog*>(form.parentWidget())->useBookCheck->setChecked(false);
    input(form);
  };
}

class FileSettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void Open() { window = std::make_unique<MainWindow>(TestRuntime(), messages, U16(dir / "bookloom")); }

  void SelectRow(int row) {
    window->fileListView->selectionModel()->select(
        window->fileListView->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->UpdateActions();
  }

  // Opens the settings of the file of that row, fills them in and presses OK.
  void EditFileSettings(int row, const FormInput& input) {
    SelectRow(row);
    test::WhenModal([&](QWidget&) {
      input(*window->fileSettingsDialog->form);
      window->fileSettingsDialog->okButton->click();
    });
    window->fileSettingsAction->trigger();
  }

  QVariant RowData(int row, int role) const {
    const QAbstractItemModel* model = window->fileListView->model();
    return model->data(model->index(row, 0), role);
  }

  // Builds the book in the window, and with `make` and those options; true when both are the same.
  void ExpectTheCommandLineBook(const std::string& options, const std::filesystem::path& input) {
    window->MakeBook(U16(dir / "window.wol"));
    ASSERT_TRUE(messages.errors.empty()) << Utf16ToUtf8(messages.errors[0]);
    const std::string command = test::Quoted(BOOKLOOM_CLI) + " make -q -o " + test::Quoted(dir / "cli.wol") +
                                " " + options + " " + test::Quoted(input);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(test::ReadBytes(dir / "window.wol"), test::ReadBytes(dir / "cli.wol")) << options;
  }

  test::ScratchDir dir;
  test::TestUserDialogs messages;
  std::unique_ptr<MainWindow> window;
};

// Every field of a text's and of a picture's settings: set in the dialog, the file's own, shown in the
// list, kept by a project, and the book of the project the one make builds with the same options.
TEST_F(FileSettingsDialogTest, EditedSettingsTravelThroughAProjectIntoTheBook) {
  // "Глава" / "Сцена" in KOI8-R, in a hard-wrapped text.
  const std::string koi8Chapter = "\xE7\xCC\xC1\xD7\xC1", koi8Scene = "\xF3\xC3\xC5\xCE\xC1";
  test::WriteTextFile(dir / "story.txt", koi8Chapter + " 1\n\nA line that goes\non here.\n\n" + koi8Scene +
                                             " 2\n\nMore text\nthat wraps.\n");
  test::WritePicture(dir / "spread.bmp");
  const struct {
    const char* file;
    FormInput input;
    FileSettings expected;
    std::string options;
  } cases[] = {
      {"story.txt",
       Own([](FileSettingsForm& f) {
         f.encodingCombo->setEditText(QStringLiteral("KOI8-R"));
         f.chaptersCheck->setChecked(true);
         f.patternsEdit->setPlainText(QStringLiteral("Сцена \\d+"));
         f.unwrapCombo->setCurrentIndex(2);
       }),
       {{}, {"KOI8-R", true, {u"Сцена \\d+"}, Unwrap::kAuto}},
       "--input-encoding KOI8-R --chapter-pattern 'Сцена \\d+' --unwrap auto"},
      {"spread.bmp",
       Own([](FileSettingsForm& f) {
         f.pictureModeCombo->setCurrentIndex(1);
         f.enlargeCheck->setChecked(true);
         f.rotateCombo->setCurrentIndex(3);
         f.splitCombo->setCurrentIndex(2);
         f.cropCheck->setChecked(true);
         f.gammaSpin->setValue(1.5);
         f.autolevelCheck->setChecked(true);
       }),
       {{true, PageColors::kMonochrome, Rotation::kRight, Split::kRightToLeft, true, 1.5, true, false}, {}},
       "--picture-mode mono --enlarge --rotate right --split rtl --crop --gamma 1.5 --autolevel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    window->NewBook();
    window->AddInputs({U16(dir / c.file)});
    EXPECT_TRUE(RowData(0, Qt::ToolTipRole).isNull());
    EditFileSettings(0, c.input);
    ASSERT_TRUE(messages.validationErrors.empty()) << Utf16ToUtf8(messages.validationErrors[0]);
    const FileItem& item = window->fileList.Items(0);
    EXPECT_EQ(item.Settings(), c.expected);
    EXPECT_TRUE(item.HasOwnSettings());
    EXPECT_TRUE(window->Modified());
    EXPECT_FALSE(RowData(0, Qt::DecorationRole).isNull());
    EXPECT_TRUE(RowData(0, Qt::ToolTipRole).toString().startsWith(QStringLiteral("Own settings:")));

    window->SaveProject(U16(dir / "book.bookloom"));
    window->NewBook();
    window->OpenProject(U16(dir / "book.bookloom"));
    ASSERT_EQ(window->fileList.Count(), 1);
    EXPECT_EQ(window->fileList.Items(0).Settings(), c.expected);
    EXPECT_TRUE(window->fileList.Items(0).HasOwnSettings());
    ExpectTheCommandLineBook(c.options, dir / c.file);
  }
}

// The book's settings: given to every file without its own (a file with its own keeps them), to files
// added later, remembered in the settings file for the next start, and the book make builds with them.
TEST_F(FileSettingsDialogTest, BookSettingsReachEveryFileWithoutItsOwnAndOutliveTheWindow) {
  const std::u16string picture = test::WritePicture(dir / "picture.bmp");
  window->AddInputs({picture, picture});
  EditFileSettings(1, Own([](FileSettingsForm& f) { f.gammaSpin->setValue(0.5); }));
  const FileSettings own = window->fileList.Items(1).Settings();
  test::WhenModal([&](QWidget&) {
    FileSettingsDialog& dialog = *window->fileSettingsDialog;
    EXPECT_TRUE(dialog.useBookCheck->isHidden());
    EXPECT_FALSE(dialog.form->textGroup->isHidden());
    EXPECT_FALSE(dialog.form->pictureGroup->isHidden());
    dialog.form->rotateCombo->setCurrentIndex(1);
    dialog.form->cropCheck->setChecked(true);
    dialog.form->encodingCombo->setCurrentIndex(2);  // Windows-1251
    dialog.okButton->click();
  });
  window->bookSettingsAction->trigger();
  FileSettings book;
  book.picture.rotation = Rotation::kAuto;
  book.picture.crop = true;
  book.text.encoding = "Windows-1251";
  EXPECT_EQ(window->BookSettings(), book);
  EXPECT_EQ(window->fileList.Items(0).Settings(), book);
  EXPECT_FALSE(window->fileList.Items(0).HasOwnSettings());
  EXPECT_EQ(window->fileList.Items(1).Settings(), own);
  // The tooltip names what differs from the book's settings, in their words.
  const QString tip = RowData(1, Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(QStringLiteral("Gamma: 0.50"))) << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("Rotate: None"))) << tip.toStdString();

  messages.saveChoice = SaveChoice::kDiscard;
  ASSERT_TRUE(window->close());
  Open();
  EXPECT_EQ(window->BookSettings(), book);
  window->AddInputs({picture});
  EXPECT_EQ(window->fileList.Items(0).Settings(), book);
  ExpectTheCommandLineBook("--rotate auto --crop --input-encoding Windows-1251", dir / "picture.bmp");
}

// The dialog offers what the file is read with, and "Use the book's settings" shows the book's,
// unchangeable, and drops the file's own on OK.
TEST_F(FileSettingsDialogTest, OffersTheGroupsOfTheFileAndTheBooksSettingsInstead) {
  std::filesystem::create_directory(dir / "album");
  test::WritePicture(dir / "album" / "1.bmp");
  test::WriteTextFile(dir / "a.txt", "text");
  test::WritePicture(dir / "b.bmp");
  // The smallest PDF of one empty page, whose cross-reference table poppler rebuilds.
  test::WriteTextFile(
      dir / "c.pdf",
      "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n2 0 obj <</Type/Pages/Kids[3 0 R]"
      "/Count 1>> endobj\n3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 100 100]>> endobj\n"
      "trailer <</Root 1 0 R>>\n%%EOF\n");
  window->AddInputs({U16(dir / "a.txt"), U16(dir / "b.bmp"), U16(dir / "album"), U16(dir / "c.pdf")});
  const struct {
    int row;
    bool text, pictures, allFrames, document;
  } cases[] = {{0, true, false, false, false},
               {1, false, true, true, false},
               {2, false, true, false, false},
               {3, false, true, false, true}};
  FileSettingsDialog& dialog = *window->fileSettingsDialog;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EditFileSettings(c.row, [&](FileSettingsForm& f) {
      EXPECT_FALSE(dialog.useBookCheck->isHidden());
      EXPECT_TRUE(dialog.useBookCheck->isChecked());
      EXPECT_FALSE(f.isEnabled());
      EXPECT_EQ(!f.textGroup->isHidden(), c.text);
      EXPECT_EQ(!f.pictureGroup->isHidden(), c.pictures);
      EXPECT_EQ(!f.allFramesCheck->isHidden(), c.allFrames);
      EXPECT_EQ(!f.documentModeCombo->isHidden(), c.document);
      dialog.useBookCheck->setChecked(false);
      EXPECT_TRUE(f.isEnabled());
    });
    EXPECT_TRUE(window->fileList.Items(c.row).HasOwnSettings());
    EXPECT_EQ(RowData(c.row, Qt::ToolTipRole).toString(),
              QStringLiteral("Own settings, the same as the book's"));
  }

  EditFileSettings(1, [&](FileSettingsForm& f) {
    EXPECT_FALSE(dialog.useBookCheck->isChecked());
    f.gammaSpin->setValue(2);
    dialog.useBookCheck->setChecked(true);  // shows the book's gamma
    EXPECT_DOUBLE_EQ(f.gammaSpin->value(), 1.0);
    dialog.useBookCheck->setChecked(false);  // and the file's, as it was being edited
    EXPECT_DOUBLE_EQ(f.gammaSpin->value(), 2.0);
    dialog.useBookCheck->setChecked(true);
  });
  EXPECT_FALSE(window->fileList.Items(1).HasOwnSettings());
  EXPECT_EQ(window->fileList.Items(1).Settings(), window->BookSettings());
  EXPECT_TRUE(RowData(1, Qt::ToolTipRole).isNull());
  EXPECT_TRUE(RowData(1, Qt::DecorationRole).isNull());
}

// An encoding iconv does not know and a pattern that is no regular expression keep the dialog open
// with a message that names them; Cancel then leaves the file as it was.
TEST_F(FileSettingsDialogTest, RefusesAnUnknownEncodingAndABrokenPattern) {
  window->AddInputs({test::WriteTextFile(dir / "a.txt", "text")});
  const struct {
    const char *encoding, *pattern, *named;
  } cases[] = {{"NO-SUCH-CODE", "", "NO-SUCH-CODE"}, {"UTF-8", "Scene (\\d+", "Scene (\\d+"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    messages.validationErrors.clear();
    SelectRow(0);
    test::WhenModal([&](QWidget& dialog) {
      FileSettingsDialog& settings = *window->fileSettingsDialog;
      settings.useBookCheck->setChecked(false);
      settings.form->encodingCombo->setEditText(QString::fromLatin1(c.encoding));
      settings.form->chaptersCheck->setChecked(true);
      settings.form->patternsEdit->setPlainText(QString::fromLatin1(c.pattern));
      settings.okButton->click();
      EXPECT_TRUE(dialog.isVisible());
      settings.cancelButton->click();
    });
    window->fileSettingsAction->trigger();
    ASSERT_EQ(messages.validationErrors.size(), 1u);
    EXPECT_NE(Utf16ToUtf8(messages.validationErrors[0]).find(c.named), std::string::npos)
        << Utf16ToUtf8(messages.validationErrors[0]);
    EXPECT_FALSE(window->fileList.Items(0).HasOwnSettings());
    EXPECT_EQ(window->fileList.Items(0).Settings(), FileSettings());
  }
}

// A dropped folder becomes the one item make makes of it, with the book's settings; what make
// refuses is named with its words and the rest is added.
TEST_F(FileSettingsDialogTest, DroppedFoldersAreAddedAsMakeAddsThem) {
  std::filesystem::create_directory(dir / "album");
  test::WritePicture(dir / "album" / "1.bmp");
  test::WriteTextFile(dir / "album" / "2.txt", "between the pictures");
  test::WritePicture(dir / "album" / "3.bmp");
  QMimeData data;
  data.setUrls(
      {QUrl::fromLocalFile(QString::fromStdString((dir / "album").string())),
       QUrl::fromLocalFile(QString::fromStdU16String(test::WriteTextFile(dir / "b.unknown", "\x01\x02")))});
  QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  ASSERT_TRUE(messages.errors.empty()) << Utf16ToUtf8(messages.errors[0]);
  ASSERT_EQ(window->fileList.Count(), 1);
  EXPECT_NE(dynamic_cast<DocumentFileItem*>(&window->fileList.Items(0)), nullptr);
  EXPECT_EQ(window->fileList.Items(0).FileName(), U16(dir / "album"));
  ASSERT_EQ(messages.warnings.size(), 1u);
  EXPECT_EQ(Utf16ToUtf8(messages.warnings[0]), (dir / "b.unknown").string() + ": unknown file type .unknown");
  ExpectTheCommandLineBook("", dir / "album");
}

}  // namespace
}  // namespace bookloom
