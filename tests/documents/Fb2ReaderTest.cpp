// FB2 books: the description, the cover, sections as headings, verse, notes and pictures in reading
// order, and the refusal of damaged books, each naming the part that failed.
#include <gtest/gtest.h>

#include "decoders/Graphic.h"
#include "documents/DocumentOutline.h"
#include "documents/Fb2Reader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

const std::string kDescription =
    "<title-info><author><first-name>Лев</first-name><middle-name>Николаевич</middle-name>"
    "<last-name>Толстой</last-name></author><author><nickname>Соавтор</nickname></author>"
    "<book-title>Война и мир</book-title><annotation><p>Первая строка.</p><p>Вторая  строка.</p></annotation>"
    "<coverpage><image l:href=\"#cover.jpg\"/></coverpage><sequence name=\"Эпопея\" number=\"1\"/>"
    "<translator><first-name>Анна</first-name><last-name>Ли</last-name></translator></title-info>"
    "<publish-info><publisher>Дом</publisher><year>1869</year><isbn>978-5-00-000000-0</isbn></publish-info>";

TEST(Fb2Reader, ReadsTheDescriptionAndTheBodyInReadingOrder) {
  const std::string body =
      "<body><title><p>Война и мир</p></title>"
      "<section><title><p>Том</p><p>первый</p></title><epigraph><p>Эпиграф</p><text-author>Автор</"
      "text-author></epigraph>"
      "<section><title><p>Глава 1</p></title><p>Текст <emphasis>главы</emphasis>\n  один.</p>"
      "<image l:href=\"#pic.jpg\"/><subtitle>* * *</subtitle><empty-line/>"
      "<poem><stanza><v>Строка 1</v><v>Строка 2</v></stanza><stanza><v>Строка 3</v></stanza></poem>"
      "<cite><p>Цитата<a l:href=\"#n1\" type=\"note\">[1]</a></p></cite>"
      "<section><section><section><title><p>Глубоко</p></title><p>x</p></section></section></section></"
      "section>"
      "<section><p>Без заголовка</p></section></section></body>"
      "<body name=\"notes\"><section id=\"n1\"><title><p>1</p></title><p>Сноска.</p></section></body>";
  const Document document =
      ReadFb2(TestRuntime(),
              test::Fb2Book(kDescription, body,
                            test::Fb2Binary("cover.jpg", test::JpegPicture(30, 40, 0)) +
                                test::Fb2Binary("pic.jpg", test::JpegPicture(20, 10, 128))),
              u"war.fb2");
  const DocumentInfo& info = document.info;
  EXPECT_EQ(Utf16ToUtf8(info.title), "Война и мир");
  EXPECT_EQ(Utf16ToUtf8(info.author), "Лев Николаевич Толстой, Соавтор");
  EXPECT_EQ(Utf16ToUtf8(info.translator), "Анна Ли");
  EXPECT_EQ(Utf16ToUtf8(info.subject), "Эпопея #1");
  EXPECT_EQ(Utf16ToUtf8(info.publisher), "Дом");
  EXPECT_EQ(Utf16ToUtf8(info.publishTime), "1869");
  EXPECT_EQ(Utf16ToUtf8(info.isbn), "978-5-00-000000-0");
  EXPECT_EQ(Utf16ToUtf8(info.annotation), "Первая строка.\nВторая строка.");
  EXPECT_EQ(test::OutlineOf(document),
            "Война и мир\n"
            "#1 Том первый\nТом\nпервый\nЭпиграф\nАвтор\n"
            "#2 Глава 1\nГлава 1\nТекст главы один.\n[pic.jpg]\n* * *\n\n"
            "Строка 1\nСтрока 2\n\nСтрока 3\nЦитата[1]\n"
            "#3\n#3\n#3 Глубоко\nГлубоко\nx\n"
            "#2\nБез заголовка\n"
            "#1 Notes\nNotes\n1\nСноска.\n");
  // The cover is a picture of its own, decoded when asked for.
  ASSERT_TRUE(document.cover.has_value());
  EXPECT_EQ(Utf16ToUtf8(document.pictures->Name(*document.cover)), "cover.jpg");
  const auto cover = document.pictures->Decode(*document.cover);
  EXPECT_EQ(cover->Width(), 30);
  EXPECT_EQ(cover->Height(), 40);
}

