#include "ui/Appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyleOption>
#include <QWidget>

#include "platform/Bitmap.h"

namespace bookloom {

namespace {

// The icon lit up, for the highlighted form.
QPixmap Highlighted(const QPixmap& normal) {
  QPixmap lit = normal;
  QPainter p(&lit);
  p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  p.fillRect(lit.rect(), QColor(255, 255, 255, 70));
  return lit;
}

// The icon greyed and faded, for the disabled form: unmistakably off whatever its colours (a
// style's own disabled form leaves black glyphs nearly black).
QPixmap Faded(const QPixmap& normal) {
  QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 128 + qGray(row[x]) / 2;
      row[x] = qRgba(grey, grey, grey, qAlpha(row[x]) * 2 / 5);
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

QIcon ActionIcon(const char* themeName, QStyle::StandardPixmap standard) {
  QIcon source = QIcon::fromTheme(QString::fromLatin1(themeName));
  if (source.isNull()) source = QApplication::style()->standardIcon(standard);
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap normal = source.pixmap(size, size);
    if (normal.width() < size && normal.height() < size)  // an icon drawn only in smaller sizes
      normal = normal.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(Highlighted(normal), QIcon::Active);
    icon.addPixmap(Faded(normal), QIcon::Disabled);
  }
  return icon;
}

QPixmap Emblem(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 48.0, size / 48.0);
  // Two pages of an open book over a dark cover, with lines of text.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 60, 110));
  p.drawRoundedRect(QRectF(2, 10, 44, 32), 3, 3);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(250, 250, 245));
  QPainterPath left, right;
  left.moveTo(23, 12);
  left.cubicTo(17, 8, 10, 8, 5, 10);
  left.lineTo(5, 38);
  left.cubicTo(10, 36, 17, 36, 23, 40);
  left.closeSubpath();
  right.moveTo(25, 12);
  right.cubicTo(31, 8, 38, 8, 43, 10);
  right.lineTo(43, 38);
  right.cubicTo(38, 36, 31, 36, 25, 40);
  right.closeSubpath();
  p.drawPath(left);
  p.drawPath(right);
  p.setPen(QPen(QColor(120, 120, 120), 1.2));
  for (int i = 0; i < 5; ++i) {
    const double y = 16 + i * 4.5;
    p.drawLine(QPointF(8, y), QPointF(20, y + 0.8));
    p.drawLine(QPointF(28, y + 0.8), QPointF(40, y));
  }
  return pixmap;
}

namespace {

// Presses the button it watches on Enter and Return.
class EnterPresses : public QObject {
 public:
  explicit EnterPresses(QPushButton& button) : QObject(&button), button_(button) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    button_.click();
    return true;
  }

 private:
  QPushButton& button_;
};

}  // namespace

void PressOnEnter(QPushButton& button) { button.installEventFilter(new EnterPresses(button)); }

QImage BitmapToImage(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Rgb c = bitmap.Pixel(x, y);
      line[x] = qRgb(c.r, c.g, c.b);
    }
  }
  return image;
}

}  // namespace bookloom
