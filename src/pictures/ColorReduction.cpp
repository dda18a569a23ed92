#include "pictures/ColorReduction.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "platform/Exception.h"

namespace bookloom {

const std::array<Rgb, 20> kSystemPalette{
    {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
     {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
     {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}}};

// ---- colour lookups ----

FastColorLookup::FastColorLookup(const std::vector<Rgb>& palette)
    : ColorLookup(static_cast<int>(std::min<size_t>(palette.size(), 256))),
      palette_(palette.begin(), palette.begin() + Colors()),
      cache_(32768, -1) {
  // Each entry answers for its own cell unless an earlier entry already does.
  for (int i = 0; i < Colors(); ++i) {
    const Rgb& e = palette_[i];
    int16_t& slot = cache_[(e.r >> 3) | (e.g >> 3) << 5 | (e.b >> 3) << 10];
    if (slot < 0) slot = static_cast<int16_t>(i);
  }
}

int FastColorLookup::Search(int red, int green, int blue) const {
  int best = 0, bestDistance = 196608;
  for (int i = 0; i < Colors(); ++i) {
    const Rgb& e = palette_[i];
    const int d = std::abs(e.r - red) + std::abs(e.g - green) + std::abs(e.b - blue);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

// ---- row access ----

uint8_t* DibRows::ScanLine(int row) {
  if (bitmap_.Empty()) Raise<ColorReductionError>("Image has no DIB");
  if (row < 0 || row >= bitmap_.Height()) Raise<GraphicOperationError>("Scan line index out of range");
  return bitmap_.Row(row);
}

DibReader::DibReader(Bitmap& source) : DibRows(source) { source.SetFormat(PixelFormat::k24Bit); }

DibWriter::DibWriter(Bitmap& result, PixelFormat format, int width, int height,
                     const std::vector<Rgb>& palette)
    : DibRows(result), format_(format), width_(width), height_(height), palette_(palette) {
  if (format != PixelFormat::k8Bit && format != PixelFormat::k24Bit)
    Raise<ColorReductionError>("Invalid pixel format");
  if (width <= 0 || height <= 0) Raise<ColorReductionError>("Invalid image dimensions");
}

uint8_t* DibWriter::ScanLine(int row) {
  if (!allocated_) {
    try {
      Bitmap image(width_, height_, format_);
      image.SetPalette(palette_);  // the rest of the table stays black
      bitmap_ = std::move(image);
    } catch (const std::bad_alloc&) {
      Raise<OutOfMemoryError>("Failed to allocate memory for GIF DIB");
    } catch (const OutOfMemoryError&) {
      Raise<OutOfMemoryError>("Failed to allocate memory for GIF DIB");
    }
    allocated_ = true;
  }
  return DibRows::ScanLine(row);
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

// The errors of one column: blue, green, red and an unused lane, added together as one vector.
using ErrorCell = int32_t __attribute__((vector_size(16)));

// Maps every pixel in serpentine order (even rows left to right, odd rows right to left). Each
// channel's error is summed, weighted, over the pixels ahead and in the rows below; a pixel reads
// its sum divided by the kernel's divisor, rounded toward zero after adding half the divisor.
//
// What a row spreads onto each row below is gathered in a window of cells that moves along with
// the pixel, and added to that row's cell once no later pixel of this row reaches it: one memory
// update a pixel for each row below instead of one for each weight. Integer sums come out the same.
template <class Kernel, class Lookup>
void Diffuse(DibReader& reader, DibWriter& writer, int width, int height, Lookup& lookup) {
  constexpr int kHalf = Kernel::kDivisor / 2;
  constexpr std::array<int, 2> kAhead = AheadWeights<Kernel>();
  constexpr int kReach = BelowReach<Kernel>();
  constexpr int kSpan = 2 * kReach + 1;
  constexpr int kBelowRows = Kernel::kRows - 1;
  constexpr auto kBelow = BelowWeights<Kernel>();
  const size_t rowCells = static_cast<size_t>(width) + 2 * kEdgeCells;
  std::vector<ErrorCell> storage(rowCells * Kernel::kRows, ErrorCell{});
  std::array<ErrorCell*, Kernel::kRows> errors;
  for (int k = 0; k < Kernel::kRows; ++k) errors[k] = storage.data() + k * rowCells + kEdgeCells;

  int direction = 1;
  for (int row = 0; row < height; ++row) {
    const uint8_t* in = reader.ScanLine(row);
    uint8_t* out = writer.ScanLine(row);
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
      const uint8_t* pixel = in + 3 * c;
      const ErrorCell sum = errors[0][c] + next + kHalf;
      const int blue = std::clamp(pixel[0] + sum[0] / Kernel::kDivisor, 0, 255);
      const int green = std::clamp(pixel[1] + sum[1] / Kernel::kDivisor, 0, 255);
      const int red = std::clamp(pixel[2] + sum[2] / Kernel::kDivisor, 0, 255);
      Rgb entry;
      out[c] = static_cast<uint8_t>(lookup.Find(static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                                                static_cast<uint8_t>(blue), entry));
      const ErrorCell error = {blue - entry.b, green - entry.g, red - entry.r, 0};
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

// Reduces with the kernel of `dither` into result; an unknown ditherer leaves result empty.
template <class Lookup>
void DiffuseWith(DitherMode dither, DibReader& reader, Bitmap& result, int width, int height, Lookup& lookup,
                 const std::vector<Rgb>& palette) {
  auto run = [&](auto kernel) {
    DibWriter writer(result, PixelFormat::k8Bit, width, height, palette);
    Diffuse<decltype(kernel)>(reader, writer, width, height, lookup);
  };
  switch (dither) {
    case DitherMode::kNearest:
      run(NearestKernel{});
      break;
    case DitherMode::kFloydSteinberg:
      run(FloydSteinbergKernel{});
      break;
    case DitherMode::kStucki:
      run(StuckiKernel{});
      break;
    case DitherMode::kSierra:
      run(SierraKernel{});
      break;
    case DitherMode::kJarvisJudiceNinke:
      run(JarvisJudiceNinkeKernel{});
      break;
    case DitherMode::kStevensonArce:
      run(StevensonArceKernel{});
      break;
    case DitherMode::kBurkes:
      run(BurkesKernel{});
      break;
  }
}

}  // namespace

std::unique_ptr<Bitmap> ReduceColors(Bitmap& source, ReductionMode mode, DitherMode dither) {
  auto result = std::make_unique<Bitmap>();
  if (mode == ReductionMode::kNone) {
    *result = source;
    result->SetFormat(PixelFormat::k24Bit);
    return result;
  }
  DibReader reader(source);

  std::vector<Rgb> palette;
  switch (mode) {
    case ReductionMode::kSystemPalette:
      palette.assign(kSystemPalette.begin(), kSystemPalette.end());
      break;
    case ReductionMode::kGray4:
      palette.assign(kGray4Palette.begin(), kGray4Palette.end());
      break;
    case ReductionMode::kMonochrome:
      palette.assign(kMonochromePalette.begin(), kMonochromePalette.end());
      break;
    default:
      return result;
  }

  const int width = source.Width(), height = source.Height();
  if (mode == ReductionMode::kMonochrome) {
    MonochromeLookup lookup;
    DiffuseWith(dither, reader, *result, width, height, lookup, palette);
  } else {
    FastColorLookup lookup(palette);
    if (lookup.Colors() > 0) DiffuseWith(dither, reader, *result, width, height, lookup, palette);
  }
  return result;
}

}  // namespace bookloom
