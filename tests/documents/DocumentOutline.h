// A document's blocks as lines of text, for tests to compare whole documents at a glance:
// "#2 Title" for a heading of level 2 ("#0" without an entry), the paragraph's text, "[name]" for a
// picture.
#pragma once

#include <functional>
#include <string>

#include "documents/Document.h"
#include "platform/Utf.h"

namespace bookloom::test {

inline std::string OutlineOf(const Document& document) {
  std::string lines;
  for (const DocumentBlock& b : document.blocks) {
    switch (b.kind) {
      case DocumentBlock::Kind::kHeading:
        lines += "#" + std::to_string(b.level) + (b.text.empty() ? "" : " " + Utf16ToUtf8(b.text));
        break;
      case DocumentBlock::Kind::kParagraph:
        lines += Utf16ToUtf8(b.text);
        break;
      case DocumentBlock::Kind::kPicture:
        lines += "[" + Utf16ToUtf8(document.pictures->Name(b.picture)) + "]";
        break;
    }
    lines += "\n";
  }
  return lines;
}

// Why reading a document is refused (DocumentError's reason), or "read" when it is not.
inline std::string RefusalOf(const std::function<void()>& read) {
  try {
    read();
    return "read";
  } catch (const DocumentError& e) {
    return e.Reason();
  }
}

}  // namespace bookloom::test
