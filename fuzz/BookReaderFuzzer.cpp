// The book reader on arbitrary bytes: it must reject damage with BookFormatError and nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Exception.h"
#include "wolf/BookReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const bookloom::BookReader reader(std::string(reinterpret_cast<const char*>(data), size));
    const bookloom::BookContents& book = reader.Book();
    for (const auto& section : book.sections)
      for (const auto& picture : section.images) {
        const std::string rows = reader.DecodeRows(picture);
        bookloom::PackedRowsToGray(picture, rows);
      }
  } catch (const bookloom::BookFormatError&) {
  }
  return 0;
}
