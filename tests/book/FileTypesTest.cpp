#include <gtest/gtest.h>

#include "book/FileTypeRegistry.h"
#include "book/TextFileItem.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

class OtherItem : public FileItem {
 public:
  using FileItem::FileItem;
  void Verify() override {}
};

const FileItemClass kTextClass = {"TextLike", [](const std::u16string& f) -> std::unique_ptr<FileItem> {
                                    return std::make_unique<OtherItem>(f);
                                  }};
const FileItemClass kPictureClass = {"PictureLike", kTextClass.create};

// The descriptions and reference counts of the class entries, in order: "Text documents:2 ...".
std::string ClassEntries(const FileTypeRegistry& formats) {
  std::string s;
  for (const auto& c : formats.Classes()) {
    if (!s.empty()) s += " ";
    s += std::string(c->itemClass->name) + "/" + std::string(c->description.begin(), c->description.end()) +
         ":" + std::to_string(c->refCount);
  }
  return s;
}

TEST(FileTypeRegistry, RefusesAnExtensionTwiceWithoutReplace) {
  FileTypeRegistry formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"Plain text file", false, kTextClass);
  try {
    formats.RegisterFormat(u"TXT", u"Other", u"", false, kPictureClass);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Attempt to register TXT twice!");
  }
  formats.RegisterFormat(u"Txt", u"Renamed", u"Renamed too", true, kTextClass);  // same class: no change
  formats.RegisterFormat(u"", u"Nothing", u"", false, kTextClass);               // ignored
  ASSERT_EQ(formats.Extensions().size(), 1u);
  EXPECT_EQ(formats.Extensions()[0]->ext, u"txt");
  EXPECT_EQ(formats.Extensions()[0]->description, u"Plain text file");
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1");
}

TEST(FileTypeRegistry, ReplacingMovesTheExtensionAndDropsAnUnusedClassEntry) {
  FileTypeRegistry formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"", false, kTextClass);
  formats.RegisterFormat(u"log", u"Text documents", u"", false, kTextClass);
  formats.RegisterFormat(u"TXT", u"Pictures", u"ignored", true, kPictureClass);
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1 PictureLike/Pictures:1");
  EXPECT_EQ(formats.Extensions()[0]->ext, u"txt");  // keeps its own spelling and description
  EXPECT_EQ(formats.Extensions()[0]->description, u"");
  formats.RegisterFormat(u"log", u"Pictures", u"", true, kPictureClass);
  EXPECT_EQ(ClassEntries(formats), "PictureLike/Pictures:2");
  EXPECT_EQ(formats.FindItemClass(u"/a/b.log"), &kPictureClass);
}

TEST(FileTypeRegistry, UnregistersOneExtensionOrAllOfAClass) {
  FileTypeRegistry formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"", false, kTextClass);
  formats.RegisterFormat(u"png", u"Pictures", u"", false, kPictureClass);
  formats.RegisterFormat(u"bmp", u"Bitmaps", u"", false, kPictureClass);  // one class, two entries
  formats.RegisterFormat(u"jpg", u"Pictures", u"", false, kPictureClass);
  formats.UnregisterFormat(u"PNG", kTextClass);  // the class is not consulted
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1 PictureLike/Pictures:1 PictureLike/Bitmaps:1");
  formats.UnregisterFormat(u"gif", kPictureClass);  // not registered: nothing happens
  formats.UnregisterFormat(u"", kPictureClass);
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1");
  ASSERT_EQ(formats.Extensions().size(), 1u);
  EXPECT_EQ(formats.FindItemClass(u"x.jpg"), nullptr);
}

TEST(FileTypeRegistry, FindsTheClassByTheExtensionOfTheName) {
  FileTypeRegistry formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"", false, kTextClass);
  const struct {
    std::u16string fileName;
    const FileItemClass* itemClass;
  } cases[] = {
      {u"/texts/Story.TXT", &kTextClass}, {u"/my.books/a.b.txt", &kTextClass}, {u".txt", &kTextClass},
      {u"/texts/README", nullptr},        {u"/my.txt/README", nullptr},  // the dot of a folder does not count
      {u"/texts/a.txt.", nullptr},        {u"/texts/a.tx", nullptr},           {u"", nullptr},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formats.FindItemClass(c.fileName), c.itemClass)
        << std::string(c.fileName.begin(), c.fileName.end());
}

