#include "pictures/Resampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Exception.h"
#include "platform/Memory.h"
#include "platform/Vectors.h"

namespace bookloom {

// Every operation below is a float operation rounded to float (the unit is built without fused
// multiply-add): the bytes must not depend on the compiler or the machine.
namespace {

constexpr float kPi = 3.14159265358979323846f;

float Sinc(float t) {
  if (t == 0.0f) return 1.0f;
  const float u = kPi * t;
  // The correctly rounded sine: sinf differs from it for a few arguments on some libraries.
  return static_cast<float>(std::sin(static_cast<double>(u))) / u;
}

struct Contributor {
  int index;  // source pixel
  float weight;
};

// For each target pixel of one direction, the source pixels it is made of: the list of pixel i is
// items[start[i]] .. items[start[i + 1] - 1].
struct Contributors {
  std::vector<Contributor> items;
  std::vector<size_t> start;
};

// Divides the weights of one target pixel by their sum (added in list order, each step rounded to
// float), so that they sum to 1 as near as floats can: without it the weights of a shrinking Lanczos3
// add up to a little more or less than 1, and white comes out as 254 here and there.
void Normalise(std::vector<Contributor>::iterator first, std::vector<Contributor>::iterator last) {
  float sum = 0.0f;
  for (auto c = first; c != last; ++c) sum = sum + c->weight;
  if (sum == 0.0f) return;
  for (auto c = first; c != last; ++c) c->weight = c->weight / sum;
}

Contributors MakeContributors(int sourceSize, int targetSize, FilterFunction filter, float support) {
  // The first and last pixels of source and target coincide; a single pixel on either side scales
  // by the ratio of the sizes.
  const float scale = (sourceSize == 1 || targetSize == 1)
                          ? static_cast<float>(targetSize) / static_cast<float>(sourceSize)
                          : static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const bool shrinking = scale < 1.0f;
  const float reach = shrinking ? support / scale : support;
  const float fscale = shrinking ? 1.0f / scale : 1.0f;

  Contributors lists;
  lists.start.reserve(static_cast<size_t>(targetSize) + 1);
  lists.items.reserve(static_cast<size_t>(targetSize) * static_cast<size_t>(2 * reach + 3));
  for (int i = 0; i < targetSize; ++i) {
    lists.start.push_back(lists.items.size());
    const float center = static_cast<float>(i) / scale;
    const int left = static_cast<int>(std::floor(center - reach));
    const int right = static_cast<int>(std::ceil(center + reach));
    for (int j = left; j <= right; ++j) {
      const float distance = center - static_cast<float>(j);
      const float weight = shrinking ? filter(distance / fscale) / fscale : filter(distance);
      if (weight == 0.0f) continue;
      // Beyond an edge the source is mirrored; what even the mirror misses takes the edge pixel.
      int n = j < 0 ? -j : j >= sourceSize ? 2 * sourceSize - 1 - j : j;
      n = std::clamp(n, 0, sourceSize - 1);
      lists.items.push_back({n, weight});
    }
    Normalise(lists.items.begin() + static_cast<ptrdiff_t>(lists.start.back()), lists.items.end());
  }
  lists.start.push_back(lists.items.size());
  return lists;
}

// Four float lanes worked on by one instruction. The operations are element-wise, so every lane
// is rounded exactly as the same operation on a lone float.
using Floats = float __attribute__((vector_size(16)));
constexpr int kFloatLanes = 4;

inline Floats Broadcast(float f) { return Floats{f, f, f, f}; }
inline Floats Load(const float* p) {
  Floats v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store(float* p, Floats v) { std::memcpy(p, &v, sizeof v); }

// Weighted sums as byte values: clamped to 0 .. 255, then rounded to nearest with halves to even
// (adding and taking away 2^23 leaves the nearest integer of any value from 0 to 2^23).
inline Floats ToByteValues(Floats sum) {
  const Floats zero = {}, top = Broadcast(255.0f), magic = Broadcast(8388608.0f);
  sum = sum > top ? top : sum;
  sum = sum < zero ? zero : sum;
  return (sum + magic) - magic;
}

// Floats of an intermediate row summed at once by the vertical pass, in registers across all of an
// output row's contributors.
constexpr int kColumnChunk = 64;

// The image between the two passes: bytes, kept as the floats they are read as, each row padded
// to whole chunks of the vertical pass. The horizontal pass writes every value but the padding, which alone
// is zeroed.
struct ByteValueImage {
  ByteValueImage(int width, int height)
      : usedFloats(static_cast<size_t>(width)),
        rowFloats((usedFloats + kColumnChunk - 1) / kColumnChunk * kColumnChunk),
        values(AllocateLargeBlock<float>(rowFloats * static_cast<size_t>(height))) {
    if (usedFloats == rowFloats) return;
    for (int y = 0; y < height; ++y) std::fill(Row(y) + usedFloats, Row(y) + rowFloats, 0.0f);
  }
  float* Row(int y) { return values.get() + static_cast<size_t>(y) * rowFloats; }
  const float* Row(int y) const { return values.get() + static_cast<size_t>(y) * rowFloats; }

  size_t usedFloats;
  size_t rowFloats;
  LargeBlock<float> values;
};

// Rows resampled together in the horizontal pass: each weight is applied to this many rows at once.
constexpr int kBlockRows = 32;

// Eight float lanes for the weighted sums of the horizontal pass: one instruction each where the
// processor has 256-bit vectors (on x86-64 the function is built twice and the fitting build chosen
// when the program starts), several otherwise. Either way every lane is rounded as a lone float
// would be.
using WideFloats = float __attribute__((vector_size(32)));
constexpr int kWideLanes = 8;
static_assert(kBlockRows % kWideLanes == 0);

// Pictures from this size on have their rows resampled on two cores: below it, starting a thread
// costs about what it saves.
constexpr int64_t kShareFromPixels = 1'000'000;

// The byte values of target pixel i's weighted sums over N floats: sum j is the sum, in list order,
// of each contributor's weight times float j from `at(source index)`, every product and sum rounded
// to float; the sums are kept in registers across the list.
template <int N, class At>
[[gnu::always_inline]] inline void WeightedByteValues(const Contributors& lists, int i, At at,
                                                      float (&values)[N]) {
  static_assert(N % kWideLanes == 0 && N % kFloatLanes == 0);
  WideFloats sum[N / kWideLanes] = {};
  for (size_t k = lists.start[i]; k < lists.start[i + 1]; ++k) {
    const WideFloats w = WideFloats{} + lists.items[k].weight;
    const float* in = at(lists.items[k].index);
#pragma GCC unroll 16
    for (int v = 0; v < N / kWideLanes; ++v) {
      WideFloats c;
      std::memcpy(&c, in + v * kWideLanes, sizeof c);
      sum[v] = sum[v] + w * c;
    }
  }
  std::memcpy(values, sum, sizeof values);
  for (int v = 0; v < N / kFloatLanes; ++v)
    Store(values + v * kFloatLanes, ToByteValues(Load(values + v * kFloatLanes)));
}

// The block's values as columns: source pixel n of block row b at n * kBlockRows + b, so the values of
// one source pixel in all the block's rows lie together.
float* PixelLane(float* columns, size_t n) { return columns + n * kBlockRows; }

#if BOOKLOOM_X86_VECTORS
// Eight rows' 8 pixels from n on, as floats, transposed into columns: rows b0 .. b0 + 7.
__attribute__((target("avx2"))) inline void TransposeEight(const uint8_t* const* in, int b0, size_t n,
                                                           float* columns) {
  __m256 r[8];
  for (int b = 0; b < 8; ++b)
    r[b] = _mm256_cvtepi32_ps(
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in[b0 + b] + n))));
  // The usual 8 x 8 transpose: pairs, then fours within each half, then the halves.
  const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
  const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
  const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
  const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
  const __m256 u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xEE);
  const __m256 u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xEE);
  const __m256 u4 = _mm256_shuffle_ps(t4, t6, 0x44), u5 = _mm256_shuffle_ps(t4, t6, 0xEE);
  const __m256 u6 = _mm256_shuffle_ps(t5, t7, 0x44), u7 = _mm256_shuffle_ps(t5, t7, 0xEE);
  const __m256 column[8] = {_mm256_permute2f128_ps(u0, u4, 0x20), _mm256_permute2f128_ps(u1, u5, 0x20),
                            _mm256_permute2f128_ps(u2, u6, 0x20), _mm256_permute2f128_ps(u3, u7, 0x20),
                            _mm256_permute2f128_ps(u0, u4, 0x31), _mm256_permute2f128_ps(u1, u5, 0x31),
                            _mm256_permute2f128_ps(u2, u6, 0x31), _mm256_permute2f128_ps(u3, u7, 0x31)};
  for (int c = 0; c < 8; ++c) _mm256_storeu_ps(PixelLane(columns, n + c) + b0, column[c]);
}

