// Markdown texts of any bytes, read through cmark: the YAML block, blocks and inlines, lists and
// links. Pictures are looked for in a folder that does not exist, so that no input reads a file.
#include "DocumentFuzzing.h"
#include "documents/MarkdownReader.h"

namespace {

bookloom::Document Read(const bookloom::Runtime& runtime, std::string_view text) {
  return bookloom::ReadMarkdown(runtime, text, u"/nonexistent/fuzz.md");
}

}  // namespace

BOOKLOOM_FUZZ_DOCUMENT_BYTES(Read, 8)
