// Comic archives of any bytes (zip, rar, 7z, tar): listed, their ComicInfo.xml read, their pages
// read forward through the archive and decoded.
#include "DocumentFuzzing.h"
#include "documents/ComicArchiveReader.h"

BOOKLOOM_FUZZ_DOCUMENT_FILE(bookloom::ReadComicArchive, 16)
