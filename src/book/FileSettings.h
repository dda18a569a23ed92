// The settings one input file of a book is read and written with: those of the whole book unless the
// user gave the file its own.
#pragma once

#include "pictures/PictureSettings.h"
#include "text/TextSettings.h"

namespace bookloom {

struct FileSettings {
  PictureSettings picture;
  TextSettings text;
  // A damaged part of a book file (a picture, a page) is left out with a warning instead of failing
  // the build.
  bool skipBadParts = false;

  friend bool operator==(const FileSettings&, const FileSettings&) = default;
};

}  // namespace bookloom
