// Kindle books of any bytes, read through libmobi: the records, the rebuilt HTML and table of contents,
// their pictures decoded.
#include "DocumentFuzzing.h"
#include "documents/MobiReader.h"

// libmobi keeps some of what it allocated for a damaged book; named by its module, which needs no
// symbolizer.
extern "C" const char* __lsan_default_suppressions() { return "leak:libmobi.so\n"; }

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadMobi, 8)
