// Draws the device's pages from a read book: a picture as its greys, a page of text as the device
// sets its lines in a layout. The preview and the book viewer show pages drawn here.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "wolf/BookPages.h"
#include "wolf/BookReader.h"

namespace bookloom {

// A grey image of width x height from its greys, rows from the top.
QImage GreyImage(int width, int height, const std::vector<uint8_t>& grey);
// A picture of the book (or its cover) as the device shows it.
QImage PictureImage(const BookReader& reader, const PictureData& picture);
// A page of text lines: 600 x 800, or 800 x 600 in the wide layouts, which turn the page.
QImage TextPageImage(const std::vector<PageLine>& lines, const PageLayout& layout);
// A picture smaller than the screen as the device shows it: in the middle of a white page of the
// screen's size (turned when the picture is wider than high); a picture of that size or larger as it is.
QImage OnDevicePage(const QImage& picture);
// Page `index` of the pages of the book in their layout.
QImage PageImage(const BookReader& reader, const BookPages& pages, size_t index);

}  // namespace bookloom
