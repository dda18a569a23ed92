// RTF documents of any bytes: groups, destinations, control words, code pages and pictures.
#include "DocumentFuzzing.h"
#include "documents/RtfReader.h"

namespace {

bookloom::Document Read(const bookloom::Runtime& runtime, std::string_view rtf) {
  return bookloom::ReadRtf(runtime, rtf, u"fuzz.rtf");
}

}  // namespace

BOOKLOOM_FUZZ_DOCUMENT_BYTES(Read, 8)
