#include "decoders/PspDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "decoders/ByteReader.h"
#include "decoders/IndexedPixels.h"

namespace bookloom {

namespace {

constexpr std::string_view kSignature("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32);

// Block identifiers.
constexpr uint16_t kImageBlock = 0;
constexpr uint16_t kColorBlock = 2;
constexpr uint16_t kLayerBankBlock = 3;
constexpr uint16_t kLayerBlock = 4;
constexpr uint16_t kChannelBlock = 5;
constexpr uint16_t kCompositeImageBlock = 9;  // a thumbnail in format 3, which has no composite image
constexpr uint16_t kCompositeBankBlock = 16;
constexpr uint16_t kCompositeAttributesBlock = 17;

// Compression of a channel.
constexpr uint16_t kUncompressed = 0;
constexpr uint16_t kRle = 1;
constexpr uint16_t kLz77 = 2;
// What a channel belongs to: the picture or its transparency mask, and which of its channels.
constexpr uint16_t kColorBitmap = 0;
constexpr uint16_t kTransparencyMask = 1;
constexpr uint16_t kIndexOrGrey = 0;
constexpr uint16_t kRed = 1;
constexpr uint16_t kGreen = 2;
constexpr uint16_t kBlue = 3;

struct Block {
  uint16_t id = 0;
  uint32_t infoLength = 0;  // format 3 keeps the length of the block's first chunk in its header
  ByteReader body;
};

// The reader of one file: its format version decides the layout of block headers and chunks.
class PspReader {
 public:
  PspReader(int major, int64_t maxPixels) : major_(major), maxPixels_(maxPixels) {}

  std::optional<Block> NextBlock(ByteReader& in) const {
    if (in.Remaining() == 0) return std::nullopt;
    if (in.Bytes(4) != std::string_view("~BK\0", 4)) in.Fail("a block of the file has no block marker");
    Block b{in.U16LE(), 0, ByteReader({}, in.FileName())};
    if (major_ < 4) b.infoLength = in.U32LE();
    b.body = in.Sub(in.U32LE());
    return b;
  }

  // The block's first chunk (its information), consumed from the body.
  ByteReader InfoChunk(Block& b) const {
    if (major_ < 4) return b.body.Sub(std::min<size_t>(b.infoLength, b.body.Remaining()));
    return Chunk(b.body);
  }
  // A chunk that starts with its own length (format 4 and later).
  ByteReader Chunk(ByteReader& body) const {
    const uint32_t length = body.U32LE();
    if (length < 4) body.Fail("a chunk has a wrong length");
    return body.Sub(length - 4);
  }
  bool HasChunkLengths() const { return major_ >= 4; }
  int Major() const { return major_; }
  void CheckSize(int64_t width, int64_t height, const ByteReader& in) const {
    CheckPictureSize(width, height, in.FileName(), maxPixels_);
  }

 private:
  int major_;
  int64_t maxPixels_;
};

struct ImageAttributes {
  int width = 0, height = 0;
  uint16_t compression = 0;
  int depth = 24;
  bool greyscale = false;
};

// Pixels of one bitmap (a layer's or the composite image's) as RGBA.
struct RgbaPixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

// Greys spread over the indexes a depth can hold: the table of a picture that brings none.
Palette256 PaletteForDepth(int depth) {
  Palette256 p = GreyPalette();
  if (depth < 8) {
    const int top = (1 << depth) - 1;
    for (int i = 0; i <= top; ++i) p[i].r = p[i].g = p[i].b = static_cast<uint8_t>(i * 255 / top);
  }
  return p;
}

Palette256 ReadPalette(const PspReader& psp, Block& block) {
  ByteReader info = psp.InfoChunk(block);
  const uint32_t count = info.U32LE();
  Palette256 palette = GreyPalette();
  // Entries are blue, green, red and a spare byte.
  for (uint32_t i = 0; i < count && block.body.Remaining() >= 4; ++i) {
    const uint8_t b = block.body.U8(), g = block.body.U8(), r = block.body.U8();
    block.body.U8();
    if (i < palette.size()) palette[i] = {r, g, b};
  }
  return palette;
}

// Run-length data: a count above 128 repeats the next byte (count - 128) times, any other count
// copies that many bytes.
void UnpackRle(ByteReader& in, std::vector<uint8_t>& out, size_t limit) {
  while (out.size() < limit && in.Remaining() > 0) {
    const int count = in.U8();
    if (count > 128) {
      out.insert(out.end(), std::min<size_t>(count - 128, limit - out.size()), in.U8());
    } else {
      const std::string_view literal = in.Bytes(count);
      out.insert(out.end(), literal.begin(), literal.begin() + std::min<size_t>(count, limit - out.size()));
    }
  }
}

// The output grows as it is produced, so that a small damaged stream cannot claim a large buffer.
void Inflate(std::string_view packed, std::vector<uint8_t>& out, size_t limit, const ByteReader& in) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) in.Fail("the decompressor could not be started");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  int result = Z_OK;
  size_t done = 0;
  while (result == Z_OK && done < limit) {
    out.resize(std::min(limit, std::max<size_t>(done * 2, 65536)));
    z.next_out = out.data() + done;
    z.avail_out = static_cast<uInt>(out.size() - done);
    result = inflate(&z, Z_NO_FLUSH);
    done = out.size() - z.avail_out;
  }
  out.resize(done);
  inflateEnd(&z);
  if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
    in.Fail("the compressed channel data is damaged");
}

struct Channel {
  uint16_t bitmapType = 0, channelType = 0;
  std::vector<uint8_t> values;  // one 8-bit value (a sample or a palette index) per pixel
};

// One channel block: its information chunk, then the compressed rows. Rows of uncompressed data
// are padded to four bytes; which rows the data has is told by its length.
Channel ReadChannel(const PspReader& psp, Block& block, int width, int height, int depth,
                    uint16_t compression) {
  ByteReader info = psp.InfoChunk(block);
  const uint32_t packedLength = info.U32LE();
  info.U32LE();  // the uncompressed length, which counts differently from version to version
  Channel c{info.U16LE(), info.U16LE(), {}};
  const std::string_view packed = block.body.Bytes(packedLength);

  const int bits = depth == 24 ? 8 : depth;
  const size_t rowBytes = (static_cast<size_t>(width) * bits + 7) / 8;
  const size_t paddedRow = (rowBytes + 3) & ~size_t(3);
  const size_t most = paddedRow * height;
  std::vector<uint8_t> data;
  ByteReader packedReader(packed, block.body.FileName());
  switch (compression) {
    case kUncompressed:
      data.assign(packed.begin(), packed.begin() + std::min(packed.size(), most));
      break;
    case kRle:
      UnpackRle(packedReader, data, most);
      break;
    case kLz77:
      Inflate(packed, data, most, block.body);
      break;
    default:
      block.body.Fail("the compression " + std::to_string(compression) + " is not supported");
  }
  const size_t stride = data.size() >= most ? paddedRow : rowBytes;
  if (data.size() < stride * height) block.body.Fail("the data of a channel is cut short");

  c.values.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data.data() + y * stride;
    uint8_t* out = c.values.data() + static_cast<size_t>(y) * width;
    if (bits == 8) {
      std::copy(row, row + width, out);
      continue;
    }
    const int perByte = 8 / bits, mask = (1 << bits) - 1;
    for (int x = 0; x < width; ++x)
      out[x] = (row[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) & mask;
  }
  return c;
}

// The channel blocks of one bitmap as RGBA: red, green and blue channels, or palette indexes,
// and the transparency mask where there is one.
RgbaPixels ReadBitmap(const PspReader& psp, ByteReader& body, int width, int height, int depth,
                      uint16_t compression, Palette256 palette) {
  psp.CheckSize(width, height, body);
  RgbaPixels p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
  for (size_t i = 3; i < p.rgba.size(); i += 4) p.rgba[i] = 255;
  while (auto block = psp.NextBlock(body)) {
    if (block->id == kColorBlock) palette = ReadPalette(psp, *block);
    if (block->id != kChannelBlock) continue;
    const Channel c = ReadChannel(psp, *block, width, height, depth, compression);
    if (c.bitmapType == kTransparencyMask) {
      for (size_t i = 0; i < c.values.size(); ++i) p.rgba[4 * i + 3] = c.values[i];
    } else if (c.bitmapType == kColorBitmap && depth == 24 && c.channelType >= kRed &&
               c.channelType <= kBlue) {
      const int offset = c.channelType - kRed;
      for (size_t i = 0; i < c.values.size(); ++i) p.rgba[4 * i + offset] = c.values[i];
    } else if (c.bitmapType == kColorBitmap && depth != 24 && c.channelType == kIndexOrGrey) {
      for (size_t i = 0; i < c.values.size(); ++i) {
        const Rgb& rgb = palette[c.values[i]];
        p.rgba[4 * i] = rgb.r;
        p.rgba[4 * i + 1] = rgb.g;
        p.rgba[4 * i + 2] = rgb.b;
      }
    }
  }
  return p;
}

// Draws a layer over the canvas at (left, top) with the layer's opacity ("normal" blending).
void DrawOver(RgbaPixels& canvas, const RgbaPixels& layer, int left, int top, int opacity) {
  const int x0 = std::max(0, -left), x1 = std::min(layer.width, canvas.width - left);
  const int y0 = std::max(0, -top), y1 = std::min(layer.height, canvas.height - top);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* s = &layer.rgba[(static_cast<size_t>(y) * layer.width + x) * 4];
      uint8_t* d = &canvas.rgba[(static_cast<size_t>(y + top) * canvas.width + x + left) * 4];
      const int sa = (s[3] * opacity + 127) / 255;
      if (sa == 0) continue;
      const int da = d[3] * (255 - sa) / 255;
      const int outA = sa + da;
      for (int k = 0; k < 3; ++k) d[k] = static_cast<uint8_t>((s[k] * sa + d[k] * da + outA / 2) / outA);
      d[3] = static_cast<uint8_t>(outA);
    }
}