// Fills the columns from the block's rows, 8 pixels of 8 rows at a time; returns the first pixel
// left, which lies too near the end of a row for 8 bytes to be read.
__attribute__((target("avx2"))) size_t FillColumnsEightByEight(const uint8_t* const* in, size_t width,
                                                               float* columns) {
  size_t n = 0;
  for (; n + 8 <= width; n += 8)
    for (int b0 = 0; b0 < kBlockRows; b0 += 8) TransposeEight(in, b0, n, columns);
  return n;
}
#endif

// Fills the columns from the block's rows (a short block repeats its last row: those lanes are
// never read back).
void FillColumns(const uint8_t* const* in, int sourceWidth, float* columns) {
  const size_t width = static_cast<size_t>(sourceWidth);
#if BOOKLOOM_X86_VECTORS
  size_t n = HasAvx2() ? FillColumnsEightByEight(in, width, columns) : 0;
#else
  size_t n = 0;
#endif
  for (; n < width; ++n)
    for (int b = 0; b < kBlockRows; ++b) PixelLane(columns, n)[b] = in[b][n];
}

// Resamples source rows begin .. end - 1 (begin a multiple of kBlockRows).
BOOKLOOM_AVX2_CLONES void ResampleRows(const GrayView& source, int begin, int end, ByteValueImage& target,
                                       int targetWidth, const Contributors& lists) {
  const int sourceWidth = source.width;
  // Every value is written by FillColumns before it is read.
  const auto columns = std::make_unique_for_overwrite<float[]>(static_cast<size_t>(sourceWidth) * kBlockRows);
  for (int top = begin; top < end; top += kBlockRows) {
    const int rows = std::min(kBlockRows, end - top);
    const uint8_t* in[kBlockRows];
    for (int b = 0; b < kBlockRows; ++b) in[b] = source.Row(top + std::min(b, rows - 1));
    FillColumns(in, sourceWidth, columns.get());
    for (int i = 0; i < targetWidth; ++i) {
      float values[kBlockRows];
      WeightedByteValues(
          lists, i, [&](int n) { return PixelLane(columns.get(), static_cast<size_t>(n)); }, values);
      for (int b = 0; b < rows; ++b) target.Row(top + b)[i] = values[b];
    }
  }
}

