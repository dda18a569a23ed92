#include "platform/Memory.h"

#include <cstdlib>  // defines __GLIBC__ with the C library's headers
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace bookloom {

void ReuseLargeBlocks() {
#if defined(__GLIBC__)
  // Blocks below the first size come from the heap instead of a mapping of their own; the heap
  // gives memory back only when more than the second size lies free at its top.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  // One heap for every thread: a picture decoded on a helper thread then reuses the blocks of the
  // pictures before it, where a heap of the thread's own would be grown and given back each time.
  mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace bookloom
