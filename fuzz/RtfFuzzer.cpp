// RTF documents of any bytes: groups, destinations, control words, code pages and pictures.
#include "DocumentFuzzing.h"
#include "documents/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  bookloom::fuzz::ReadDocument([&] { return bookloom::ReadRtf(rtf, u"fuzz.rtf"); }, 8);
  return 0;
}