TEST(Fb2Reader, ReadsTheEncodingTheBookDeclaresAndTheFirstFb2OfAZip) {
  // "Глава" in Windows-1251.
  const std::string cp1251 =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><FictionBook><description/>"
      "<body><section><title><p>\xC3\xEB\xE0\xE2\xE0</p></title></section></body></FictionBook>";
  EXPECT_EQ(test::OutlineOf(ReadFb2(TestRuntime(), cp1251, u"old.fb2")), "#1 Глава\nГлава\n");

  const test::ScratchDir dir;
  const std::string utf8 = test::Fb2Book("", "<body><section><p>Текст</p></section></body>");
  test::WriteBytes(dir / "book.fb2.zip", test::ArchiveOf({{"readme.txt", "x"}, {"Book.FB2", utf8}}));
  EXPECT_EQ(test::OutlineOf(ReadFb2File(TestRuntime(), (dir / "book.fb2.zip").u16string())), "#1\nТекст\n");
  test::WriteBytes(dir / "empty.fb2.zip", test::ArchiveOf({{"readme.txt", "x"}}));
  EXPECT_THROW(ReadFb2File(TestRuntime(), (dir / "empty.fb2.zip").u16string()), DocumentError);
}

// What no book may do: each is refused naming the part that failed, and an entity never brings in
// a file of the disk or text that grows without bound.
// A control character in the text does not refuse the book: it is left out with a warning.
TEST(Fb2Reader, LeavesOutControlCharacters) {
  const Document document = ReadFb2(
      TestRuntime(),
      test::Fb2Book("<title-info><book-title>T</book-title></title-info>",
                    "<body><section><p>Звонок\x07 и\n\x1B конец&#7;&#x1b;&#x41;&#65;</p></section></body>"),
      u"bell.fb2");
  EXPECT_NE(test::OutlineOf(document).find("Звонок и конецAA"), std::string::npos)
      << test::OutlineOf(document);
  ASSERT_EQ(document.warnings.size(), 1u);
  EXPECT_NE(document.warnings[0].find("4 control characters left out, the first on line "), std::string::npos)
      << document.warnings[0];
}

TEST(Fb2Reader, RefusesDamagedBooksNamingThePart) {
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"not well formed", test::Fb2Book("", "<body><section><p>open</section></body>"),
       "the XML is not well formed at line 2"},
      {"not FB2", "<?xml version=\"1.0\"?><html/>", "not an FB2 book: its root is <html>"},
      {"missing picture", test::Fb2Book("", "<body><image l:href=\"#gone.jpg\"/></body>"),
       "picture \"#gone.jpg\": the book has no <binary> of that id"},
      {"empty", "", "the XML is not well formed"},
  };
  for (const auto& c : cases) {
    try {
      ReadFb2(TestRuntime(), c.bytes, u"bad.fb2");
      ADD_FAILURE() << c.name << ": no error";
    } catch (const DocumentError& e) {
      EXPECT_NE(std::string(e.what()).find("\"bad.fb2\""), std::string::npos) << c.name << ": " << e.what();
      EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << c.name << ": " << e.Reason();
    }
  }
  const test::ScratchDir dir;
  test::WriteBytes(dir / "secret.txt", "SECRET");
  const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY x SYSTEM \"file://" +
                               (dir / "secret.txt").string() +
                               "\">]><FictionBook><body><p>a&x;b</p></body></FictionBook>";
  EXPECT_EQ(test::OutlineOf(ReadFb2(TestRuntime(), external, u"entities.fb2")), "ab\n");
  // A billion laughs: ten entities, each ten of the one before.
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a \"laugh\">";
  for (char name = 'b'; name <= 'j'; ++name) {
    laughs += std::string("<!ENTITY ") + name + " \"";
    for (int i = 0; i < 10; ++i) laughs += std::string("&") + static_cast<char>(name - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><FictionBook><body><p>&j;</p></body></FictionBook>";
  try {
    EXPECT_LT(test::OutlineOf(ReadFb2(TestRuntime(), laughs, u"laughs.fb2")).size(), 100u);
  } catch (const DocumentError& e) {
    EXPECT_NE(e.Reason().find("not well formed"), std::string::npos) << e.Reason();
  }
}

}  // namespace
}  // namespace bookloom
