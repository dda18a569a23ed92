// OpenDocument texts of any bytes: the archive, the styles, the metadata and the text, their pictures
// decoded.
#include "DocumentFuzzing.h"
#include "documents/OdtReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadOdt, 8)
