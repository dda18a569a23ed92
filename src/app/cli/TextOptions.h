// The options of the book's text files: --input-encoding (for the files that follow it),
// --chapters, --chapter-pattern and --unwrap.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "text/TextSettings.h"

namespace bookloom::cli {

class TextOptions {
 public:
  // Adds the options to `app`; they fill `settings`, the text settings of the whole book.
  void Add(CLI::App& app, TextSettings& settings);

  // The encoding in force at each value of `option` the command line gave, in order: that of the
  // last --input-encoding before it, "" (told from the bytes) when there is none or it was "auto".
  std::vector<std::string> EncodingsAt(const CLI::App& app, const CLI::Option* option) const;

 private:
  CLI::Option* encoding_ = nullptr;
  std::vector<std::string> encodings_;
};

}  // namespace bookloom::cli
