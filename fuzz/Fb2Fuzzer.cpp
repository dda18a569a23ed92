// FB2 books (and .fb2.zip archives) of any bytes: read through libxml2, their pictures decoded.
#include "DocumentFuzzing.h"
#include "documents/Fb2Reader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadFb2File, 8)
