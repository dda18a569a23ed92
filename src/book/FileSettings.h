// The settings one input file of a book is read and written with: those of the whole book unless the
// user gave the file its own.
#pragma once

#include "documents/DocumentMode.h"
#include "pictures/PictureSettings.h"
#include "text/TextSettings.h"

namespace bookloom {

struct FileSettings {
  PictureSettings picture;
  TextSettings text;
  DocumentMode documentMode = DocumentMode::kAuto;  // how a PDF is read
  // A damaged part of a book file (a picture, a page) is left out with a warning instead of failing
  // the build.
  bool skipBadParts = false;

  friend bool operator==(const FileSettings&, const FileSettings&) = default;
};

// Which of the settings a kind of file is read with, so that a user is offered only those.
struct SettingGroups {
  bool text = false;       // encoding, chapters, joined lines
  bool pictures = false;   // how pictures become pages
  bool allFrames = false;  // whether a multi-page picture gives all its pages
  bool document = false;   // whether a document is read as its text or as its pages
};

}  // namespace bookloom
