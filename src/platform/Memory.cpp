#include "platform/Memory.h"

#include <cstdlib>  // defines __GLIBC__ with the C library's headers
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstdint>
#include <new>
#include <thread>

namespace bookloom {

void ConfigureAllocator() {
#if defined(__GLIBC__)
  // Blocks of 8 MB and more (decoded pictures, resampling buffers) get a mapping of their own that
  // is given back when they are freed, so the peak is that of the pictures in hand: in the heap,
  // two threads' pictures left holes that let it grow to several times that. Smaller blocks come
  // from the heap, which gives memory back only when more than the second size lies free at its top.
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  // One heap a core, not one a thread: a picture decoded on a helper thread then reuses the blocks
  // of the pictures before it, where a heap of the thread's own would be grown and given back each
  // time; yet books made on several cores at once do not all wait for the lock of a single heap.
  mallopt(M_ARENA_MAX, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
#endif
}

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void PreferLargePages(void* block, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  const uintptr_t from = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t to = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kLargePage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

void* AllocateLargeBytes(size_t bytes) {
  if (bytes < 2 * kLargePage) {
    void* block = std::malloc(bytes ? bytes : 1);
    if (!block) throw std::bad_alloc();
    return block;
  }
  const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* block = std::aligned_alloc(kLargePage, rounded);
  if (!block) throw std::bad_alloc();
  PreferLargePages(block, rounded);
  return block;
}

}  // namespace bookloom
