// PDF files of any bytes: opened by poppler in the PDF reader module, their outline read, their first pages
// rendered.
#include "DocumentFuzzing.h"
#include "documents/PdfReader.h"

// The PDF reader module is loaded before the first input, so that no input pays for loading it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::StartDocumentReading();
  bookloom::StartPdfReader(bookloom::fuzz::TargetRuntime());
  return 0;
}

BOOKLOOM_FUZZ_DOCUMENT_INPUT(bookloom::ReadPdf, 2)
