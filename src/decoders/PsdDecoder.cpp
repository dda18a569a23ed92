#include "decoders/PsdDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "decoders/ByteReader.h"
#include "decoders/ColorSpaces.h"
#include "decoders/IndexedPixels.h"

namespace bookloom {

namespace {

constexpr uint16_t kBitmap = 0;
constexpr uint16_t kGrayscale = 1;
constexpr uint16_t kIndexed = 2;
constexpr uint16_t kRgb = 3;
constexpr uint16_t kCmyk = 4;
constexpr uint16_t kMultichannel = 7;
constexpr uint16_t kDuotone = 8;
constexpr uint16_t kLab = 9;

constexpr uint16_t kRaw = 0;
constexpr uint16_t kPackBits = 1;

struct PsdHeader {
  int version = 1;  // 2: the large-document format
  int channels = 0;
  int width = 0, height = 0;
  int depth = 0;
  uint16_t mode = 0;
};

PsdHeader ReadHeader(ByteReader& in, int64_t maxPixels) {
  if (in.Size() < 26 || in.Bytes(4) != "8BPS") in.Fail("it is not a Photoshop file (no \"8BPS\" signature)");
  PsdHeader h;
  h.version = in.U16BE();
  if (h.version != 1 && h.version != 2)
    in.Fail("Photoshop file version " + std::to_string(h.version) + " is unknown");
  in.Skip(6);
  h.channels = in.U16BE();
  const uint32_t height = in.U32BE(), width = in.U32BE();
  h.depth = in.U16BE();
  h.mode = in.U16BE();
  if (h.channels < 1 || h.channels > 56) in.Fail("the file has " + std::to_string(h.channels) + " channels");
  if (h.depth != 1 && h.depth != 8 && h.depth != 16 && h.depth != 32)
    in.Fail(std::to_string(h.depth) + " bits per channel are not supported");
  if ((h.mode == kBitmap) != (h.depth == 1)) in.Fail("the bit depth does not suit the colour mode");
  CheckPictureSize(width, height, in.FileName(), maxPixels);
  h.width = static_cast<int>(width);
  h.height = static_cast<int>(height);
  return h;
}

// How many channels carry the colour of a mode (the merged transparency, when the file has one,
// is the channel after them).
int ColorChannels(const PsdHeader& h, const ByteReader& in) {
  switch (h.mode) {
    case kBitmap:
    case kGrayscale:
    case kIndexed:
    case kDuotone:
      return 1;  // a duotone's merged data is its grey ink
    case kRgb:
    case kLab:
      return 3;
    case kCmyk:
      return 4;
    default:
      in.Fail("the Photoshop colour mode " + std::to_string(h.mode) + " is not supported");
  }
}

// One row of PackBits: a header byte n then n + 1 literal bytes (n < 128), or one byte repeated
// 1 - n times (n > 128 as a signed byte); 128 does nothing.
void UnpackBitsRow(ByteReader& in, uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    const int n = static_cast<int8_t>(in.U8());
    if (n >= 0) {
      const std::string_view literal = in.Bytes(static_cast<size_t>(n) + 1);
      const size_t count = std::min(literal.size(), size - done);
      std::memcpy(out + done, literal.data(), count);
      done += count;
    } else if (n != -128) {
      const uint8_t value = in.U8();
      const size_t count = std::min<size_t>(1 - n, size - done);
      std::memset(out + done, value, count);
      done += count;
    }
  }
}

// How 32-bit floating-point samples become 8 bits: RGB and grey colour is linear light and becomes
// sRGB; transparency and the other modes' values are scaled as they are.
enum class FloatScale { kLinearLight, kPlain };

// One row of a channel at its stored depth as 8-bit values. Bitmap rows (1 = black) become 0 or
// 255.
void RowToEightBits(const uint8_t* in, int depth, int width, FloatScale scale, uint8_t* out) {
  switch (depth) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
      break;
    case 8:
      std::memcpy(out, in, width);
      break;
    case 16:
      for (int x = 0; x < width; ++x)
        out[x] = static_cast<uint8_t>(((in[2 * x] << 8 | in[2 * x + 1]) + 128) / 257);
      break;
    case 32:
      for (int x = 0; x < width; ++x) {
        const uint32_t bits = uint32_t(in[4 * x]) << 24 | uint32_t(in[4 * x + 1]) << 16 |
                              uint32_t(in[4 * x + 2]) << 8 | in[4 * x + 3];
        const float v = std::bit_cast<float>(bits);
        out[x] = scale == FloatScale::kLinearLight ? LinearToSrgb8(v)
                 : v > 0                           ? static_cast<uint8_t>(std::min(v, 1.0f) * 255 + 0.5f)
                                                   : 0;
      }
      break;
  }
}

