// The options of a book that `make` and `convert` share: its description, its cover, how its
// pictures and texts are read, --skip-bad and --force. Each book of a `convert` gets them all.
#pragma once

#include <CLI/CLI.hpp>
#include <map>
#include <string>
#include <vector>

#include "app/cli/TextOptions.h"
#include "book/BookDescription.h"
#include "book/FileSettings.h"
#include "pictures/CoverPage.h"
#include "pictures/PageFitting.h"
#include "text/Win1251.h"

namespace bookloom {
struct Project;
}

namespace bookloom::cli {

class Console;

class BookOptions {
 public:
  // Adds the options to `command`; `forceHelp` says what --force does there.
  void Add(CLI::App& command, const std::string& forceHelp);
  // A project's settings, description and cover, taken before the options given beside it; the
  // book never replaces the project's file.
  void TakeProject(const Project& project, const std::string& file);

  // The description the options give (over the project's), each text fitted to the book's code page
  // with a warning; a text the book cannot hold fails unless --truncate.
  BookDescription Description(Console& console, const Runtime& runtime) const;
  // The cover picture given, or without one the cover an input offers, unless --no-cover.
  CoverPage Cover(Console& console, const Runtime& runtime) const;
  // The settings of every input; with --skip-bad they leave out the bad parts of an input.
  FileSettings Settings() const;
  // The encoding in force at each value of `inputs`, as TextOptions::EncodingsAt.
  std::vector<std::string> EncodingsAt(const CLI::Option* inputs) const;
  // An existing output is replaced only when it is a Wolf book (or empty), or with --force, and never
  // when it is the project or the annotation file the book reads; `shown` names it in the message.
  void CheckOutput(const std::u16string& output, const std::string& shown) const;

  bool SkipBad() const { return skipBad_; }
  bool Force() const { return force_; }

 private:
  struct CoverOptions {
    PageColors colors = PageColors::kGray4;
    Margins margins;
  };

  CLI::App* command_ = nullptr;
  CLI::Option* annotationFileOption_ = nullptr;
  std::map<DescriptionFieldId, std::string> texts_;
  std::string annotationFileName_;
  bool truncate_ = false;
  std::string coverFile_;
  bool noCover_ = false;
  bool generateCover_ = false;
  CoverOptions coverOptions_;
  bool coverEnlarge_ = true;
  FileSettings settings_;
  BookDescription projectDescription_;
  std::string projectFile_;
  TextOptions textOptions_;
  bool skipBad_ = false;
  bool force_ = false;
};

}  // namespace bookloom::cli
