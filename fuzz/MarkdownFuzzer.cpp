// Markdown texts of any bytes, read through cmark: the YAML block, blocks and inlines, lists and
// links. Pictures are looked for in a folder that does not exist, so that no input reads a file.
#include "DocumentFuzzing.h"
#include "documents/MarkdownReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  bookloom::fuzz::ReadDocument([&] { return bookloom::ReadMarkdown(text, u"/nonexistent/fuzz.md"); }, 8);
  return 0;
}