// The first `wanted` channels of the merged image, each as one 8-bit plane.
std::vector<std::vector<uint8_t>> ReadPlanes(ByteReader& in, const PsdHeader& h, int wanted,
                                             const std::vector<FloatScale>& scales) {
  const uint16_t compression = in.U16BE();
  if (compression != kRaw && compression != kPackBits)
    in.Fail("the merged image's compression " + std::to_string(compression) + " is not supported");
  const size_t rowBytes = (static_cast<size_t>(h.width) * h.depth + 7) / 8;
  const size_t pixels = static_cast<size_t>(h.width) * h.height;
  std::vector<uint32_t> rowSizes;
  if (compression == kPackBits) {
    // The byte counts of every row of every channel come first.
    const size_t rows = static_cast<size_t>(h.channels) * h.height;
    const size_t countBytes = h.version == 2 ? 4 : 2;
    if (rows > in.Remaining() / countBytes) in.Truncated();
    rowSizes.resize(rows);
    for (auto& s : rowSizes) s = h.version == 2 ? in.U32BE() : in.U16BE();
    // Before the planes are allocated: the rows must be there and long enough to fill a row.
    const size_t shortest = (rowBytes + 127) / 128 * 2;
    uint64_t total = 0;
    for (size_t r = 0; r < static_cast<size_t>(wanted) * h.height; ++r) {
      if (rowSizes[r] < shortest) in.Fail("the compressed data of a row is too short");
      total += rowSizes[r];
    }
    if (total > in.Remaining()) in.Truncated();
  } else if (static_cast<uint64_t>(rowBytes) * h.height * wanted > in.Remaining()) {
    in.Truncated();
  }
  std::vector<uint8_t> row(rowBytes);
  std::vector<std::vector<uint8_t>> planes;
  size_t rowIndex = 0;
  for (int c = 0; c < wanted; ++c) {
    std::vector<uint8_t>& plane = planes.emplace_back(pixels);
    for (int y = 0; y < h.height; ++y, ++rowIndex) {
      const uint8_t* source;
      if (compression == kPackBits) {
        ByteReader packed = in.Sub(rowSizes[rowIndex]);
        try {
          UnpackBitsRow(packed, row.data(), rowBytes);
        } catch (const std::exception&) {
          in.Fail("the compressed data of row " + std::to_string(y) + " of channel " + std::to_string(c) +
                  " is cut short");
        }
        source = row.data();
      } else {
        source = reinterpret_cast<const uint8_t*>(in.Bytes(rowBytes).data());
      }
      RowToEightBits(source, h.depth, h.width, scales[c], plane.data() + static_cast<size_t>(y) * h.width);
    }
  }
  return planes;
}

// Photoshop stores the colour of a transparent merged image blended with white; this takes the
// white out again so that the colour and its alpha stand on their own.
uint8_t Unblend(uint8_t c, uint8_t a) {
  if (a == 0) return 0;
  if (a == 255) return c;
  const int v = (static_cast<int>(c) - (255 - a)) * 255 / a;
  return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

std::unique_ptr<Graphic> Compose(const PsdHeader& h, const std::vector<std::vector<uint8_t>>& planes,
                                 bool alpha, const Palette256& palette) {
  auto g = std::make_unique<Graphic>(h.width, h.height, RgbLayout(alpha));
  const int channels = g->Channels();
  const int colors = static_cast<int>(planes.size()) - (alpha ? 1 : 0);
  for (int y = 0; y < h.height; ++y) {
    uint8_t* out = g->Row(y);
    const size_t start = static_cast<size_t>(y) * h.width;
    for (int x = 0; x < h.width; ++x, out += channels) {
      const size_t i = start + x;
      Rgb c;
      switch (h.mode) {
        case kIndexed:
          c = palette[planes[0][i]];
          break;
        case kRgb:
          c = {planes[0][i], planes[1][i], planes[2][i]};
          break;
        case kCmyk: {
          // Stored inverted: 255 is no ink.
          const int k = planes[3][i];
          c = {uint8_t((planes[0][i] * k + 127) / 255), uint8_t((planes[1][i] * k + 127) / 255),
               uint8_t((planes[2][i] * k + 127) / 255)};
          break;
        }
        case kLab:
          c = LabToSrgb(planes[0][i] * (100.0f / 255), planes[1][i] - 128.0f, planes[2][i] - 128.0f);
          break;
        default:
          c = {planes[0][i], planes[0][i], planes[0][i]};
          break;
      }
      if (alpha) {
        const uint8_t a = planes[colors][i];
        out[3] = a;
        if (h.mode != kLab && h.mode != kCmyk) c = {Unblend(c.r, a), Unblend(c.g, a), Unblend(c.b, a)};
      }
      out[0] = c.r;
      out[1] = c.g;
      out[2] = c.b;
    }
  }
  return g;
}

}  // namespace

std::unique_ptr<Graphic> DecodePsd(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels) {
  ByteReader in(bytes, nameForMessages);
  const PsdHeader h = ReadHeader(in, maxPixels);
  const int colors = ColorChannels(h, in);
  if (h.channels < colors) in.Fail("the file has fewer channels than its colour mode needs");
  // A channel beyond the colour channels is the merged image's transparency.
  const bool alpha = h.mode != kBitmap && h.mode != kIndexed && h.channels > colors;

  // Colour mode data: the colour table of an indexed picture, in three planes of 256.
  ByteReader modeData = in.Sub(in.U32BE());
  Palette256 palette = GreyPalette();
  if (h.mode == kIndexed) {
    if (modeData.Size() < 768) in.Fail("the indexed picture has no colour table");
    for (auto& c : palette) c.r = modeData.U8();
    for (auto& c : palette) c.g = modeData.U8();
    for (auto& c : palette) c.b = modeData.U8();
  }
  in.Skip(in.U32BE());  // image resources
  const uint64_t layers = h.version == 2 ? in.U64BE() : in.U32BE();
  if (layers > in.Remaining()) in.Truncated();
  in.Skip(static_cast<size_t>(layers));

  const int wanted = colors + (alpha ? 1 : 0);
  std::vector<FloatScale> scales(
      wanted, h.mode == kRgb || h.mode == kGrayscale ? FloatScale::kLinearLight : FloatScale::kPlain);
  if (alpha) scales.back() = FloatScale::kPlain;
  return Compose(h, ReadPlanes(in, h, wanted, scales), alpha, palette);
}

}  // namespace bookloom
