#include "decoders/AutodeskDecoder.h"

#include <algorithm>
#include <vector>

#include "decoders/ByteReader.h"
#include "decoders/IndexedPixels.h"

namespace bookloom {

namespace {

constexpr uint16_t kAnimatorMagic = 0x9119;  // original Animator picture or cel
constexpr uint16_t kProPictureMagic = 0x9500;
constexpr uint16_t kFliMagic = 0xAF11;
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFrameChunk = 0xF1FA;

// Chunks inside an animation frame that the first frame needs.
constexpr uint16_t kColor256 = 4;
constexpr uint16_t kColor64 = 11;
constexpr uint16_t kBlack = 13;
constexpr uint16_t kByteRun = 15;
constexpr uint16_t kFliCopy = 16;

// Chunks of an Animator Pro picture.
constexpr uint16_t kPicColorMap = 0;
constexpr uint16_t kPicBytePixels = 1;
constexpr uint16_t kPicBitPixels = 2;

uint8_t SixBitToEight(uint8_t v) { return static_cast<uint8_t>(((v & 63) * 255 + 31) / 63); }

// An indexed picture being built.
struct IndexedPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  Palette256 palette = GreyPalette();

  IndexedPicture(int w, int h, int64_t maxPixels, const std::u16string& fileName) : width(w), height(h) {
    CheckPictureSize(w, h, fileName, maxPixels);
    pixels.assign(static_cast<size_t>(w) * h, 0);
  }
  std::unique_ptr<Graphic> ToGraphic() const {
    return GraphicFromIndexes(width, height, pixels.data(), width, palette);
  }
};

// The original Animator's fixed layout: a 32-byte header, 256 six-bit colours, then the pixels.
std::unique_ptr<Graphic> ReadAnimatorPicture(ByteReader& in, int64_t maxPixels) {
  in.Seek(2);
  const int width = in.U16LE(), height = in.U16LE();
  in.Skip(4);  // position of a cel on the screen
  const int bits = in.U8(), compression = in.U8();
  if (bits != 8 || compression != 0)
    in.Fail("an Animator picture of " + std::to_string(bits) + " bits with compression " +
            std::to_string(compression) + " is not supported");
  IndexedPicture pic(width, height, maxPixels, in.FileName());
  in.Seek(32);
  for (Rgb& c : pic.palette) {
    c.r = SixBitToEight(in.U8());
    c.g = SixBitToEight(in.U8());
    c.b = SixBitToEight(in.U8());
  }
  const std::string_view data = in.Bytes(pic.pixels.size());
  std::copy(data.begin(), data.end(), pic.pixels.begin());
  return pic.ToGraphic();
}

// Animator Pro's picture: a 64-byte header, then chunks with the colour map and the pixels.
std::unique_ptr<Graphic> ReadProPicture(ByteReader& in, int64_t maxPixels) {
  in.Seek(6);
  const int width = in.U16LE(), height = in.U16LE();
  IndexedPicture pic(width, height, maxPixels, in.FileName());
  in.Seek(64);
  bool havePixels = false;
  while (in.Remaining() >= 6) {
    const size_t start = in.Pos();
    const uint32_t size = in.U32LE();
    const uint16_t type = in.U16LE();
    if (size < 6 || size > in.Size() - start) in.Fail("a picture chunk has a wrong size");
    ByteReader chunk = in.Sub(size - 6);
    if (type == kPicColorMap) {
      chunk.Skip(2);  // version of the colour data
      for (size_t i = 0; i < 256 && chunk.Remaining() >= 3; ++i) {
        pic.palette[i].r = chunk.U8();
        pic.palette[i].g = chunk.U8();
        pic.palette[i].b = chunk.U8();
      }
    } else if (type == kPicBytePixels) {
      const std::string_view data = chunk.Bytes(pic.pixels.size());
      std::copy(data.begin(), data.end(), pic.pixels.begin());
      havePixels = true;
    } else if (type == kPicBitPixels) {
      // One bit a pixel, the first pixel in the top bit: set bits are white, clear bits black.
      const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
      const std::string_view data = chunk.Bytes(rowBytes * height);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const uint8_t byte = static_cast<uint8_t>(data[y * rowBytes + x / 8]);
          pic.pixels[static_cast<size_t>(y) * width + x] = (byte >> (7 - x % 8)) & 1 ? 255 : 0;
        }
      pic.palette = GreyPalette();
      havePixels = true;
    }
  }
  if (!havePixels) in.Fail("the Animator Pro picture has no pixel data");
  return pic.ToGraphic();
}

