// The settings one input file of a book is read and written with: those of the whole book unless the
// user gave the file its own.
#pragma once

#include "pictures/PictureSettings.h"

namespace bookloom {

struct FileSettings {
  PictureSettings picture;

  friend bool operator==(const FileSettings&, const FileSettings&) = default;
};

}  // namespace bookloom
