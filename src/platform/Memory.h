// How the process's memory allocator treats the large blocks that decoded pictures take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <type_traits>

namespace bookloom {

struct FreeMemory {
  void operator()(void* block) const { std::free(block); }
};
template <class T>
using LargeBlock = std::unique_ptr<T[], FreeMemory>;

// An uninitialised block of `bytes` bytes, freed with std::free; std::bad_alloc when none is to be
// had. A block of several megabytes is laid on the processor's large pages where the system allows
// it, so that writing it first faults in a few large pages instead of thousands of small ones.
void* AllocateLargeBytes(size_t bytes);

// Asks for the processor's large pages for the whole 2 MB stretches of a block that has not been
// written yet, so that writing it faults in a few large pages instead of thousands of small ones (on
// a virtual machine each fault costs microseconds). A hint: without large pages nothing changes.
void PreferLargePages(void* block, size_t bytes);

// An uninitialised block of `count` values for a picture's pixels, as AllocateLargeBytes gives it.
template <class T>
LargeBlock<T> AllocateLargeBlock(size_t count) {
  static_assert(std::is_trivial_v<T>);
  return LargeBlock<T>(static_cast<T*>(AllocateLargeBytes(count * sizeof(T))));
}

// Sets the allocator up for a book's pictures: each picture's large blocks are mapped on their own
// and given back when freed, so that the peak stays that of the pictures in hand, and every thread
// shares one heap for the small blocks. Called once at start.
void ConfigureAllocator();

}  // namespace bookloom
