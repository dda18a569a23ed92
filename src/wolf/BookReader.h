// Reads a finished Wolf book back from its bytes and checks every length, count, position and
// link in it; a damaged book raises BookFormatError naming the byte offset and the fault, and what
// is sound but shown badly is noted as a warning.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bookloom {

// Pixel data of the cover or a picture: where its compressed bytes lie in the book.
struct PictureData {
  int width = 0;
  int height = 0;
  int bitCount = 0;         // 1 or 2
  uint32_t position = 0;    // the cover record, or the "<" of the picture's opening tag
  uint32_t dataStart = 0;   // the first byte of the compressed rows
  uint32_t dataLength = 0;  // the compressed rows and the closing zero byte
  // Bytes of one packed row: ceil(width / 8) at 1 bit, ceil(width / 4) at 2 bits.
  size_t RowBytes() const;
};

struct SectionData {
  uint32_t position = 0;                  // the "<" of its "<catalog>"
  bool pictures = false;                  // a picture section; otherwise text (also when empty)
  std::vector<std::string> paragraphs;    // Windows-1251, unescaped, without the closing CR
  std::vector<uint32_t> paragraphStarts;  // the first byte of each paragraph
  std::vector<PictureData> images;
};

struct CatalogEntry {
  std::string title;      // as written: "NoName" for an empty title
  uint32_t position = 0;  // body-relative
};

// One 80-byte record of the subcatalog, with its place in the tree.
struct TocRecord {
  uint32_t recordPosition = 0;
  uint32_t target = 0;  // body-relative
  uint8_t chapter = 0, section = 0, subsection = 0;
  int level = 0;
  std::string title;
  uint16_t childCount = 0;
  uint32_t previous = 0, next = 0, firstChild = 0, parent = 0;  // record positions, 0 for none
  int parentIndex = -1;       // index of the parent entry, -1 for a top entry
  std::vector<int> children;  // indices of the entries whose parent this is, in file order
};

struct BookContents {
  size_t fileSize = 0;
  std::array<std::string, 18> description;  // unescaped values, "" when absent
  std::optional<PictureData> cover;
  uint32_t bodyStart = 0;
  uint32_t bodyLength = 0;
  std::vector<SectionData> sections;
  std::vector<CatalogEntry> catalog;
  uint32_t subcatalogPosition = 0;  // 0 when the table of contents is empty
  std::vector<TocRecord> toc;
  // The eight page lists in file order: layouts 0, 1, 2, 3, 0, 1, 2, 3.
  std::array<std::vector<uint32_t>, 8> pageLists;
  // What a sound book may hold but a reader shows badly (a cover not of the screen's size, as books
  // made elsewhere may have); Bookloom writes no such book.
  std::vector<std::string> warnings;
};

class BookReader {
 public:
  // Reads and checks the whole book, decoding every picture once.
  explicit BookReader(std::string bytes);

  const BookContents& Book() const { return book_; }
  const std::string& Bytes() const { return bytes_; }
  // The packed rows of a picture of this book (height rows of RowBytes each).
  std::string DecodeRows(const PictureData& picture) const;

 private:
  std::string bytes_;
  BookContents book_;
};

// Whether the file starts as a Wolf book does; false when it cannot be read. Tells a book that may be
// replaced from a file that only has the name of one.
bool LooksLikeWolfBook(const std::u16string& fileName);

// The grey of a packed pixel: at 1 bit 1 is black (0) and 0 white (255); at 2 bits 0, 128, 192, 255.
std::vector<uint8_t> PackedRowsToGray(const PictureData& picture, std::string_view rows);

}  // namespace bookloom
