// How the process's memory allocator treats the large blocks that decoded pictures take.
#pragma once

namespace bookloom {

// Keeps freed blocks (up to a few hundred megabytes) in the process for the next picture, instead
// of handing each back to the system and faulting it in again page by page for the next picture
// of a book. The peak stays that of the largest picture.
void ReuseLargeBlocks();

}  // namespace bookloom
