#include "pictures/ColorReduction.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/Exception.h"

namespace bookloom {

Gray4Lookup::Gray4Lookup() {
  indices_.fill(-1);
  for (size_t i = 0; i < kGray4Palette.size(); ++i) {
    const size_t cell = kGray4Palette[i] >> 3;
    if (indices_[cell] < 0) Remember(cell, static_cast<int>(i));
  }
}

int Gray4Lookup::Search(int gray) {
  int best = 0, bestDistance = 256;
  for (size_t i = 0; i < kGray4Palette.size(); ++i) {
    const int d = std::abs(kGray4Palette[i] - gray);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

// ---- error diffusion ----

namespace {

// One cell of an error kernel: `weight` times the error goes `offset` columns ahead in the scan
// direction (negative: behind) on the row `row` below the current one.
struct Tap {
  int row, offset, weight;
};

struct NearestKernel {
  static constexpr int kRows = 1, kDivisor = 1;
  static constexpr std::array<Tap, 0> kTaps{};
};
struct FloydSteinbergKernel {
  static constexpr int kRows = 2, kDivisor = 16;
  static constexpr std::array<Tap, 4> kTaps{{{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}};
};
struct StuckiKernel {
  static constexpr int kRows = 3, kDivisor = 42;
  static constexpr std::array<Tap, 12> kTaps{{{0, 1, 8},
                                              {0, 2, 4},
                                              {1, -2, 2},
                                              {1, -1, 4},
                                              {1, 0, 8},
                                              {1, 1, 4},
                                              {1, 2, 2},
                                              {2, -2, 1},
                                              {2, -1, 2},
                                              {2, 0, 4},
                                              {2, 1, 2},
                                              {2, 2, 1}}};
};
struct SierraKernel {
  static constexpr int kRows = 3, kDivisor = 32;
  static constexpr std::array<Tap, 10> kTaps{{{0, 1, 5},
                                              {0, 2, 3},
                                              {1, -2, 2},
                                              {1, -1, 4},
                                              {1, 0, 5},
                                              {1, 1, 4},
                                              {1, 2, 2},
                                              {2, -1, 2},
                                              {2, 0, 3},
                                              {2, 1, 2}}};
};
struct JarvisJudiceNinkeKernel {
  static constexpr int kRows = 3, kDivisor = 48;
  static constexpr std::array<Tap, 12> kTaps{{{0, 1, 7},
                                              {0, 2, 5},
                                              {1, -2, 3},
                                              {1, -1, 5},
                                              {1, 0, 7},
                                              {1, 1, 5},
                                              {1, 2, 3},
                                              {2, -2, 1},
                                              {2, -1, 3},
                                              {2, 0, 5},
                                              {2, 1, 3},
                                              {2, 2, 1}}};
};
struct StevensonArceKernel {
  static constexpr int kRows = 4, kDivisor = 200;
  static constexpr std::array<Tap, 12> kTaps{{{0, 2, 32},
                                              {1, -3, 12},
                                              {1, -1, 26},
                                              {1, 1, 30},
                                              {1, 3, 16},
                                              {2, -2, 12},
                                              {2, 0, 26},
                                              {2, 2, 12},
                                              {3, -3, 5},
                                              {3, -1, 12},
                                              {3, 1, 12},
                                              {3, 3, 5}}};
};
struct BurkesKernel {
  static constexpr int kRows = 2, kDivisor = 32;
  static constexpr std::array<Tap, 7> kTaps{
      {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}};
};

// Cells beside each error row catch the error spread past the edges of the picture.
constexpr int kEdgeCells = 3;

// The weights a kernel gives to the next two pixels of the current row. Those sums are carried in
// registers from pixel to pixel instead of through memory; integer sums come out the same.
template <class Kernel>
constexpr std::array<int, 2> AheadWeights() {
  std::array<int, 2> ahead{};
  for (const Tap& t : Kernel::kTaps)
    if (t.row == 0) {
      if (t.offset < 1 || t.offset > 2) throw "the current row only takes error ahead, at most two pixels";
      ahead[t.offset - 1] = t.weight;
    }
  return ahead;
}

// How far a kernel spreads error sideways on the rows below, at most kEdgeCells.
template <class Kernel>
constexpr int BelowReach() {
  int reach = 0;
  for (const Tap& t : Kernel::kTaps)
    if (t.row > 0) reach = std::max(reach, t.offset < 0 ? -t.offset : t.offset);
  if (reach > kEdgeCells) throw "the rows below take error at most kEdgeCells pixels aside";
  return reach;
}

// The weights of the rows below: [row - 1][offset + reach].
template <class Kernel>
constexpr auto BelowWeights() {
  constexpr int kReach = BelowReach<Kernel>();
  std::array<std::array<int, 2 * kReach + 1>, std::max(Kernel::kRows - 1, 1)> weights{};
  for (const Tap& t : Kernel::kTaps)
    if (t.row > 0) weights[t.row - 1][t.offset + kReach] = t.weight;
  return weights;
}

// The error sums of one column.
using ErrorCell = int32_t;

// Maps every pixel in serpentine order (even rows left to right, odd rows right to left). The error
// is summed, weighted, over the pixels ahead and in the rows below; a pixel reads its sum divided by
// the kernel's divisor, rounded toward zero after adding half the divisor. What is spread past the
// picture's edges lands in cells beside the rows and is never read.
//
// What a row spreads onto each row below is gathered in a window of cells that moves along with
// the pixel, and added to that row's cell once no later pixel of this row reaches it: one memory
// update a pixel for each row below instead of one for each weight. Integer sums come out the same.
template <class Kernel, class Lookup>
void Diffuse(const GrayView& source, GrayImage& result, Lookup& lookup) {
  constexpr int kHalf = Kernel::kDivisor / 2;
  constexpr std::array<int, 2> kAhead = AheadWeights<Kernel>();
  constexpr int kReach = BelowReach<Kernel>();
  constexpr int kSpan = 2 * kReach + 1;
  constexpr int kBelowRows = Kernel::kRows - 1;
  constexpr auto kBelow = BelowWeights<Kernel>();
  const int width = source.width;
  const size_t rowCells = static_cast<size_t>(width) + 2 * kEdgeCells;
  std::vector<ErrorCell> storage(rowCells * Kernel::kRows, ErrorCell{});
  std::array<ErrorCell*, Kernel::kRows> errors;
  for (int k = 0; k < Kernel::kRows; ++k) errors[k] = storage.data() + k * rowCells + kEdgeCells;

  int direction = 1;
  for (int row = 0; row < source.height; ++row) {
    const uint8_t* in = source.Row(row);
    uint8_t* out = result.Row(row);
    const int first = direction > 0 ? 0 : width - 1;
    ErrorCell next{}, afterNext{};  // this row's error for the next two pixels
    // window[r][j]: this row's error so far for the cell j - kReach pixels ahead, on row r + 1 below.
    std::array<std::array<ErrorCell, kSpan>, std::max(kBelowRows, 1)> window{};
    // Adds each window's oldest cell, kReach pixels behind column c, to its row below, which no
    // later pixel of this row reaches, and moves the windows one pixel on.
    const auto advance = [&](int c) {
#pragma GCC unroll 4
      for (int r = 0; r < kBelowRows; ++r) {
        errors[r + 1][c - direction * kReach] += window[r][0];
#pragma GCC unroll 8
        for (int j = 0; j + 1 < kSpan; ++j) window[r][j] = window[r][j + 1];
        window[r][kSpan - 1] = ErrorCell{};
      }
    };
    for (int c = first; c >= 0 && c < width; c += direction) {
      const ErrorCell sum = errors[0][c] + next + kHalf;
      const int value = std::clamp(in[c] + sum / Kernel::kDivisor, 0, 255);
      const PaletteEntry nearest = lookup.Find(static_cast<uint8_t>(value));
      out[c] = static_cast<uint8_t>(nearest.index);
      const ErrorCell error = value - nearest.grey;
      next = afterNext + kAhead[0] * error;
      afterNext = kAhead[1] * error;
#pragma GCC unroll 4
      for (int r = 0; r < kBelowRows; ++r)
#pragma GCC unroll 8
        for (int j = 0; j < kSpan; ++j)
          if (kBelow[r][j] != 0) window[r][j] += kBelow[r][j] * error;
      advance(c);
    }
    // The cells the window still holds lie at the row's end and beyond it.
    for (int c = first + direction * width, k = 0; k < kSpan - 1; ++k, c += direction) advance(c);
    // The cleared current row becomes the last row below.
    std::fill(errors[0] - kEdgeCells, errors[0] - kEdgeCells + rowCells, ErrorCell{});
    std::rotate(errors.begin(), errors.begin() + 1, errors.end());
    direction = -direction;
  }
}

// Reduces with the kernel of `dither` into result.
template <class Lookup>
void DiffuseWith(DitherMode dither, const GrayView& source, GrayImage& result, Lookup& lookup) {
  auto run = [&](auto kernel) { Diffuse<decltype(kernel)>(source, result, lookup); };
  switch (dither) {
    case DitherMode::kNearest:
      return run(NearestKernel{});
    case DitherMode::kFloydSteinberg:
      return run(FloydSteinbergKernel{});
    case DitherMode::kStucki:
      return run(StuckiKernel{});
    case DitherMode::kSierra:
      return run(SierraKernel{});
    case DitherMode::kJarvisJudiceNinke:
      return run(JarvisJudiceNinkeKernel{});
    case DitherMode::kStevensonArce:
      return run(StevensonArceKernel{});
    case DitherMode::kBurkes:
      return run(BurkesKernel{});
  }
  Raise<ColorReductionError>("Unknown dithering mode %d", {static_cast<int>(dither)});
}

}  // namespace

GrayImage ReduceGray(const GrayView& source, ReductionMode mode, DitherMode dither) {
  if (source.width <= 0 || source.height <= 0) Raise<ColorReductionError>("Invalid image dimensions");
  GrayImage result(source.width, source.height);
  if (mode == ReductionMode::kMonochrome) {
    MonochromeLookup lookup;
    DiffuseWith(dither, source, result, lookup);
  } else {
    Gray4Lookup lookup;
    DiffuseWith(dither, source, result, lookup);
  }
  return result;
}

}  // namespace bookloom