// The visible raster layers of the layer bank, composed in order on a transparent canvas.
RgbaPixels ComposeLayers(const PspReader& psp, ByteReader& bank, const ImageAttributes& image,
                         const Palette256& palette) {
  RgbaPixels canvas{image.width, image.height,
                    std::vector<uint8_t>(static_cast<size_t>(image.width) * image.height * 4, 0)};
  bool drewLayer = false;
  while (auto block = psp.NextBlock(bank)) {
    if (block->id != kLayerBlock) continue;
    ByteReader info = psp.InfoChunk(*block);
    if (psp.HasChunkLengths())
      info.Skip(info.U16LE());  // the name
    else
      info.Skip(256);
    const int type = info.U8();
    int32_t imageRect[4], savedRect[4];
    for (auto& v : imageRect) v = info.I32LE();
    for (auto& v : savedRect) v = info.I32LE();
    const int opacity = info.U8();
    info.U8();  // blending mode: every layer is drawn normally
    const bool visible = info.U8() != 0;
    if (psp.HasChunkLengths()) psp.Chunk(block->body);  // the bitmap and channel counts
    // Format 3 has normal and floating-selection layers; later formats also vector, adjustment,
    // group and mask layers, which have no pixels of their own here.
    const bool raster = psp.Major() < 4 ? type <= 1 : type == 1 || type == 2;
    const int64_t width = int64_t(savedRect[2]) - savedRect[0], height = int64_t(savedRect[3]) - savedRect[1];
    if (!raster || !visible || width <= 0 || height <= 0) continue;
    psp.CheckSize(width, height, bank);
    const RgbaPixels layer = ReadBitmap(psp, block->body, static_cast<int>(width), static_cast<int>(height),
                                        image.depth, image.compression, palette);
    const int64_t left = int64_t(imageRect[0]) + savedRect[0], top = int64_t(imageRect[1]) + savedRect[1];
    if (left > -kMaxPictureSide && left < kMaxPictureSide && top > -kMaxPictureSide && top < kMaxPictureSide)
      DrawOver(canvas, layer, static_cast<int>(left), static_cast<int>(top), opacity);
    drewLayer = true;
  }
  if (!drewLayer) bank.Fail("the picture has no visible raster layer");
  return canvas;
}

