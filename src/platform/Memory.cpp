#include "platform/Memory.h"

#include <cstdlib>  // defines __GLIBC__ with the C library's headers
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <new>

namespace bookloom {

void ConfigureAllocator() {
#if defined(__GLIBC__)
  // Blocks of 8 MB and more (decoded pictures, resampling buffers) get a mapping of their own that
  // is given back when they are freed, so the peak is that of the pictures in hand: in the heap,
  // two threads' pictures left holes that let it grow to several times that. Smaller blocks come
  // from the heap, which gives memory back only when more than the second size lies free at its top.
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  // One heap for every thread: a picture decoded on a helper thread then reuses the blocks of the
  // pictures before it, where a heap of the thread's own would be grown and given back each time.
  mallopt(M_ARENA_MAX, 1);
#endif
}

void* AllocateLargeBytes(size_t bytes) {
  constexpr size_t kLargePage = size_t{2} << 20;
  if (bytes < 2 * kLargePage) {
    void* block = std::malloc(bytes ? bytes : 1);
    if (!block) throw std::bad_alloc();
    return block;
  }
  const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* block = std::aligned_alloc(kLargePage, rounded);
  if (!block) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  madvise(block, rounded, MADV_HUGEPAGE);  // a hint: without large pages the block is as any other
#endif
  return block;
}

}  // namespace bookloom
