#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <fstream>

#include "UiTestSupport.h"
#include "support/ElfFile.h"
#include "ui/AboutDialog.h"
#include "ui/UserDialogs.h"

namespace bookloom {
namespace {

TEST(AboutDialog, ShowsTheVersionAndBuildOfTheExecutable) {
  test::ScratchDir dir;
  const struct {
    uint16_t major, minor, release, build;
    const char *version, *buildLine;
  } cases[] = {
      {1, 5, 3, 7, "version 1.5", "Build 1.5.03"},
      {2, 10, 123, 0, "version 2.10", "Build 2.10.123"},
  };
  for (const auto& c : cases) {
    const VersionStamp stamp = MakeVersionStamp(c.major, c.minor, c.release, c.build);
    std::ofstream(dir / "prog", std::ios::binary) << test::ElfBuilder(true, false).Build(&stamp);
    const AboutDialog about(test::U16(dir / "prog"));
    EXPECT_EQ(about.versionLabel->text().toStdString(), c.version);
    EXPECT_EQ(about.buildLabel->text().toStdString(), c.buildLine);
  }
  const AboutDialog none(u"/bin/true");
  EXPECT_EQ(none.versionLabel->text(), "version ?");
  EXPECT_EQ(none.buildLabel->text(), "Build ?");
  const AboutDialog program(Utf8ToUtf16(BOOKLOOM_WINDOW));
  EXPECT_EQ(program.versionLabel->text(), "version 0.2");
  EXPECT_EQ(program.buildLabel->text(), "Build 0.2.00");
  EXPECT_EQ(program.windowTitle(), "About Bookloom");
  EXPECT_TRUE(program.closeButton->isDefault());
}

TEST(GeneralErrorText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
  const struct {
    std::u16string message, shown;
  } cases[] = {
      {u"Cannot open file", u"Cannot open file."},
      {u"Done.", u"Done."},
      {u"Really!", u"Really!"},  // '!' sorts before '.'
      {u"(x)", u"(x)"},
      {u"size 5", u"size 5."},
      {u"/tmp/", u"/tmp/."},  // '/' sorts after '.'
      {u"Файл", u"Файл."},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(GeneralErrorText(c.message), c.shown) << Utf16ToUtf8(c.message);
}

TEST(GeneralErrorText, ReachesTheErrorBoxFromAFailingOperation) {
  test::TestUserDialogs messages;
  ReportErrors(messages, [] { throw std::runtime_error("Unable to write to /x/bookloom.ini"); });
  ReportErrors(messages, [] {});
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], u"Unable to write to /x/bookloom.ini.");
}

TEST(QtNameFilters, TurnsDescriptionAndMaskPairsIntoQtFilters) {
  EXPECT_EQ(QtNameFilters(u"All supported formats|*.txt; *.bmp|Text documents (*.txt)|*.txt|"),
            "All supported formats (*.txt *.bmp);;Text documents (*.txt) (*.txt)");
  EXPECT_EQ(QtNameFilters(u"Wolf Files|*.wol|All Files|*.*"), "Wolf Files (*.wol);;All Files (*)");
  EXPECT_EQ(QtNameFilters(u""), "");
}

}  // namespace
}  // namespace bookloom
