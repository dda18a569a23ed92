// The user's edits of the table of contents: how they plan the entries, and that they reach the book
// for every kind of item, read back with the book reader; the entries an item lists are the ones
// it writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "book/BookBuild.h"
#include "book/Contents.h"
#include "book/InputFiles.h"
#include "book/TextFileItem.h"
#include "pictures/CoverPage.h"
#include "platform/Utf.h"
#include "support/ContentsLines.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// "2 Title" for each entry, "-" before one left out.
Lines PlanLines(const std::vector<PlannedEntry>& plan) {
  Lines lines;
  for (const PlannedEntry& e : plan)
    lines.push_back((e.omitted ? "-" : "") + std::to_string(e.level) + " " + Utf16ToUtf8(e.title));
  return lines;
}

ContentsEdit Rename(size_t index, const std::u16string& original, const std::u16string& title) {
  return {index, original, title, 0, false};
}
ContentsEdit Shift(size_t index, const std::u16string& original, int shift) {
  return {index, original, u"", shift, false};
}
ContentsEdit Omit(size_t index, const std::u16string& original) { return {index, original, u"", 0, true}; }

TEST(Contents, EditsPlanTheEntries) {
  const std::vector<ContentsEntry> entries = {
      {u"Book", 1}, {u"Part", 2}, {u"Ch1", 3}, {u"Ch2", 3}, {u"Deep", 4}};
  const struct {
    const char* what;
    ContentsEdits edits;
    Lines plan;
  } cases[] = {
      {"none: the item's own levels, even one too deep",
       {},
       {"1 Book", "2 Part", "3 Ch1", "3 Ch2", "4 Deep"}},
      {"a new title",
       {Rename(2, u"Ch1", u"Chapter one")},
       {"1 Book", "2 Part", "3 Chapter one", "3 Ch2", "4 Deep"}},
      {"an edit of an entry with another title now is dropped",
       {Rename(2, u"Chapter 1", u"X"), Omit(0, u"Other")},
       {"1 Book", "2 Part", "3 Ch1", "3 Ch2", "4 Deep"}},
      {"an edit beyond the entries is dropped",
       {Omit(9, u"Ch1")},
       {"1 Book", "2 Part", "3 Ch1", "3 Ch2", "4 Deep"}},
      {"a level up, with the entries below it",
       {Shift(3, u"Ch2", -1)},
       {"1 Book", "2 Part", "3 Ch1", "2 Ch2", "3 Deep"}},
      {"no level down below the entry before",
       {Shift(1, u"Part", 1)},
       {"1 Book", "2 Part", "3 Ch1", "3 Ch2", "4 Deep"}},
      {"levels stay within 1..3",
       {Shift(1, u"Part", -5), Shift(3, u"Ch2", 5)},
       {"1 Book", "1 Part", "2 Ch1", "3 Ch2", "4 Deep"}},
      {"no entry goes more than one below the one before",
       {Shift(2, u"Ch1", -1), Shift(3, u"Ch2", 1)},
       {"1 Book", "2 Part", "2 Ch1", "3 Ch2", "4 Deep"}},
      {"an entry left out: the entries below it move up to its place",
       {Omit(0, u"Book")},
       {"-1 Book", "1 Part", "2 Ch1", "2 Ch2", "3 Deep"}},
      {"left out in the middle: its entries take its place",
       {Omit(1, u"Part"), Shift(3, u"Ch2", 0)},
       {"1 Book", "-2 Part", "2 Ch1", "2 Ch2", "3 Deep"}},
      {"renamed and left out",
       {{0, u"Book", u"Title", -1, true}},
       {"-1 Title", "1 Part", "2 Ch1", "2 Ch2", "3 Deep"}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlanLines(PlanContents(entries, c.edits)), c.plan) << c.what;
  // A level down takes the entries below it along, which stop at the deepest level.
  EXPECT_EQ(
      PlanLines(PlanContents({{u"A", 1}, {u"B", 1}, {u"C", 2}, {u"D", 3}, {u"E", 1}}, {Shift(1, u"B", 1)})),
      (Lines{"1 A", "2 B", "3 C", "3 D", "1 E"}));
}

TEST(Contents, ChangesKeepOneEditPerEntryAndOnlyThoseThatChangeSomething) {
  const std::vector<ContentsEntry> entries = {{u"A", 1}, {u"B", 2}, {u"C", 1}};
  ContentsEdits edits;
  EXPECT_TRUE(RenameEntry(edits, entries, 1, u"Bee"));
  EXPECT_TRUE(OmitEntry(edits, entries, 1, true));
  EXPECT_EQ(edits, (ContentsEdits{{1, u"B", u"Bee", 0, true}}));
  EXPECT_FALSE(ShiftEntry(edits, entries, 0, -1));  // already on the top level
  EXPECT_FALSE(CanShiftEntry(entries, edits, 0, -1));
  EXPECT_FALSE(CanShiftEntry(entries, edits, 0, +1));  // the first entry has nothing to stand below
  EXPECT_TRUE(CanShiftEntry(entries, edits, 2, +1));
  EXPECT_TRUE(ShiftEntry(edits, entries, 2, +1));
  EXPECT_EQ(PlanLines(PlanContents(entries, edits)), (Lines{"1 A", "-2 Bee", "2 C"}));
  // Undone, the edits are gone.
  EXPECT_TRUE(RenameEntry(edits, entries, 1, u"B"));
  EXPECT_TRUE(OmitEntry(edits, entries, 1, false));
  EXPECT_TRUE(ShiftEntry(edits, entries, 2, -1));
  EXPECT_TRUE(edits.empty());
}

// The entries of a built book, "2 Title" each, in order.
Lines BookEntries(const std::string& bytes) { return test::ContentsLines(BookReader(bytes)); }

struct Inputs {
  test::ScratchDir dir;
  FileList files;

  Inputs() {
    test::WriteBytes(dir / "story.txt",
                     "Title page\n\nPART ONE\n\nI\n\nText.\n\nII\n\nMore.\n\nPART TWO\n\nI\n\nEnd.\n");
    test::WriteBytes(dir / "picture.jpg", test::JpegPicture(60, 80, 0));
    test::WriteBytes(
        dir / "book.fb2",
        test::Fb2Book("<title-info><book-title>Книга</book-title></title-info>",
                      "<body><section><title><p>Часть</p></title>"
                      "<section><title><p>Глава</p></title><p>Текст.</p></section></section></body>"));
    for (const char* name : {"story.txt", "picture.jpg", "book.fb2"}) {
      std::unique_ptr<FileItem> item = MakeInputItem(TestRuntime(), (dir / name).u16string());
      FileSettings settings;
      settings.text.chapters = true;
      item->SetSettings(settings, true);
      files.Add(std::move(item));
    }
  }
  std::string Book() { return BuildBookInMemory(TestRuntime(), files, BookDescription(), CoverPage()); }
  // Every item's entries, as the items list them, with the levels planned.
  Lines Listed() {
    Lines lines;
    for (int i = 0; i < files.Count(); ++i) {
      FileItem& item = files.Items(i);
      item.SetOnlyInput(files.Count() == 1);
      for (const PlannedEntry& e : PlanContents(item.ContentsEntries(), item.Edits()))
        if (!e.omitted) lines.push_back(std::to_string(e.level) + " " + Utf16ToUtf8(e.title));
    }
    return lines;
  }
};

TEST(Contents, ItemsListTheEntriesTheyWrite) {
  Inputs inputs;
  // Listing reads a file that was not loaded and leaves it so, without warnings of its own.
  inputs.Listed();
  EXPECT_FALSE(inputs.files.Items(0).Loaded());
  EXPECT_TRUE(inputs.files.Items(0).TakeWarnings().empty());
  const Lines all = {"1 story", "2 PART ONE", "3 I",     "3 II",   "2 PART TWO",
                     "3 I",     "1 picture",  "1 Часть", "2 Глава"};
  EXPECT_EQ(inputs.Listed(), all);
  EXPECT_EQ(BookEntries(inputs.Book()), all);
  // A text alone: its headings head the contents.
  inputs.files.Delete(2);
  inputs.files.Delete(1);
  const Lines alone = {"1 PART ONE", "2 I", "2 II", "1 PART TWO", "2 I"};
  EXPECT_EQ(inputs.Listed(), alone);
  EXPECT_EQ(BookEntries(inputs.Book()), alone);
}

TEST(Contents, EditsReachTheBookForEveryKindOfItem) {
  Inputs inputs;
  const std::string unedited = inputs.Book();
  inputs.files.Items(0).SetEdits({Rename(1, u"PART ONE", u"Часть первая"), Omit(4, u"PART TWO")});
  inputs.files.Items(1).SetEdits({Omit(0, u"picture")});
  inputs.files.Items(2).SetEdits({Shift(1, u"Глава", -1), Rename(0, u"Часть", u"Part")});
  const Lines edited = {"1 story", "2 Часть первая", "3 I", "3 II", "2 I", "1 Part", "1 Глава"};
  EXPECT_EQ(inputs.Listed(), edited);
  EXPECT_EQ(BookEntries(inputs.Book()), edited);
  // The edits stay with their items when the list is reordered.
  inputs.files.Exchange(0, 2);
  EXPECT_EQ(BookEntries(inputs.Book()),
            (Lines{"1 Part", "1 Глава", "1 story", "2 Часть первая", "3 I", "3 II", "2 I"}));
  // Without edits the book is byte for byte what it was.
  inputs.files.Exchange(0, 2);
  for (int i = 0; i < inputs.files.Count(); ++i) inputs.files.Items(i).SetEdits({});
  EXPECT_EQ(inputs.Book(), unedited);
}

TEST(Contents, DetectChaptersTurnsThemOnForEveryText) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "a.txt", "Intro\n\nChapter 1\n\nText.\n");
  test::WriteBytes(dir / "b.txt", "Intro\n\nChapter 1\n\nText.\n");
  test::WriteBytes(dir / "p.jpg", test::JpegPicture(10, 10, 0));
  FileList files;
  for (const char* name : {"a.txt", "p.jpg", "b.txt"})
    files.Add(MakeInputItem(TestRuntime(), (dir / name).u16string()));
  EXPECT_EQ(DetectChapters(files), 2);
  EXPECT_TRUE(files.Items(0).Settings().text.chapters);
  EXPECT_TRUE(files.Items(0).HasOwnSettings());
  EXPECT_FALSE(files.Items(1).HasOwnSettings());
  EXPECT_EQ(DetectChapters(files), 0);
  EXPECT_EQ(BookEntries(BuildBookInMemory(TestRuntime(), files, BookDescription(), CoverPage())),
            (Lines{"1 a", "2 Chapter 1", "1 p", "1 b", "2 Chapter 1"}));
}

}  // namespace
}  // namespace bookloom
