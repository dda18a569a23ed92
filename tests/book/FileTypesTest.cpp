#include <gtest/gtest.h>

#include "book/FileTypes.h"
#include "book/TextFileItem.h"
#include "platform/Exception.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

class OtherItem : public FileItem {
 public:
  using FileItem::FileItem;
  void Verify() override {}
};

const FileItemClass kTextClass = {
    [](const Runtime& runtime, const std::u16string& f) -> std::unique_ptr<FileItem> {
      return std::make_unique<OtherItem>(runtime, f);
    }};
const FileItemClass kPictureClass = {kTextClass.create};

FileType Row(std::u16string ext, std::u16string group, std::u16string description, const FileItemClass& c) {
  return {std::move(ext), std::move(group), std::move(description), &c, "built-in"};
}

TEST(FileTypeTable, RefusesAnExtensionTwiceOrAnEmptyOne) {
  const std::vector<FileType> cases[] = {
      {Row(u"txt", u"Text documents", u"", kTextClass), Row(u"TXT", u"Other", u"", kPictureClass)},
      {Row(u"txt", u"Text documents", u"", kTextClass), Row(u"", u"Nothing", u"", kTextClass)},
  };
  for (const auto& rows : cases) EXPECT_THROW(FileTypeTable{rows}, Exception) << rows.size();
}

TEST(FileTypeTable, FindsTheClassByTheExtensionOfTheName) {
  const FileTypeTable formats({Row(u"txt", u"Text documents", u"", kTextClass)});
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
  const FileTypeTable formats{{
      Row(u"txt", u"Text documents", u"Plain text file", kTextClass),
      Row(u"png", u"Pictures", u"", kPictureClass),
      Row(u"jpg", u"Pictures", u"JPEG picture", kPictureClass),
      Row(u"bmp", u"Bitmaps", u"Windows bitmap", kPictureClass),
      Row(u"csv", u"comma separated", u"", kTextClass),
  }};
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
  EXPECT_EQ(FileTypeTable({}).BuildFilter(1, kGroupByClass | kAllSupported, nullptr), u"");
}

// The program's table holds the text item.
TEST(FileTypes, HoldTheTextItem) {
  EXPECT_EQ(FileTypes().FindItemClass(u"/texts/Story.TXT"), &TextFileItem::Class);
  EXPECT_EQ(FileTypes().BuildFilter(1, kGroupByClass | kAllSupported, &TextFileItem::Class),
            u"All supported formats|*.log; *.nfo; *.text; *.txt|Text documents (*.log; *.nfo; *.text; *.txt)|"
            u"*.log; *.nfo; *.text; *.txt|");
  EXPECT_EQ(FileTypes().BuildFilter(1, kGroupByClass, &TextFileItem::Class),
            u"Text documents|*.log; *.nfo; *.text; *.txt|");
}

}  // namespace
}  // namespace bookloom
