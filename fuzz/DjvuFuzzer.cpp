// DjVu files of any bytes: opened by DjVuLibre in the DjVu reader module, their metadata, outline and
// hidden text read into the book's text, and their first pages rendered.
#include "DocumentFuzzing.h"
#include "documents/DjvuReader.h"

namespace {

bookloom::Document ReadDjvuText(const bookloom::Runtime& runtime, const std::u16string& fileName) {
  return bookloom::ReadDjvu(runtime, fileName, bookloom::DocumentMode::kText);
}

}  // namespace

// The DjVu reader module is loaded before the first input, so that no input pays for loading it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  bookloom::StartDjvuReader(bookloom::fuzz::TargetRuntime());
  return 0;
}

BOOKLOOM_FUZZ_DOCUMENT_INPUT(ReadDjvuText, 2)
