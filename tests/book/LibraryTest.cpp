// The books of a library: which files are books, where each book goes, and how shards share them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "book/Library.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"
#include "text/AsciiTransliterator.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;

std::u16string Path(const fs::path& path) { return path.u16string(); }

// The output of each book by the book as Shown() names it, relative to `dir`.
std::map<std::string, std::string> Outputs(const test::ScratchDir& dir,
                                           const std::vector<std::string>& inputs) {
  std::vector<std::u16string> named;
  for (const std::string& input : inputs) named.push_back(Path(dir / input));
  std::map<std::string, std::string> outputs;
  for (const LibraryBook& book : FindLibraryBooks(TestRuntime(), named).books)
    outputs[fs::relative(fs::path(book.Shown()), dir.Path()).string()] = fs::path(book.output).string();
  return outputs;
}

TEST(FindLibraryBooks, GivesEachBookAnOutputOfItsOwnThatMirrorsItsPlace) {
  test::ScratchDir dir;
  fs::create_directories(dir / "lib/sub");
  const std::string fb2 = test::Fb2Book("", "<body><section><p>x</p></section></body>");
  for (const char* name : {"lib/a.fb2", "lib/a.epub", "lib/sub/b.fb2.zip", "lib/sub/c.txt", "lib/sub/c.TXT",
                           "lib/d.pdf", "one.fb2", "lib/w.docx", "lib/m.md", "lib/k.mobi", "lib/s.djvu"})
    test::WriteBytes(dir / name, fb2);
  test::WriteBytes(dir / "lib/pic.png", "not a book");
  test::WriteBytes(dir / "lib/notes.xyz", "not a book");
  test::WriteBytes(dir / "lib/two.zip", test::ArchiveOf({{"p/q.fb2", fb2}, {"r.epub", fb2}}));
  test::WriteBytes(dir / "lib/single.zip", test::ArchiveOf({{"q.fb2", fb2}}));
  test::WriteBytes(dir / "lib/mixed.zip", test::ArchiveOf({{"q.fb2", fb2}, {"r.fb2", fb2}, {"1.jpg", "x"}}));
  EXPECT_EQ(Outputs(dir, {"lib", "one.fb2"}),
            (std::map<std::string, std::string>{
                {"lib/a.epub", "a.epub.wol"},        // two books named "a": each keeps its extension
                {"lib/a.fb2", "a.fb2.wol"},          //
                {"lib/d.pdf", "d.wol"},              // a document of any format is a book
                {"lib/k.mobi", "k.wol"},             //
                {"lib/m.md", "m.wol"},               //
                {"lib/s.djvu", "s.wol"},             //
                {"lib/w.docx", "w.wol"},             //
                {"lib/mixed.zip", "mixed.wol"},      // pictures beside the books: a comic
                {"lib/single.zip", "single.wol"},    // one book in a zip: that book
                {"lib/sub/b.fb2.zip", "sub/b.wol"},  // ".fb2.zip" is one extension
                {"lib/sub/c.TXT", "sub/c.TXT.wol"},  //
                {"lib/sub/c.txt", "sub/c.txt.wol"},  //
                {"lib/two.zip/p/q.fb2", "two/p/q.wol"},
                {"lib/two.zip/r.epub", "two/r.wol"},  // FB2 and EPUB books in a zip: a book each
                {"one.fb2", "one.wol"},               // a file named: its name alone
            }));
}

TEST(OutputNamePattern, MakesEveryFieldASafeNameAndDropsFoldersLeftEmpty) {
  const AsciiTransliterator ascii;
  const LibraryBook book{u"/lib/Дом.fb2", "", u"Дом.wol", 0};
  const BookNameFields full{u"Лев Толстой", u"Романы #2", u"Война и мир"};
  const struct {
    std::u16string pattern;
    BookNameFields fields;
    bool ascii;
    std::u16string output;
  } cases[] = {
      {u"{author}/{series}/{title}", full, false, u"Лев Толстой/Романы #2/Война и мир.wol"},
      {u"{author}/{series}/{title}", full, true, u"Lev Tolstoy/Romany #2/Voyna i mir.wol"},
      {u"{author}/{series}/{title}", {u"", u"", u"Т"}, false, u"Т.wol"},  // missing folders dropped
      {u"{author} - {title}",
       {u"A", u"", u""},
       false,
       u"A - Дом.wol"},  // the file names a book without title
      {u"{title}",
       {u"", u"", u"a/b: c?\t \"d\" "},
       false,
       u"a_b_ c_ _d_.wol"},  // nothing a file system refuses
      {u"{title}", {u"", u"", u"..hidden.."}, false, u"hidden.wol"},
      {u"{title}", {u"", u"", std::u16string(150, u'ы')}, false, std::u16string(100, u'ы') + u".wol"},
      {u"{title}", {u"", u"", u"日本"}, true, u"ri ben.wol"},
      {u"x/{file}", {}, true, u"x/Dom.wol"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OutputNamePattern(c.pattern).OutputOf(book, c.fields, c.ascii ? &ascii : nullptr), c.output)
        << std::string(c.pattern.begin(), c.pattern.end()) << " " << c.ascii;
  EXPECT_EQ(AsciiOutputOf(u"Толстой/Война и мир.wol", ascii), u"Tolstoy/Voyna i mir.wol");
  for (const std::u16string bad : {u"", u"plain", u"{autor}", u"{title", u"{}"})
    EXPECT_THROW(OutputNamePattern{bad}, Exception) << bad.size();
}

TEST(InShard, PutsEveryBookIntoExactlyOneShard) {
  std::vector<LibraryBook> books;
  for (int i = 0; i < 300; ++i)
    books.push_back({u"lib/" + Path(std::to_string(i) + ".fb2"), i % 3 ? "" : "e.fb2", u"x.wol"});
  for (int count = 1; count <= 5; ++count) {
    std::vector<int> perShard(count + 1, 0);
    for (const LibraryBook& book : books) {
      int shards = 0;
      for (int index = 1; index <= count; ++index)
        if (InShard(book, index, count)) ++shards, ++perShard[index];
      EXPECT_EQ(shards, 1) << fs::path(book.source).string() << " in " << count;
    }
    for (int index = 1; index <= count; ++index)  // and the shards are of about the same size
      EXPECT_GT(perShard[index], 300 / count / 2) << index << "/" << count;
  }
  // The same book always falls into the same shard: a hash of its names, not of anything else.
  EXPECT_TRUE(InShard({u"lib/a.fb2", "", u"a.wol"}, 1, 2) ==
              InShard({u"lib/a.fb2", "", u"other.wol", 7}, 1, 2));
}

}  // namespace
}  // namespace bookloom