// The composite image of the composite image bank (format 4 and later), when it has one that is
// not a thumbnail or a JPEG.
std::optional<RgbaPixels> ReadComposite(const PspReader& psp, Block& bank, const ImageAttributes& image,
                                        const Palette256& palette) {
  psp.InfoChunk(bank);
  std::optional<ImageAttributes> attributes;
  while (auto block = psp.NextBlock(bank.body)) {
    if (block->id == kCompositeAttributesBlock) {
      ByteReader info = psp.InfoChunk(*block);
      ImageAttributes a;
      a.width = info.I32LE();
      a.height = info.I32LE();
      a.depth = info.U16LE();
      a.compression = info.U16LE();
      info.Skip(6);  // plane and colour counts
      const bool isComposite = info.U16LE() == 0;
      attributes = isComposite ? std::optional(a) : std::nullopt;
    } else if (block->id == kCompositeImageBlock && attributes && attributes->width == image.width &&
               attributes->height == image.height) {
      psp.InfoChunk(*block);
      return ReadBitmap(psp, block->body, attributes->width, attributes->height, attributes->depth,
                        attributes->compression, palette);
    }
  }
  return std::nullopt;
}

ImageAttributes ReadImageAttributes(const PspReader& psp, Block& block) {
  ByteReader info = psp.InfoChunk(block);
  ImageAttributes a;
  const int32_t width = info.I32LE(), height = info.I32LE();
  info.Skip(9);  // resolution and its unit
  a.compression = info.U16LE();
  a.depth = info.U16LE();
  info.Skip(6);  // plane and colour counts
  a.greyscale = info.U8() != 0;
  if (a.depth != 1 && a.depth != 4 && a.depth != 8 && a.depth != 24)
    info.Fail(std::to_string(a.depth) + " bits per pixel are not supported");
  if (a.compression > kLz77)
    info.Fail("the compression " + std::to_string(a.compression) + " is not supported");
  psp.CheckSize(width, height, info);
  a.width = width;
  a.height = height;
  return a;
}

