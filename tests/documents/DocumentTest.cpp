// What every document reader shares: base64 text as FB2 books and data: links carry their pictures.
#include <gtest/gtest.h>

#include "documents/Document.h"

namespace bookloom {
namespace {

TEST(Document, DecodesBase64PassingOverAnythingElse) {
  const struct {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TQ==", "M"},
      {"TW Fu\r\n TWE=", "ManMa"},     // blanks and line ends between the characters
      {"T*W#F!u", "Man"},              // anything else that is not base64 passed over
      {"TWFuTWE", "Man"},              // an unfinished group at the end makes nothing
      {"TQ==TWFu", "MMan"},            // padding in the middle ends only its own group
      {"TQ=a", std::string("M\x1A")},  // a "=" before the last character drops the middle byte
      {"/+8=", std::string("\xFF\xEF")},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeBase64(c.text), c.bytes) << c.text;
}

}  // namespace
}  // namespace bookloom
