// Word documents of any bytes: the archive, the relationships, styles, numbering, notes and text,
// their pictures decoded.
#include "DocumentFuzzing.h"
#include "documents/DocxReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadDocx, 8)
