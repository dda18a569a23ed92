#include <gtest/gtest.h>

#include "book/BookDescription.h"

namespace bookloom {
namespace {

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
  d.annotation = u"line one\nline two";
  return d;
}

std::u16string AllFields(const BookDescription& d) {
  return d.title + u"|" + d.author + u"|" + d.subject + u"|" + d.adapter + u"|" + d.translator + u"|" +
         d.publisher + u"|" + d.publishTime + u"|" + d.isbn + u"|" + d.annotation;
}

TEST(BookDescription, ClearEmptiesAllNineTexts) {
  BookDescription d = Filled();
  d.Clear();
  EXPECT_EQ(AllFields(d), u"||||||||");
  EXPECT_EQ(AllFields(BookDescription()), u"||||||||");
}

}  // namespace
}  // namespace bookloom
