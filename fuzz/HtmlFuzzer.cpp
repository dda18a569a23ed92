// HTML pages of any bytes: parsed by libxml2's HTML parser and walked into paragraphs, headings,
// pictures and anchors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "DocumentFuzzing.h"
#include "documents/HtmlText.h"
#include "documents/Xml.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace bookloom;
  try {
    const XmlDocPtr page = ParseHtml(
        fuzz::TargetRuntime(), std::string_view(reinterpret_cast<const char*>(data), size), u"fuzz", "");
    Document document;
    size_t pictures = 0;
    ReadHtmlBody(*page, document,
                 {.picture = [&](const std::string&) -> std::optional<size_t> { return pictures++; },
                  .anchor =
                      [&](const std::string&, size_t block) {
                        if (block > document.blocks.size()) __builtin_trap();
                      }});
    HtmlTitle(*page);
  } catch (const DocumentError&) {
  }
  return 0;
}
