// bookloom-cli prepare: writes one picture as the device page it becomes, as a book picture (four
// greys, never enlarged, no margins) or with the options of a cover, in a grey PNG.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/Commands.h"
#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"

namespace bookloom::cli {

namespace {

struct PrepareOptions {
  std::string input;
  std::string output;
  int mode = 2;
  bool enlarge = false;
  Margins margins;
};

// A whole non-negative number of at most six digits.
bool ParseCount(const std::string& text, int& value) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoi(text);
  return true;
}

// "L,R,T,B": four margins in pixels.
bool ParseMargins(const std::string& text, Margins& margins) {
  int* const fields[] = {&margins.left, &margins.right, &margins.top, &margins.bottom};
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = i < 3 ? text.find(',', start) : text.size();
    if (comma == std::string::npos || !ParseCount(text.substr(start, comma - start), *fields[i]))
      return false;
    start = comma + 1;
  }
  return true;
}

// The options, or an empty input name with the complaint printed.
PrepareOptions ParseOptions(const Args& args) {
  PrepareOptions options;
  std::vector<std::string> files;
  const auto complain = [](const std::string& what) {
    std::fprintf(stderr, "bookloom-cli prepare: %s\n", what.c_str());
    return PrepareOptions{};
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--enlarge") {
      options.enlarge = true;
    } else if (arg == "--mode") {
      if (!hasValue || (args[i + 1] != "1" && args[i + 1] != "2")) return complain("--mode takes 1 or 2");
      options.mode = args[++i][0] - '0';
    } else if (arg == "--margins") {
      if (!hasValue || !ParseMargins(args[++i], options.margins))
        return complain("--margins takes four whole numbers: LEFT,RIGHT,TOP,BOTTOM");
    } else if (arg.starts_with("--")) {
      return complain("unknown option \"" + arg + "\"");
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return complain("give one picture and one PNG file to write");
  options.input = files[0];
  options.output = files[1];
  return options;
}

}  // namespace

int PrepareCommand(const Args& args) {
  const PrepareOptions options = ParseOptions(args);
  if (options.input.empty()) return 2;

  Picture picture;
  picture.LoadFromFile(Utf8ToUtf16(options.input));
  Bitmap page;
  FitPictureToPage(
      picture, page,
      {.enlarge = options.enlarge, .colors = PageColorsOfBits(options.mode), .margins = options.margins});
  // Both modes leave greys only: red, green and blue are equal.
  std::vector<uint8_t> gray(static_cast<size_t>(page.Width()) * page.Height());
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      gray[static_cast<size_t>(y) * page.Width() + x] = page.Pixel(x, y).r;
  WriteGrayPng(Utf8ToUtf16(options.output), page.Width(), page.Height(), gray);
  return 0;
}

}  // namespace bookloom::cli
