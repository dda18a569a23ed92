// Book projects in JSON: everything the window keeps survives a save and a load, paths follow the
// project file, and files that are not projects are refused by name.
#include <gtest/gtest.h>

#include "book/Project.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

TEST(Project, KeepsFilesSettingsDescriptionAndCoverWithPathsBesideIt) {
  test::ScratchDir dir;
  Project project;
  project.description.title = u"Война и мир";
  project.description.annotation = u"Two\nlines";
  project.cover.fileName = (dir / "art" / "cover.png").u16string();
  project.cover.coverMode = 1;
  project.cover.enlarge = false;
  project.cover.margins = {1, 2, 3, 4};
  project.cover.fromTitle = true;
  project.settings.picture.colors = PageColors::kMonochrome;
  FileSettings own;
  own.picture = {.enlarge = true,
                 .rotation = Rotation::kAuto,
                 .split = Split::kRightToLeft,
                 .crop = true,
                 .gamma = 1.5,
                 .autolevel = true,
                 .allFrames = true,
                 .clean = true,
                 .reflowHeight = 14};
  own.text = {
      .encoding = "KOI8-R", .chapters = true, .chapterPatterns = {u"Глава .*"}, .unwrap = Unwrap::kAuto};
  own.documentMode = DocumentMode::kReflow;
  project.files = {{(dir / "text" / "a.txt").u16string(), project.settings, false, {}},
                   {u"/elsewhere/b.png", own, true, {}}};

  SaveProject(project, (dir / "book.bookloom").u16string());
  const std::string json = test::ReadBytes(dir / "book.bookloom");
  EXPECT_NE(json.find("\"path\": \"text/a.txt\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"path\": \"/elsewhere/b.png\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"file\": \"art/cover.png\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"documentMode\": \"reflow\""), std::string::npos) << json;

  // Moved with its folder, the project still finds its files.
  std::filesystem::rename(dir.Path(), dir.Path().string() + "-moved");
  std::filesystem::create_directory(dir.Path());  // for the scratch folder's own clean-up
  const std::filesystem::path moved = dir.Path().string() + "-moved";
  const Project loaded = LoadProject((moved / "book.bookloom").u16string());
  std::filesystem::remove_all(moved);
  EXPECT_EQ(loaded.description.title, project.description.title);
  EXPECT_EQ(loaded.description.annotation, project.description.annotation);
  EXPECT_EQ(loaded.cover.fileName, (moved / "art" / "cover.png").u16string());
  EXPECT_EQ(loaded.cover.coverMode, 1);
  EXPECT_FALSE(loaded.cover.enlarge);
  EXPECT_EQ(loaded.cover.margins, (Margins{1, 2, 3, 4}));
  EXPECT_TRUE(loaded.cover.fromTitle);
  EXPECT_EQ(loaded.settings, project.settings);
  ASSERT_EQ(loaded.files.size(), 2u);
  EXPECT_EQ(loaded.files[0].path, (moved / "text" / "a.txt").u16string());
  EXPECT_FALSE(loaded.files[0].ownSettings);
  EXPECT_EQ(loaded.files[0].settings, project.settings);  // the book's
  EXPECT_EQ(loaded.files[1].path, u"/elsewhere/b.png");
  EXPECT_TRUE(loaded.files[1].ownSettings);
  EXPECT_EQ(loaded.files[1].settings, own);
}

TEST(Project, RefusesWhatIsNotAProjectNamingTheFile) {
  test::ScratchDir dir;
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"not json at all", "is not a readable project: it is damaged or cut short at byte 2"},
      {"{\"format\": \"bookloom-project\", \"files\": [", "it is damaged or cut short at byte 42"},
      {"{\"format\": \"something-else\"}", "is not a Bookloom project"},
      {"[1, 2]", "is not a Bookloom project"},
      {"{\"format\": \"bookloom-project\", \"version\": 99}", "was written by a newer Bookloom"},
      {"{\"format\": \"bookloom-project\", \"files\": [{\"name\": \"x\"}]}",
       "is not a readable project: key 'path' not found"},
      {"{\"format\": \"bookloom-project\", \"settings\": {\"picture\": {\"rotate\": \"up\"}}}",
       "rotate is not one of none|auto|left|right"},
  };
  for (const auto& c : cases) {
    test::WriteBytes(dir / "p.bookloom", c.text);
    try {
      LoadProject((dir / "p.bookloom").u16string());
      ADD_FAILURE() << c.text;
    } catch (const ProjectError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("p.bookloom"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace bookloom

namespace bookloom {
namespace {

// The edits of a file's table of contents are kept with the file, and only for files that have some.
TEST(Project, KeepsEachFilesEditsOfItsTableOfContents) {
  test::ScratchDir dir;
  Project project;
  const ContentsEdits edits = {
      {0, u"story", u"История", 0, false}, {2, u"Глава 1", u"", -1, false}, {3, u"Глава 2", u"", 1, true}};
  project.files = {{(dir / "a.txt").u16string(), project.settings, false, edits},
                   {(dir / "b.txt").u16string(), project.settings, false, {}}};
  SaveProject(project, (dir / "book.bookloom").u16string());
  const std::string json = test::ReadBytes(dir / "book.bookloom");
  EXPECT_EQ(json.find("\"contents\""), json.rfind("\"contents\"")) << json;  // the second file has none
  const Project loaded = LoadProject((dir / "book.bookloom").u16string());
  ASSERT_EQ(loaded.files.size(), 2u);
  EXPECT_EQ(loaded.files[0].contents, edits);
  EXPECT_TRUE(loaded.files[1].contents.empty());
  // The items made from the project carry them.
  test::WriteBytes(dir / "a.txt", "text");
  test::WriteBytes(dir / "b.txt", "text");
  std::vector<std::string> problems;
  const FileList files = MakeProjectItems(TestRuntime(), loaded, problems);
  ASSERT_EQ(files.Count(), 2);
  EXPECT_EQ(files.Items(0).Edits(), edits);
  EXPECT_EQ(MakeProject(files, {}, {}, {}).files[0].contents, edits);
}

}  // namespace
}  // namespace bookloom
