// What the tests of the own decoders share: damaging files in memory, reading sample files, and
// reference pixels made at test time by ImageMagick or GraphicsMagick.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/Graphic.h"

namespace bookloom::test {

using LoadFromMemoryFn = std::unique_ptr<TGraphic> (*)(std::string_view, const std::u16string&, int64_t);

// Feeds copies of `bytes` cut at many points and copies with bytes changed to the decoder: each must
// decode or raise EDecodeError (a crash or another exception fails the test). Returns how many
// cut copies were accepted. Pictures are decoded with the given pixel limit.
int ExpectDamageIsRefusedCleanly(LoadFromMemoryFn load, const std::string& bytes, const std::string& label,
                                 int64_t maxPixels = kMaxPicturePixels);

// Every file directly inside a sample folder (not in its subfolders), sorted.
std::vector<std::filesystem::path> SampleFiles(const std::string& folder);

std::string ReadAll(const std::filesystem::path& path);

// 8-bit RGB pixels of a picture, rows from the top.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// The picture as RGB over white (alpha composited as the program does).
RgbImage ToRgbOverWhite(const TGraphic& g);

// The first image of a file as `convert` (ImageMagick) or `gm convert` reads it; nothing when
// neither tool is there or it cannot read the file.
std::optional<RgbImage> ReferenceImage(const std::filesystem::path& file, const std::string& tool);

// The largest difference of one colour component, and the mean difference, of two same-sized
// pictures; EXPECTs the sizes to match.
struct PixelDifference {
  int max = 0;
  double mean = 0;
};
PixelDifference ComparePixels(const RgbImage& a, const RgbImage& b);

}  // namespace bookloom::test
