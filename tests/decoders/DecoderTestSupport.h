// What the decoder tests share: decoding by path, pictures as RGB over white, reference pixels made
// by ImageMagick or GraphicsMagick at test time, comparing pixels, and damaging files in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/Graphic.h"
#include "support/TestPictures.h"

namespace bookloom::test {

// Decodes a file with the decoder of its extension.
std::unique_ptr<Graphic> DecodeFile(const std::filesystem::path& path);

// 8-bit RGB pixels of a picture, rows from the top.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3 bytes
};

// The picture as RGB over white (alpha composited as the program does).
RgbImage ToRgbOverWhite(const Graphic& g);

// The samples of every pixel as text, rows from the top: "r,g,b" (or "r,g,b,a") a pixel, separated by
// spaces.
std::string PixelText(const Graphic& g);

// Reads a binary PPM (P6, maximum value 255), as the tools write them; nothing when it is not one.
std::optional<RgbImage> ReadPpm(const std::filesystem::path& path);

// The first image of a file as `tool` ("convert" of ImageMagick, "gm convert" of GraphicsMagick)
// reads it, after `options`, flattened on white; nothing when the tool is missing or cannot read it.
std::optional<RgbImage> ReferenceImage(const std::filesystem::path& file, const std::string& tool,
                                       const std::string& options = "");

// The largest difference of one colour component, and the mean difference, of two same-sized
// pictures; EXPECTs the sizes to match (pictures of other sizes differ by 255).
struct PixelDifference {
  int max = 0;
  double mean = 0;
};
PixelDifference ComparePixels(const RgbImage& a, const RgbImage& b);

// True when the program can be started from the PATH.
bool HaveTool(const std::string& name);

// Runs a shell command line; true when it succeeded.
bool RunCommand(const std::string& commandLine);

// Every file directly inside a sample folder (not in its subfolders), sorted.
std::vector<std::filesystem::path> SampleFiles(const std::string& folder);

// Feeds copies of `bytes` cut at many points and copies with bytes changed to the decoder: each must
// decode or raise DecodeError (a crash or another exception fails the test). Returns how many
// cut copies were accepted. Pictures are decoded with the given pixel limit.
int ExpectDamageIsRefusedCleanly(DecodeFunction load, const std::string& bytes, const std::string& label,
                                 int64_t maxPixels = kMaxPicturePixels);
// The same for a decoder, every frame of the copies decoded.
int ExpectDamageIsRefusedCleanly(const GraphicDecoder& decoder, const std::string& bytes,
                                 const std::string& label);

// Each of the broken files is refused with DecodeError naming the file, and the good file is refused
// under picture limits too small for it.
void ExpectBadFilesRefused(const GraphicDecoder& decoder, const std::vector<std::string>& broken,
                           const std::string& good);

// The difference of a picture's samples from the RGBA pixels it was made of (alpha compared only when
// the picture has it); EXPECTs the sizes to match (pictures of other sizes differ by 255).
PixelDifference CompareWithPixels(const Graphic& g, const RgbaPixels& p);

// Lowers the picture limits for the life of the object.
class ScopedPictureLimits {
 public:
  explicit ScopedPictureLimits(const PictureSizeLimits& limits) : saved_(PictureLimits()) {
    SetPictureLimits(limits);
  }
  ~ScopedPictureLimits() { SetPictureLimits(saved_); }

 private:
  PictureSizeLimits saved_;
};

}  // namespace bookloom::test

// Skips the test when a program it needs is not installed.
#define REQUIRE_TOOL(name)                                                                          \
  do {                                                                                              \
    if (!::bookloom::test::HaveTool(name)) GTEST_SKIP() << "\"" << (name) << "\" is not installed"; \
  } while (0)