class BuildFilter : public testing::Test {
 protected:
  BuildFilter() {
    formats.RegisterFormat(u"txt", u"Text documents", u"Plain text file", false, kTextClass);
    formats.RegisterFormat(u"png", u"Pictures", u"", false, kPictureClass);
    formats.RegisterFormat(u"jpg", u"Pictures", u"JPEG picture", false, kPictureClass);
    formats.RegisterFormat(u"bmp", u"Bitmaps", u"Windows bitmap", false, kPictureClass);
    formats.RegisterFormat(u"csv", u"comma separated", u"", false, kTextClass);
  }
  FileTypeRegistry formats;
};

TEST_F(BuildFilter, GroupsByClassInEverySortMode) {
  const struct {
    int sortMode;
    std::u16string filter;
  } cases[] = {
      {0,
       u"All supported formats|*.txt; *.png; *.jpg; *.bmp; *.csv|Text documents (*.txt)|*.txt|Pictures "
       u"(*.png; "
       u"*.jpg)|*.png; *.jpg|Bitmaps (*.bmp)|*.bmp|comma separated (*.csv)|*.csv|"},
      {1,
       u"All supported formats|*.bmp; *.csv; *.jpg; *.png; *.txt|Bitmaps (*.bmp)|*.bmp|comma separated "
       u"(*.csv)|*.csv|Pictures (*.jpg; *.png)|*.jpg; *.png|Text documents (*.txt)|*.txt|"},
      {2,
       u"All supported formats|*.txt; *.png; *.jpg; *.bmp; *.csv|Bitmaps (*.bmp)|*.bmp|comma separated "
       u"(*.csv)|*.csv|Pictures (*.png; *.jpg)|*.png; *.jpg|Text documents (*.txt)|*.txt|"},
      {3,
       u"All supported formats|*.bmp; *.csv; *.jpg; *.png; *.txt|Text documents (*.txt)|*.txt|Pictures "
       u"(*.jpg; "
       u"*.png)|*.jpg; *.png|Bitmaps (*.bmp)|*.bmp|comma separated (*.csv)|*.csv|"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formats.BuildFilter(c.sortMode, kGroupByClass | kAllSupported, nullptr), c.filter)
        << c.sortMode;
}

TEST_F(BuildFilter, ListsEveryExtensionWithoutGrouping) {
  EXPECT_EQ(formats.BuildFilter(0, kAllSupported, nullptr),
            u"All supported formats|*.txt; *.png; *.jpg; *.bmp; *.csv|Plain text file (*.txt)|*.txt|Pictures "
            u"(*.png)|*.png|JPEG picture (*.jpg)|*.jpg|Windows bitmap (*.bmp)|*.bmp|comma separated "
            u"(*.csv)|*.csv|");
  EXPECT_EQ(
      formats.BuildFilter(1, 0, nullptr),
      u"comma separated|*.csv|JPEG picture|*.jpg|Pictures|*.png|Plain text file|*.txt|Windows bitmap|*.bmp|");
}

TEST_F(BuildFilter, KeepsToOneClassAndIgnoresUnknownOptionBits) {
  EXPECT_EQ(formats.BuildFilter(0, kGroupByClass | 8, &kPictureClass),
            u"Pictures|*.png; *.jpg|Bitmaps|*.bmp|");
  EXPECT_EQ(
      formats.BuildFilter(0, kAllSupported, &kTextClass),
      u"All supported formats|*.txt; *.csv|Plain text file (*.txt)|*.txt|comma separated (*.csv)|*.csv|");
  EXPECT_EQ(FileTypeRegistry().BuildFilter(1, kGroupByClass | kAllSupported, nullptr), u"");
}

// The program's registry holds the text item from start-up on.
TEST(FileTypeRegistry, HoldsTheTextItem) {
  EXPECT_EQ(FileTypeRegistry::Instance().FindItemClass(u"/texts/Story.TXT"), &TextFileItem::Class);
  EXPECT_EQ(FileTypeRegistry::Instance().BuildFilter(1, kGroupByClass | kAllSupported, &TextFileItem::Class),
            u"All supported formats|*.log; *.nfo; *.text; *.txt|Text documents (*.log; *.nfo; *.text; *.txt)|"
            u"*.log; *.nfo; *.text; *.txt|");
  EXPECT_EQ(FileTypeRegistry::Instance().BuildFilter(1, kGroupByClass, &TextFileItem::Class),
            u"Text documents|*.log; *.nfo; *.text; *.txt|");
  EXPECT_THROW(RegisterTextItem(), Exception);  // already registered
}

}  // namespace
}  // namespace bookloom
