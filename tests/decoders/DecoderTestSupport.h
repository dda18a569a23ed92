// Helpers for the decoder tests: decoding by path, comparing pictures, reference files made by
// GraphicsMagick or ImageMagick at test time.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "decoders/Graphic.h"

namespace bookloom::test {

// Decodes a file with the decoder registered for its extension.
std::unique_ptr<TGraphic> DecodeFile(const std::filesystem::path& path);

// The picture as opaque RGB bytes (alpha composited on white), for comparing with references.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::string rgb;  // width * height * 3 bytes, rows from the top
};
RgbImage Composited(const TGraphic& graphic);

// Reads a binary PPM (P6, maximum value 255), as the tools write them.
RgbImage ReadPpm(const std::filesystem::path& path);

// The largest difference of one sample between two pictures of the same size, -1 when the sizes
// differ.
int MaxDifference(const RgbImage& a, const RgbImage& b);

// True when the program can be started from the PATH.
bool HaveTool(const std::string& name);

// Runs a shell command line; true when it succeeded.
bool RunCommand(const std::string& commandLine);

// Single-quotes a path for the shell.
std::string Quoted(const std::filesystem::path& path);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

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
