// PDF files of any bytes: opened by poppler, their outline read, their first pages rendered.
#include "DocumentFuzzing.h"
#include "documents/PdfReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadPdf, 2)
