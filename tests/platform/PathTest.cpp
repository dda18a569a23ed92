#include <gtest/gtest.h>

#include <string>

#include "platform/Path.h"
#include "platform/Utf.h"

namespace bookloom {
namespace {

TEST(Path, SplitsAtTheLastSeparatorAndTheLastDotOfTheName) {
  const struct {
    std::u16string path, fileName, folder, extension, withoutExtension;
  } cases[] = {
      {u"/books/a.b/tale.txt", u"tale.txt", u"/books/a.b/", u"txt", u"tale"},
      {u"/books/a.b/README", u"README", u"/books/a.b/", u"", u"README"},  // a dot in the folder only
      {u"tale.tar.gz", u"tale.tar.gz", u"", u"gz", u"tale.tar"},
      {u"/books/.txt", u".txt", u"/books/", u"txt", u""},
      {u"/books/tale.", u"tale.", u"/books/", u"", u"tale"},
      {u"/books/", u"", u"/books/", u"", u""},
      {u"", u"", u"", u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.path));
    EXPECT_EQ(PathFileName(c.path), c.fileName);
    EXPECT_EQ(PathFolder(c.path), c.folder);
    EXPECT_EQ(PathExtension(c.path), c.extension);
    EXPECT_EQ(PathNameWithoutExtension(c.path), c.withoutExtension);
  }
}

}  // namespace
}  // namespace bookloom
