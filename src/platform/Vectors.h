// x86-64 builds choose between AVX2 code and plain code when the program starts; every other target
// (or a build with BOOKLOOM_PLAIN_VECTORS) has the plain code alone. Both give the same results.
#pragma once

#if defined(__x86_64__) && !defined(BOOKLOOM_PLAIN_VECTORS)
#define BOOKLOOM_X86_VECTORS 1
#include <immintrin.h>
// A function built once for AVX2 and once plain, the build that fits the processor chosen at start.
#define BOOKLOOM_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
namespace bookloom {
// Whether this processor runs the AVX2 code.
inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
}  // namespace bookloom
#else
#define BOOKLOOM_X86_VECTORS 0
#define BOOKLOOM_AVX2_CLONES
#endif
