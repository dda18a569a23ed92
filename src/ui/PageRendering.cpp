#include "ui/PageRendering.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

#include "text/LineBreaking.h"
#include "text/Win1251.h"

namespace bookloom {

namespace {

// The device's fonts, near enough: a fixed font whose letters take font 0's 11 pixels, and a
// proportional one of font 1's size. Every letter is placed where the device's widths put it.
QFont DeviceFont(int fontIndex) {
  QFont font(fontIndex == 0 ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
  font.setPixelSize(fontIndex == 0 ? 18 : 20);
  return font;
}

}  // namespace

QImage GreyImage(int width, int height, const std::vector<uint8_t>& grey) {
  QImage image(width, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y)
    std::copy_n(grey.data() + static_cast<size_t>(y) * width, width, image.scanLine(y));
  return image;
}

QImage PictureImage(const BookReader& reader, const PictureData& picture) {
  return GreyImage(picture.width, picture.height, PackedRowsToGray(picture, reader.DecodeRows(picture)));
}

QImage TextPageImage(const std::vector<PageLine>& lines, const PageLayout& layout) {
  const bool wide = layout.textWidth > 600;
  const int width = wide ? 800 : 600, height = wide ? 600 : 800;
  QImage page(width, height, QImage::Format_Grayscale8);
  page.fill(Qt::white);
  QPainter painter(&page);
  painter.setFont(DeviceFont(layout.fontIndex));
  painter.setPen(Qt::black);
  const double lineHeight = static_cast<double>(height) / layout.linesPerPage;
  const int left = (width - layout.textWidth) / 2;
  for (size_t line = 0; line < lines.size(); ++line) {
    const double baseline = (static_cast<double>(line) + 0.78) * lineHeight;
    const std::string_view bytes = lines[line].text;
    const std::u16string letters = Win1251ToWide(bytes);
    int x = left;
    for (size_t i = 0; i < letters.size(); ++i) {
      painter.drawText(QPointF(x, baseline), QString(QChar(letters[i])));
      x += CharWidth(layout.fontIndex, static_cast<uint8_t>(bytes[i]));
    }
    if (lines[line].hyphen) painter.drawText(QPointF(x, baseline), QStringLiteral("-"));
  }
  return page;
}

QImage OnDevicePage(const QImage& picture) {
  const QSize screen = picture.width() > picture.height() ? QSize(800, 600) : QSize(600, 800);
  if (picture.width() >= screen.width() || picture.height() >= screen.height()) return picture;
  QImage page(screen, QImage::Format_Grayscale8);
  page.fill(Qt::white);
  QPainter(&page).drawImage((screen.width() - picture.width()) / 2, (screen.height() - picture.height()) / 2,
                            picture);
  return page;
}

QImage PageImage(const BookReader& reader, const BookPages& pages, size_t index) {
  const PageStart& page = pages.Page(index);
  return page.picture ? PictureImage(reader, *page.picture)
                      : TextPageImage(pages.Lines(index), pages.Layout());
}

}  // namespace bookloom
