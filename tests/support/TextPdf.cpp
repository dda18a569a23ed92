#include "support/TextPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <sstream>

namespace bookloom::test {

namespace {

constexpr double kPageWidth = 420, kPageHeight = 595;
constexpr double kMargin = 40, kGutter = 20, kTop = 60, kBottom = 520, kFootnoteTop = 540;
constexpr double kColumnWidth = (kPageWidth - 2 * kMargin - kGutter) / 2;
constexpr double kBodySize = 10, kLeading = 13, kIndent = 15;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Sets the blocks one after another down the columns of the pages.
class Typesetter {
 public:
  Typesetter(const std::string& header, bool outline) : header_(header), outline_(outline) {
    const auto write = [](void* out, const unsigned char* data, unsigned int size) {
      static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), size);
      return CAIRO_STATUS_SUCCESS;
    };
    surface_ = cairo_pdf_surface_create_for_stream(write, &bytes_, kPageWidth, kPageHeight);
    cr_ = cairo_create(surface_);
    BeginPage();
  }

  std::string Finish() {
    EndPage();
    cairo_destroy(cr_);
    cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
    return bytes_;
  }

  void Set(const TextPdfBlock& block) {
    switch (block.kind) {
      case TextPdfBlock::Kind::kHeading:
        Heading(block.text, block.level);
        break;
      case TextPdfBlock::Kind::kParagraph:
        Paragraph(Words(block.text));
        break;
      case TextPdfBlock::Kind::kPicture:
        Picture();
        break;
      case TextPdfBlock::Kind::kFootnote:
        footnotes_.push_back(block.text);
        break;
    }
  }

 private:
  void Font(double size, bool bold) {
    cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    cairo_set_source_rgb(cr_, 0, 0, 0);
  }

  double Width(const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    return extents.x_advance;
  }

  void Show(double x, double y, const std::string& text) {
    cairo_move_to(cr_, x, y);
    cairo_show_text(cr_, text.c_str());
  }

  double Left() const { return kMargin + column_ * (kColumnWidth + kGutter); }

  // Room for `height` more points in the column, else the next column.
  void Need(double height) {
    if (y_ + height > kBottom) NextColumn();
  }

  void NextColumn() {
    if (column_ == 0) {
      column_ = 1;
    } else {
      EndPage();
      cairo_show_page(cr_);
      ++page_;
      BeginPage();
    }
    y_ = kTop;
  }

  void BeginPage() {
    column_ = 0;
    y_ = kTop;
    Font(8, false);
    Show(kMargin, 30, header_);
  }

  void EndPage() {
    Font(8, false);
    const std::string number = std::to_string(page_);
    Show((kPageWidth - Width(number)) / 2, 570, number);
    Font(7, false);
    double y = kFootnoteTop;
    for (const std::string& note : footnotes_) {
      Show(kMargin, y, note);
      y += 9;
    }
    footnotes_.clear();
  }

  void Heading(const std::string& text, int level) {
    const double size = level == 1 ? 16 : 12;
    Need(size * 2.5);
    y_ += size * 1.5;
    Font(size, true);
    Show(Left(), y_, text);
    if (outline_) {
      const std::string link = "page=" + std::to_string(page_) + " pos=[" + std::to_string(Left()) + " " +
                               std::to_string(y_ - size) + "]";
      const int parent = level == 1 || lastTop_ == 0 ? CAIRO_PDF_OUTLINE_ROOT : lastTop_;
      const int id = cairo_pdf_surface_add_outline(surface_, parent, text.c_str(), link.c_str(),
                                                   CAIRO_PDF_OUTLINE_FLAG_OPEN);
      if (level == 1) lastTop_ = id;
    }
    y_ += size * 0.6;
  }

  // The words greedily into justified lines; "a|b" breaks as "a-" and "b" wherever it stands.
  void Paragraph(std::vector<std::string> words) {
    Font(kBodySize, false);
    bool first = true;
    while (!words.empty()) {
      const double indent = first ? kIndent : 0;
      std::vector<std::string> line;
      double width = 0;
      while (!words.empty()) {
        std::string word = words.front();
        const size_t bar = word.find('|');
        const std::string shown = bar == std::string::npos ? word : word.substr(0, bar) + "-";
        const double added = Width(shown) + (line.empty() ? 0 : Width(" "));
        if (!line.empty() && width + added > kColumnWidth - indent) break;
        line.push_back(shown);
        width += added;
        if (bar != std::string::npos) {
          words.front() = word.substr(bar + 1);
          break;
        }
        words.erase(words.begin());
      }
      Need(kLeading);
      Font(kBodySize, false);  // a new page sets its header in its own font
      y_ += kLeading;
      SetLine(line, Left() + indent, words.empty() ? 0 : kColumnWidth - indent);
      first = false;
    }
    y_ += 4;
  }

  // The words from x on, spread to `justify` points when it is not 0.
  void SetLine(const std::vector<std::string>& line, double x, double justify) {
    double words = 0;
    for (const std::string& w : line) words += Width(w);
    const double space =
        justify > 0 && line.size() > 1 ? (justify - words) / static_cast<double>(line.size() - 1) : Width(" ");
    for (const std::string& w : line) {
      Show(x, y_, w);
      x += Width(w) + space;
    }
  }

  void Picture() {
    Need(90);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 40);
    cairo_t* paint = cairo_create(picture);
    cairo_set_source_rgb(paint, 0.5, 0.5, 0.5);
    cairo_paint(paint);
    cairo_destroy(paint);
    cairo_save(cr_);
    cairo_translate(cr_, Left(), y_ + 5);
    cairo_scale(cr_, kColumnWidth / 64, 80.0 / 40);
    cairo_set_source_surface(cr_, picture, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(picture);
    y_ += 90;
  }

  std::string header_;
  bool outline_;
  std::string bytes_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
  int page_ = 1;
  int column_ = 0;
  double y_ = kTop;
  int lastTop_ = 0;  // the outline entry of the last heading of level 1
  std::vector<std::string> footnotes_;
};

}  // namespace

std::string TextPdf(const std::vector<TextPdfBlock>& blocks, const std::string& header, bool outline) {
  Typesetter setter(header, outline);
  for (const TextPdfBlock& block : blocks) setter.Set(block);
  return setter.Finish();
}

}  // namespace bookloom::test
