#include <gtest/gtest.h>

#include <fstream>

#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "platform/Exception.h"
#include "platform/PngFile.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// An item that counts how many of its kind are alive, to see the list destroy them.
class CountedItem : public FileItem {
 public:
  explicit CountedItem(const std::u16string& name) : FileItem(TestRuntime(), name) { ++alive; }
  ~CountedItem() override { --alive; }
  void Verify() override {}
  static inline int alive = 0;
};

std::u16string Path(const std::filesystem::path& p) { return p.u16string(); }

TEST(FileItem, SplitsTheNameAtTheLastSlash) {
  const struct {
    std::u16string fileName, shortName, folder;
  } cases[] = {
      {u"/home/ann/Books/story.txt", u"story.txt", u"/home/ann/Books/"},
      {u"story.txt", u"story.txt", u""},
      {u"/story.txt", u"story.txt", u"/"},
      {u"dir.d/", u"", u"dir.d/"},
      {u"C:\\Books\\story.txt", u"C:\\Books\\story.txt", u""},  // not separators on this system
  };
  for (const auto& c : cases) {
    const CountedItem item(c.fileName);
    EXPECT_EQ(item.ShortName(), c.shortName);
    EXPECT_EQ(item.Folder(), c.folder);
  }
}

TEST(FileItem, TakesTheSizeWhenCreatedAndZeroForAMissingFile) {
  test::ScratchDir dir;
  std::ofstream(dir / "a.txt", std::ios::binary) << std::string(1536, 'x');
  const CountedItem item(Path(dir / "a.txt"));
  EXPECT_EQ(item.Size(), 1536);
  EXPECT_FALSE(item.Loaded());
  const CountedItem missing(Path(dir / "missing.txt"));
  EXPECT_EQ(missing.Size(), 0);
}

TEST(FileList, OwnsReordersAndDestroysItsItems) {
  {
    FileList list;
    for (const char16_t* name : {u"a", u"b", u"c", u"d"}) list.Add(std::make_unique<CountedItem>(name));
    ASSERT_EQ(list.Count(), 4);
    list.Exchange(1, 2);
    const auto names = [&] {
      std::u16string s;
      for (int i = 0; i < list.Count(); ++i) s += list.Items(i).FileName();
      return s;
    };
    EXPECT_EQ(names(), u"acbd");
    list.Delete(0);
    EXPECT_EQ(names(), u"cbd");
    EXPECT_EQ(CountedItem::alive, 3);
    // An item taken out lives on with whoever took it, and goes back in where it is put.
    std::unique_ptr<FileItem> taken = list.Take(1);
    EXPECT_EQ(names(), u"cd");
    EXPECT_EQ(CountedItem::alive, 3);
    list.Insert(2, std::move(taken));
    EXPECT_EQ(names(), u"cdb");
    list.Insert(0, std::make_unique<CountedItem>(u"x"));
    EXPECT_EQ(names(), u"xcdb");
    EXPECT_THROW(list.Insert(5, std::make_unique<CountedItem>(u"y")), Exception);
    list.Delete(0);
    EXPECT_EQ(CountedItem::alive, 3);
    EXPECT_THROW(list.Items(3), Exception);
    EXPECT_THROW(list.Delete(-1), Exception);
    list.Clear();
    EXPECT_EQ(CountedItem::alive, 0);
    list.Add(std::make_unique<CountedItem>(u"e"));
  }
  EXPECT_EQ(CountedItem::alive, 0);  // destroyed with the list
}

// A user is offered the settings a kind of file is read with: a text its encoding, chapters and
// lines, a picture file how its pictures (and its frames) become pages, a book or an album how its
// pictures do.
TEST(FileItem, OffersTheSettingsItsKindOfFileIsReadWith) {
  test::ScratchDir dir;
  std::ofstream(dir / "a.txt") << "text";
  WriteGrayPng(Path(dir / "b.png"), 8, 8, std::vector<uint8_t>(64, 100));
  test::WriteBytes(dir / "c.fb2", test::Fb2Book("<title-info><book-title>C</book-title></title-info>",
                                                "<body><section><p>text</p></section></body>"));
  test::WriteBytes(dir / "d.cbz", test::ArchiveOf({{"1.jpg", test::JpegPicture(8, 8, 50)}}));
  std::filesystem::create_directory(dir / "e");
  WriteGrayPng(Path(dir / "e" / "1.png"), 8, 8, std::vector<uint8_t>(64, 100));
  const struct {
    const char* name;
    bool text, pictures, allFrames;
  } cases[] = {
      {"a.txt", true, false, false}, {"b.png", false, true, true}, {"c.fb2", false, true, false},
      {"d.cbz", false, true, false}, {"e", false, true, false},
  };
  for (const auto& c : cases) {
    const SettingGroups groups = MakeInputItem(TestRuntime(), Path(dir / c.name))->UsedSettings();
    EXPECT_EQ(groups.text, c.text) << c.name;
    EXPECT_EQ(groups.pictures, c.pictures) << c.name;
    EXPECT_EQ(groups.allFrames, c.allFrames) << c.name;
  }
}

TEST(FileList, GivesTheBookSettingsToTheItemsWithoutTheirOwn) {
  FileList list;
  for (const char16_t* name : {u"a", u"b", u"c"}) list.Add(std::make_unique<CountedItem>(name));
  FileSettings own;
  own.picture.gamma = 2;
  list.Items(1).SetSettings(own, true);
  FileSettings book;
  book.text.encoding = "KOI8-R";
  book.picture.rotation = Rotation::kAuto;
  list.SetBookSettings(book);
  for (int i : {0, 2}) {
    EXPECT_EQ(list.Items(i).Settings(), book) << i;
    EXPECT_FALSE(list.Items(i).HasOwnSettings()) << i;
  }
  EXPECT_EQ(list.Items(1).Settings(), own);
  EXPECT_TRUE(list.Items(1).HasOwnSettings());
}

}  // namespace
}  // namespace bookloom
