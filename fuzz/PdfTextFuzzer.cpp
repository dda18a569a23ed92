// PDF files of any bytes read as their text: the words and pictures of every page reported by the PDF
// reader module, made into lines, paragraphs, headings and footnotes, and the pictures cut from pages.
#include "DocumentFuzzing.h"
#include "documents/PdfReader.h"

namespace {

bookloom::Document ReadPdfText(const bookloom::Runtime& runtime, const std::u16string& fileName) {
  return bookloom::ReadPdf(runtime, fileName, bookloom::DocumentMode::kText);
}

}  // namespace

// Fontconfig's configuration, which poppler's cairo output device loads once when the module finds where
// a page's pictures stand, is kept for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// The PDF reader module is loaded before the first input, so that no input pays for loading it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  bookloom::StartPdfReader(bookloom::fuzz::TargetRuntime());
  return 0;
}

BOOKLOOM_FUZZ_DOCUMENT_INPUT(ReadPdfText, 2)
