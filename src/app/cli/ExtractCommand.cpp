// bookloom-cli extract: writes a book's cover and pictures as grey PNG files and its text as UTF-8.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/cli/Commands.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"

namespace bookloom::cli {

namespace {

// Writes a picture of the book as PNG; a picture without pixels has nothing to show.
bool WritePicture(const BookReader& reader, const PictureData& picture, const std::string& fileName) {
  if (picture.width == 0 || picture.height == 0) return false;
  const std::string rows = reader.DecodeRows(picture);
  WriteGrayPng(Utf8ToUtf16(fileName), picture.width, picture.height, PackedRowsToGray(picture, rows));
  return true;
}

}  // namespace

int ExtractCommand(const Args& args) {
  if (args.size() != 2) {
    PrintUsage();
    return 2;
  }
  const BookReader reader(ReadFileBytes(Utf8ToUtf16(args[0])));
  const BookContents& book = reader.Book();
  const std::string& dir = args[1];
  std::filesystem::create_directories(std::filesystem::path(dir));

  int pngs = 0;
  if (book.cover && WritePicture(reader, *book.cover, dir + "/cover.png")) ++pngs;
  int number = 0;
  std::string text;
  size_t paragraphs = 0;
  for (const SectionData& s : book.sections) {
    for (const PictureData& p : s.images) {
      char name[32];
      std::snprintf(name, sizeof name, "/picture-%04d.png", ++number);
      if (WritePicture(reader, p, dir + name)) ++pngs;
    }
    for (const std::string& paragraph : s.paragraphs) {
      text += Utf16ToUtf8(Win1251ToWide(paragraph));
      text += '\n';
    }
    paragraphs += s.paragraphs.size();
  }
  FileOutputStream textFile(Utf8ToUtf16(dir + "/text.txt"));
  textFile.WriteStr(text);
  textFile.Close();
  std::printf("%d PNG files and %zu paragraphs in text.txt written to %s\n", pngs, paragraphs, dir.c_str());
  return 0;
}

}  // namespace bookloom::cli
