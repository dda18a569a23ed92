#include <gtest/gtest.h>

#include "book/BookDescription.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

class OtherValue : public Persistent {
 public:
  std::string ClassName() const override { return "OtherValue"; }
};

BookDescription Filled() {
  BookDescription d;
  d.title = u"Преступление и наказание";
  d.author = u"Ф. М. Достоевский";
  d.subject = u"роман";
  d.adapter = u"a";
  d.translator = u"t";
  d.publisher = u"p";
  d.publishTime = u"1866";
  d.isbn = u"978-0";
  d.annotation = u"line one\r\nline two";
  return d;
}

std::u16string AllFields(const BookDescription& d) {
  return d.title + u"|" + d.author + u"|" + d.subject + u"|" + d.adapter + u"|" + d.translator + u"|" +
         d.publisher + u"|" + d.publishTime + u"|" + d.isbn + u"|" + d.annotation;
}

TEST(BookDescription, AssignCopiesAllNineTextsAndClearEmptiesThem) {
  const BookDescription source = Filled();
  BookDescription copy;
  copy.Assign(source);
  EXPECT_EQ(AllFields(copy), AllFields(source));
  copy.Clear();
  EXPECT_EQ(AllFields(copy), u"||||||||");
  EXPECT_EQ(AllFields(BookDescription()), u"||||||||");
}

TEST(BookDescription, RefusesToAssignFromAnotherClass) {
  BookDescription d = Filled();
  try {
    d.Assign(OtherValue());
    FAIL() << "no error";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a OtherValue to a TBookDescription");
  }
  EXPECT_EQ(AllFields(d), AllFields(Filled()));
}

}  // namespace
}  // namespace bookloom
