#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "project/cBlmFileItemRegister.h"
#include "text/cBlmFileItemText.h"

namespace bookloom {
namespace {

class TOtherItem : public TBlmFileItem {
 public:
  using TBlmFileItem::TBlmFileItem;
  void Verify() override {}
};

const TBlmFileItemClass kTextClass = {
    "TextLike",
    [](const std::u16string& f) -> std::unique_ptr<TBlmFileItem> { return std::make_unique<TOtherItem>(f); }};
const TBlmFileItemClass kPictureClass = {"PictureLike", kTextClass.Create};

// The descriptions and reference counts of the class entries, in order: "Text documents:2 ...".
std::string ClassEntries(const TBlmFileItemRegFormats& formats) {
  std::string s;
  for (const auto& c : formats.Classes()) {
    if (!s.empty()) s += " ";
    s += std::string(c->ItemClass->Name) + "/" + std::string(c->Description.begin(), c->Description.end()) +
         ":" + std::to_string(c->RefCount);
  }
  return s;
}

TEST(TBlmFileItemRegFormats, RefusesAnExtensionTwiceWithoutReplace) {
  TBlmFileItemRegFormats formats;
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
  EXPECT_EQ(formats.Extensions()[0]->Ext, u"txt");
  EXPECT_EQ(formats.Extensions()[0]->Description, u"Plain text file");
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1");
}

TEST(TBlmFileItemRegFormats, ReplacingMovesTheExtensionAndDropsAnUnusedClassEntry) {
  TBlmFileItemRegFormats formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"", false, kTextClass);
  formats.RegisterFormat(u"log", u"Text documents", u"", false, kTextClass);
  formats.RegisterFormat(u"TXT", u"Pictures", u"ignored", true, kPictureClass);
  EXPECT_EQ(ClassEntries(formats), "TextLike/Text documents:1 PictureLike/Pictures:1");
  EXPECT_EQ(formats.Extensions()[0]->Ext, u"txt");  // keeps its own spelling and description
  EXPECT_EQ(formats.Extensions()[0]->Description, u"");
  formats.RegisterFormat(u"log", u"Pictures", u"", true, kPictureClass);
  EXPECT_EQ(ClassEntries(formats), "PictureLike/Pictures:2");
  EXPECT_EQ(formats.FindItemClass(u"/a/b.log"), &kPictureClass);
}

TEST(TBlmFileItemRegFormats, UnregistersOneExtensionOrAllOfAClass) {
  TBlmFileItemRegFormats formats;
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

TEST(TBlmFileItemRegFormats, FindsTheClassByTheExtensionOfTheName) {
  TBlmFileItemRegFormats formats;
  formats.RegisterFormat(u"txt", u"Text documents", u"", false, kTextClass);
  const struct {
    std::u16string fileName;
    const TBlmFileItemClass* itemClass;
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
  TBlmFileItemRegFormats formats;
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
    EXPECT_EQ(formats.BuildFilter(c.sortMode, GroupByClass | AllSupported, nullptr), c.filter) << c.sortMode;
}

TEST_F(BuildFilter, ListsEveryExtensionWithoutGrouping) {
  EXPECT_EQ(formats.BuildFilter(0, AllSupported, nullptr),
            u"All supported formats|*.txt; *.png; *.jpg; *.bmp; *.csv|Plain text file (*.txt)|*.txt|Pictures "
            u"(*.png)|*.png|JPEG picture (*.jpg)|*.jpg|Windows bitmap (*.bmp)|*.bmp|comma separated "
            u"(*.csv)|*.csv|");
  EXPECT_EQ(
      formats.BuildFilter(1, 0, nullptr),
      u"comma separated|*.csv|JPEG picture|*.jpg|Pictures|*.png|Plain text file|*.txt|Windows bitmap|*.bmp|");
}

TEST_F(BuildFilter, KeepsToOneClassAndIgnoresUnknownOptionBits) {
  EXPECT_EQ(formats.BuildFilter(0, GroupByClass | 8, &kPictureClass),
            u"Pictures|*.png; *.jpg|Bitmaps|*.bmp|");
  EXPECT_EQ(
      formats.BuildFilter(0, AllSupported, &kTextClass),
      u"All supported formats|*.txt; *.csv|Plain text file (*.txt)|*.txt|comma separated (*.csv)|*.csv|");
  EXPECT_EQ(TBlmFileItemRegFormats().BuildFilter(1, GroupByClass | AllSupported, nullptr), u"");
}

// The program's registry holds the text item from start-up on.
TEST(FileItemFormats, HoldsTheTextItem) {
  EXPECT_EQ(FileItemFormats().FindItemClass(u"/texts/Story.TXT"), &TBlmFileItemText::Class);
  EXPECT_EQ(FileItemFormats().BuildFilter(1, GroupByClass | AllSupported, &TBlmFileItemText::Class),
            u"All supported formats|*.txt|Text documents (*.txt)|*.txt|");
  EXPECT_EQ(FileItemFormats().BuildFilter(1, GroupByClass, &TBlmFileItemText::Class),
            u"Text documents|*.txt|");
  EXPECT_THROW(RegisterTextItem(), Exception);  // already registered
}

}  // namespace
}  // namespace bookloom
