// EPUB books of any bytes: the archive, the container, the package, the table of contents and the
// pages, their pictures decoded.
#include "DocumentFuzzing.h"
#include "documents/EpubReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadEpub, 8)