BOOKLOOM_AVX2_CLONES void ResampleColumns(const ByteValueImage& source, GrayImage& target,
                                          const Contributors& lists) {
  const size_t rowBytes = static_cast<size_t>(target.Width());
  for (int i = 0; i < target.Height(); ++i) {
    uint8_t* out = target.Row(i);
    for (size_t l = 0; l < rowBytes; l += kColumnChunk) {
      float values[kColumnChunk];
      WeightedByteValues(
          lists, i, [&](int n) { return source.Row(n) + l; }, values);
      const size_t count = std::min<size_t>(kColumnChunk, rowBytes - l);
      for (size_t x = 0; x < count; ++x) out[l + x] = static_cast<uint8_t>(values[x]);
    }
  }
}

}  // namespace

float Lanczos3Filter(float x) {
  const float a = std::fabs(x);
  return a < 3.0f ? Sinc(a) * Sinc(a / 3.0f) : 0.0f;
}

void ResampleGray(const GrayView& source, GrayImage& target, FilterFunction filter, float support) {
  if (source.width < 1 || source.height < 1) Raise<GraphicOperationError>("Source bitmap too small");
  if (target.Width() < 1 || target.Height() < 1)
    Raise<GraphicOperationError>("Cannot resample a picture to %dx%d pixels: the target has no pixels",
                                 {target.Width(), target.Height()});
  ByteValueImage intermediate(target.Width(), source.height);
  const Contributors across = MakeContributors(source.width, target.Width(), filter, support);
  // A large picture's rows are shared with a second core: each row comes out the same whichever
  // core resamples it. Both threads only read the source and the contributor lists, and each
  // writes its own rows of the intermediate image.
  const int blocks = (source.height + kBlockRows - 1) / kBlockRows;
  if (blocks >= 2 && static_cast<int64_t>(source.width) * source.height >= kShareFromPixels &&
      std::thread::hardware_concurrency() > 1) {
    const int middle = std::min(source.height, (blocks + 1) / 2 * kBlockRows);
    auto lowerHalf = std::async(std::launch::async, [&] {
      ResampleRows(source, middle, source.height, intermediate, target.Width(), across);
    });
    ResampleRows(source, 0, middle, intermediate, target.Width(), across);
    lowerHalf.get();
  } else {
    ResampleRows(source, 0, source.height, intermediate, target.Width(), across);
  }
  ResampleColumns(intermediate, target, MakeContributors(source.height, target.Height(), filter, support));
}

}  // namespace bookloom
