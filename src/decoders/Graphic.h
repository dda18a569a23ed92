// A decoded picture as every decoder delivers it: 8-bit RGB, or RGBA where the file has real
// transparency, or one grey channel when grey is asked for, rows from the top. The size limit is
// checked before any pixel is allocated.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decoders/DecodeFailure.h"
#include "platform/Memory.h"

namespace bookloom {

class Bitmap;

// Pictures larger than this on a side, or in all, are refused before they are allocated.
inline constexpr int64_t kMaxPictureSide = 20000;
inline constexpr int64_t kMaxPicturePixels = 200'000'000;

// The limits CheckPictureSize applies: the constants above unless lowered, as the fuzz targets do to
// keep every input quick. They are program-wide state: set them before the first picture is read
// (GraphicsMagick takes its own limits from them when its module is loaded), never while a second
// thread decodes.
struct PictureSizeLimits {
  int64_t maxSide = kMaxPictureSide;
  int64_t maxPixels = kMaxPicturePixels;
};
const PictureSizeLimits& PictureLimits();
void SetPictureLimits(const PictureSizeLimits& limits);

// Raises DecodeError naming the file when width x height is empty, beyond the limits, or beyond a
// caller's own lower pixel limit (the fuzz targets keep each input cheap with one).
void CheckPictureSize(int64_t width, int64_t height, const std::u16string& fileName,
                      int64_t maxPixels = kMaxPicturePixels);

// The bytes of a pixel: one grey, red, green and blue, or red, green, blue and alpha.
enum class PixelLayout : uint8_t { kGray = 1, kRgb = 3, kRgba = 4 };

// RGB, with alpha or without.
constexpr PixelLayout RgbLayout(bool alpha) { return alpha ? PixelLayout::kRgba : PixelLayout::kRgb; }

class Graphic {
 public:
  // Whether new pixels start as zero or hold whatever memory held, for a decoder that writes every
  // byte of every row before the graphic is used.
  enum class Pixels { kZero, kUninitialised };

  // Allocates the pixels; the size must have passed CheckPictureSize.
  Graphic(int width, int height, PixelLayout layout, Pixels pixels = Pixels::kZero);

  int Width() const { return width_; }
  int Height() const { return height_; }
  PixelLayout Layout() const { return layout_; }
  bool HasAlpha() const { return layout_ == PixelLayout::kRgba; }
  bool IsGray() const { return layout_ == PixelLayout::kGray; }
  int Channels() const { return static_cast<int>(layout_); }
  size_t Stride() const { return static_cast<size_t>(width_) * Channels(); }

  // The bytes of one row: greys, or red, green, blue (and alpha).
  uint8_t* Row(int y) { return pixels_.get() + static_cast<size_t>(y) * Stride(); }
  const uint8_t* Row(int y) const { return pixels_.get() + static_cast<size_t>(y) * Stride(); }

  // The picture as an opaque 24-bit bitmap: real transparency is composited on white.
  void AssignTo(Bitmap& target) const;

  // Drops an alpha channel that says nothing: every pixel opaque, or every pixel fully transparent
  // (what writers that fill the alpha bytes with zero leave behind).
  void DropUniformAlpha();

  // Makes the picture grey, as every page is: transparency composited on white first, then each
  // pixel's grey by GrayOf. A grey picture stays as it is.
  void MakeGray();

 private:
  int width_;
  int height_;
  PixelLayout layout_;
  LargeBlock<uint8_t> pixels_;
};

// What a decoding is asked for beyond the first picture of a file in colour.
struct DecodeOptions {
  bool gray = false;       // every frame grey (see Graphic::MakeGray); a JPEG gives its own Y channel
  bool allFrames = false;  // every page or frame of a file that holds several, not only the first
};

// What a decoder read from a file.
struct DecodedFrames {
  std::vector<std::unique_ptr<Graphic>> frames;  // the first frame, or all with allFrames; never empty
  int frameCount = 1;                            // the frames the file holds
  bool incomplete = false;  // the file ends early or is damaged: the pictures hold what could be read
};

// One picture format family: reads a file into graphics or raises DecodeError (or FileOpenError)
// with a message that names the file and says why. A picture that can be read only in part is
// decoded as far as it goes and marked incomplete. A decoder keeps no state between pictures, so a
// build decodes the next picture on a second thread while the main thread writes the one before it:
// decoding may read the file, the picture limits and the table of decoders, and load its library
// through the run's Runtime, nothing else that is shared.
class GraphicDecoder {
 public:
  virtual ~GraphicDecoder() = default;
  // Decodes the bytes of a file as the options ask; fileName only names it in messages.
  virtual DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                               const DecodeOptions& options = {}) const = 0;
  // Reads the whole file and decodes it from memory.
  virtual DecodedFrames DecodeFile(const std::u16string& fileName, const DecodeOptions& options = {}) const;
  // The first picture of a file or of its bytes, as the options ask (in colour by default).
  std::unique_ptr<Graphic> LoadFromFile(const std::u16string& fileName) const;
  std::unique_ptr<Graphic> LoadFromMemory(std::string_view bytes, const std::u16string& fileName,
                                          const DecodeOptions& options = {}) const;
  // Raises what DecodeFile would raise for the file, and nothing when it would decode; by default
  // the file is decoded and the picture dropped, a decoder may check without making the pixels.
  virtual void CheckFile(const std::u16string& fileName) const { DecodeFile(fileName); }
  // The same for bytes in memory (a picture inside an archive or a folder's).
  virtual void Check(std::string_view bytes, const std::u16string& fileName) const {
    Decode(bytes, fileName, {.gray = true});
  }
};

// Decodes the bytes of a file in one call; the name is only used in error messages. Pictures of more
// than `maxPixels` pixels are refused (or, where a format can, drawn smaller).
using DecodeFunction = std::unique_ptr<Graphic> (*)(std::string_view bytes,
                                                    const std::u16string& nameForMessages, int64_t maxPixels);

// A DecodeFunction, or a function that decodes with what it was given beforehand (the run's libraries).
using DecodeCall = std::function<std::unique_ptr<Graphic>(
    std::string_view bytes, const std::u16string& nameForMessages, int64_t maxPixels)>;

// Raises exactly what the DecodeFunction of the same format raises for the same bytes, without
// making the picture.
using CheckFunction = void (*)(std::string_view bytes, const std::u16string& nameForMessages,
                               int64_t maxPixels);

// The decoder of a format that one decoding function reads, and that a checking function may check
// more quickly than decoding does.
class FunctionDecoder final : public GraphicDecoder {
 public:
  explicit FunctionDecoder(DecodeCall decode, CheckFunction check = nullptr)
      : decode_(std::move(decode)), check_(check) {}
  // The one picture the function makes, grey when asked for.
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;
  void CheckFile(const std::u16string& fileName) const override;
  void Check(std::string_view bytes, const std::u16string& fileName) const override;

 private:
  DecodeCall decode_;
  CheckFunction check_;
};

}  // namespace bookloom
