// Small books written with BookWriter for the tests of the reader and of bookloom-cli.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "wolf/BookWriter.h"

namespace bookloom::test {

// A 1-bit picture with a pattern of black pixels (diagonals and a border).
Bitmap MonoPicture(int width, int height);
// A 24-bit picture of the four device greys 0, 128, 192 and 255 in stripes.
Bitmap GreyPicture(int width, int height);
// The device grey of every pixel of such a picture, rows from the top.
std::vector<uint8_t> DeviceGreys(const Bitmap& picture);

// Writes a book into memory: the description (title "Sample"), an optional cover, then `body`
// between the body's opening and closing tags; the book is finished.
std::string WriteBook(const std::function<void(BookWriter&)>& body,
                      const std::function<void(BookWriter&)>& head = {});

// The paragraphs of the sample book's first chapter (Windows-1251).
std::vector<std::string> SampleParagraphs();

// A book with everything: cover, a text chapter with sections and a subsection, two consecutive
// pictures, an empty text section and a second text chapter.
std::string SampleBook();

}  // namespace bookloom::test
