// Kindle books of any bytes, read through libmobi: the records, the rebuilt HTML and table of contents,
// their pictures decoded.
#include "DocumentFuzzing.h"
#include "documents/MobiReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadMobi, 8)
