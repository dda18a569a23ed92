#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "project/cBookDescription.h"

namespace bookloom {
namespace {

class TOtherValue : public TPersistent {
 public:
  std::string ClassName() const override { return "TOtherValue"; }
};

TBookDescription Filled() {
  TBookDescription d;
  d.Title = u"Преступление и наказание";
  d.Author = u"Ф. М. Достоевский";
  d.Subject = u"роман";
  d.Adapter = u"a";
  d.Translator = u"t";
  d.Publisher = u"p";
  d.PublishTime = u"1866";
  d.ISBN = u"978-0";
  d.Annotation = u"line one\r\nline two";
  return d;
}

std::u16string AllFields(const TBookDescription& d) {
  return d.Title + u"|" + d.Author + u"|" + d.Subject + u"|" + d.Adapter + u"|" + d.Translator + u"|" +
         d.Publisher + u"|" + d.PublishTime + u"|" + d.ISBN + u"|" + d.Annotation;
}

TEST(TBookDescription, AssignCopiesAllNineTextsAndClearEmptiesThem) {
  const TBookDescription source = Filled();
  TBookDescription copy;
  copy.Assign(source);
  EXPECT_EQ(AllFields(copy), AllFields(source));
  copy.Clear();
  EXPECT_EQ(AllFields(copy), u"||||||||");
  EXPECT_EQ(AllFields(TBookDescription()), u"||||||||");
}

TEST(TBookDescription, RefusesToAssignFromAnotherClass) {
  TBookDescription d = Filled();
  try {
    d.Assign(TOtherValue());
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TOtherValue to a TBookDescription");
  }
  EXPECT_EQ(AllFields(d), AllFields(Filled()));
}

}  // namespace
}  // namespace bookloom
