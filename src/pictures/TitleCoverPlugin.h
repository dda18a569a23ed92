// The interface between the program and its title-cover module, which sets a book's title, author
// and series on a page with Pango and cairo. A module loaded at the first cover it makes, so that
// programs which never make one do not load Pango, HarfBuzz and fontconfig. Plain data only: the
// module shares no code with the program.
#pragma once

#include <cstdint>

namespace bookloom {

// Raised whenever the request or a function changes; a module of another version is not used.
inline constexpr int kTitleCoverPluginVersion = 1;
inline constexpr const char* kTitleCoverPluginFile = "bookloom-cover.so";
inline constexpr const char* kTitleCoverPluginStartEntry = "BookloomCoverStart";

struct TitleCoverRequest {
  // UTF-8, each may be empty.
  const char* title = "";
  const char* author = "";
  const char* series = "";
  // The page: rows of grey from the top, 0 black, 255 white, `width` bytes each with nothing between.
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;

  char why[256] = {};  // set by the module when it fails
};

struct TitleCoverFunctions {
  // Draws the texts on the page; false when it could not, `why` saying why.
  bool (*draw)(TitleCoverRequest* request);
};

}  // namespace bookloom