// A colour chunk: packets of colours to skip and colours to set.
void ReadColors(ByteReader& chunk, Palette256& palette, bool sixBit) {
  const int packets = chunk.U16LE();
  size_t index = 0;
  for (int p = 0; p < packets; ++p) {
    index += chunk.U8();
    int count = chunk.U8();
    if (count == 0) count = 256;
    for (int i = 0; i < count; ++i, ++index) {
      uint8_t r = chunk.U8(), g = chunk.U8(), b = chunk.U8();
      if (sixBit) r = SixBitToEight(r), g = SixBitToEight(g), b = SixBitToEight(b);
      if (index < palette.size()) palette[index] = {r, g, b};
    }
  }
}

// Byte-run compression of a whole frame: per line a packet count (unused), then packets that
// either repeat one byte or copy literal bytes until the line is full.
void ReadByteRun(ByteReader& chunk, IndexedPicture& pic) {
  for (int y = 0; y < pic.height; ++y) {
    uint8_t* row = pic.pixels.data() + static_cast<size_t>(y) * pic.width;
    chunk.U8();
    int x = 0;
    while (x < pic.width) {
      const int count = static_cast<int8_t>(chunk.U8());
      if (count == 0) chunk.Fail("an empty run in the frame data");
      if (count > 0) {
        const uint8_t value = chunk.U8();
        const int n = std::min(count, pic.width - x);
        std::fill(row + x, row + x + n, value);
        x += count;
      } else {
        const std::string_view literal = chunk.Bytes(static_cast<size_t>(-count));
        const int n = std::min(-count, pic.width - x);
        std::copy(literal.begin(), literal.begin() + n, row + x);
        x -= count;
      }
    }
  }
}

// An FLI or FLC animation (Animator Pro's cels): the first frame with its colours.
std::unique_ptr<Graphic> ReadAnimationFirstFrame(ByteReader& in, uint16_t magic, int64_t maxPixels) {
  in.Seek(8);
  const int width = in.U16LE(), height = in.U16LE();
  IndexedPicture pic(width, height, maxPixels, in.FileName());
  in.Seek(80);
  const uint32_t firstFrame = in.U32LE();
  in.Seek(magic == kFlcMagic && firstFrame >= 128 && firstFrame < in.Size() ? firstFrame : 128);
  while (true) {
    if (in.Remaining() < 6) in.Fail("the animation has no frame");
    const size_t start = in.Pos();
    const uint32_t size = in.U32LE();
    const uint16_t type = in.U16LE();
    if (size < 6 || size > in.Size() - start) in.Fail("an animation chunk has a wrong size");
    if (type != kFrameChunk) {
      in.Seek(start + size);  // a prefix chunk with settings, or anything else before the frame
      continue;
    }
    ByteReader frame = in.Sub(size - 6);
    const int chunks = frame.U16LE();
    frame.Skip(8);  // delay, reserved, width and height overrides
    for (int i = 0; i < chunks && frame.Remaining() >= 6; ++i) {
      const size_t chunkStart = frame.Pos();
      const uint32_t chunkSize = frame.U32LE();
      const uint16_t chunkType = frame.U16LE();
      if (chunkSize < 6 || chunkSize > frame.Size() - chunkStart)
        frame.Fail("a frame chunk has a wrong size");
      ByteReader chunk = frame.Sub(chunkSize - 6);
      switch (chunkType) {
        case kColor256:
          ReadColors(chunk, pic.palette, false);
          break;
        case kColor64:
          ReadColors(chunk, pic.palette, true);
          break;
        case kBlack:
          std::fill(pic.pixels.begin(), pic.pixels.end(), 0);
          break;
        case kByteRun:
          ReadByteRun(chunk, pic);
          break;
        case kFliCopy: {
          const std::string_view data = chunk.Bytes(pic.pixels.size());
          std::copy(data.begin(), data.end(), pic.pixels.begin());
          break;
        }
        default:
          break;  // stamps and chunks of later frames
      }
    }
    return pic.ToGraphic();
  }
}

}  // namespace

std::unique_ptr<Graphic> DecodeAutodesk(std::string_view bytes, const std::u16string& nameForMessages,
                                        int64_t maxPixels) {
  ByteReader in(bytes, nameForMessages);
  if (in.Size() < 32) in.Fail("the file is too short for an Autodesk Animator picture");
  const uint16_t first = in.U16LE();
  in.Seek(4);
  const uint16_t second = in.U16LE();
  if (first == kAnimatorMagic) return ReadAnimatorPicture(in, maxPixels);
  if (in.Size() >= 128 && (second == kFlcMagic || second == kFliMagic))
    return ReadAnimationFirstFrame(in, second, maxPixels);
  if (in.Size() >= 64 && second == kProPictureMagic) return ReadProPicture(in, maxPixels);
  in.Fail("it is not an Autodesk Animator picture (unknown signature)");
}

}  // namespace bookloom