std::unique_ptr<Graphic> ToGraphic(const RgbaPixels& p) {
  bool alpha = false;
  for (size_t i = 3; i < p.rgba.size() && !alpha; i += 4) alpha = p.rgba[i] != 255;
  auto g = std::make_unique<Graphic>(p.width, p.height, RgbLayout(alpha));
  const int channels = g->Channels();
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* in = &p.rgba[static_cast<size_t>(y) * p.width * 4];
    uint8_t* out = g->Row(y);
    for (int x = 0; x < p.width; ++x, in += 4, out += channels) std::copy(in, in + channels, out);
  }
  return g;
}

}  // namespace

std::unique_ptr<Graphic> DecodePsp(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels) {
  ByteReader in(bytes, nameForMessages);
  if (in.Size() < 36 || in.Bytes(32) != kSignature) in.Fail("it is not a Paint Shop Pro file (no signature)");
  const int major = in.U16LE();
  in.U16LE();
  if (major < 3)
    in.Fail("Paint Shop Pro file format " + std::to_string(major) + " is older than the readable ones");
  const PspReader psp(major, maxPixels);

  std::optional<Block> first = psp.NextBlock(in);
  if (!first || first->id != kImageBlock) in.Fail("the file does not begin with the image attributes");
  const ImageAttributes image = ReadImageAttributes(psp, *first);
  Palette256 palette = PaletteForDepth(image.depth);
  std::optional<Block> layerBank, compositeBank;
  while (auto block = psp.NextBlock(in)) {
    if (block->id == kColorBlock) palette = ReadPalette(psp, *block);
    if (block->id == kLayerBankBlock) layerBank = std::move(block);
    if (block->id == kCompositeBankBlock && major >= 4) compositeBank = std::move(block);
  }
  if (compositeBank)
    if (auto composite = ReadComposite(psp, *compositeBank, image, palette)) return ToGraphic(*composite);
  if (!layerBank) in.Fail("the picture has no layers");
  return ToGraphic(ComposeLayers(psp, layerBank->body, image, palette));
}

}  // namespace bookloom
