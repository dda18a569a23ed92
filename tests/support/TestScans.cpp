#include "support/TestScans.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "pictures/Reflow.h"

namespace bookloom::test {

namespace {

const char* const kVocabulary[] = {"the",    "reader",  "holds",  "paper", "under",      "morning",
                                   "light",  "and",     "every",  "line",  "stands",     "straight",
                                   "words",  "quietly", "follow", "their", "neighbours", "across",
                                   "narrow", "columns", "of",     "print"};

}  // namespace

TestScan MakeTestScan(const TestScanOptions& o) {
  TestScan scan;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, o.width, o.height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_translate(cr, o.width / 2.0, o.height / 2.0);
  cairo_rotate(cr, -o.turnDegrees * M_PI / 180);
  cairo_translate(cr, -o.width / 2.0, -o.height / 2.0);
  cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, o.fontPixels);
  cairo_set_source_rgb(cr, 0, 0, 0);
  const double margin = o.width * 0.1, gutter = o.width * 0.05;
  const double columnWidth = (o.width - 2 * margin - (o.columns - 1) * gutter) / o.columns;
  const double lineHeight = o.fontPixels * 1.4, space = o.fontPixels * 0.3;
  const double top = o.height * 0.1, bottom = o.height * 0.62;
  auto show = [&](const std::string& word, double x, double y, bool record) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, word.c_str(), &e);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, word.c_str());
    if (record) scan.texts.push_back(word);
    if (record)
      scan.words.push_back({static_cast<int>(x + e.x_bearing), static_cast<int>(y + e.y_bearing),
                            static_cast<int>(std::ceil(e.width)), static_cast<int>(std::ceil(e.height))});
    return e.x_advance;
  };
  show("Running header", margin, o.height * 0.05, false);
  show("17", o.width / 2.0, o.height * 0.95, false);
  int column = 0, next = 0;
  size_t word = 0;
  double y = top + o.fontPixels;
  for (int p = 0; p < o.paragraphs && column < o.columns; ++p) {
    double x = o.fontPixels * 2;
    for (int w = 0; w < 18 + 7 * (p % 3) && column < o.columns; ++w) {
      std::string text = kVocabulary[(next * 7 + p) % std::size(kVocabulary)];
      if (o.dashes && w > 0 && next % 6 == 3) text = next % 12 == 3 ? "-" : "\u2014";
      ++next;
      if (word++ < o.startWord) {  // on a page before: this page's first line goes on unindented
        x = 0;
        continue;
      }
      cairo_text_extents_t e;
      cairo_text_extents(cr, text.c_str(), &e);
      if (x + e.x_advance > columnWidth) {
        x = 0;
        y += lineHeight;
      }
      if (y > bottom) {
        ++column;
        y = top + o.fontPixels;
        if (column == o.columns) break;
      }
      if (w == 0) scan.paragraphStarts.push_back(scan.words.size());
      x += show(text, margin + column * (columnWidth + gutter) + x, y, true) + space;
    }
    if (word > o.startWord) y += lineHeight;
    if (o.tableRows > 0 && p == 0 && column < o.columns) {
      const double x0 = margin + column * (columnWidth + gutter);
      y += lineHeight;
      const double top = y - o.fontPixels;
      for (int row = 0; row < o.tableRows; ++row, y += lineHeight) {
        const std::string cells[] = {kVocabulary[(row * 5) % std::size(kVocabulary)],
                                     std::to_string(row * 37 % 100),
                                     std::to_string(row * 13 + 2) + "." + std::to_string(row % 10)};
        for (int c = 0; c < 3; ++c) show(cells[c], x0 + c * columnWidth / 3, y, false);
      }
      // From the top of the first row's letters to the foot of the last row's.
      scan.table = {static_cast<int>(x0), static_cast<int>(top + o.fontPixels * 0.3),
                    static_cast<int>(columnWidth * 0.8), static_cast<int>(y - lineHeight - top)};
      y += lineHeight;
    }
    if (o.picture && p == 1 && column < o.columns) {
      const double h = o.fontPixels * 6;
      cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y, columnWidth, y + h);
      cairo_pattern_add_color_stop_rgb(gradient, 0, 0.1, 0.1, 0.1);
      cairo_pattern_add_color_stop_rgb(gradient, 1, o.pictureLightest, o.pictureLightest, o.pictureLightest);
      const double x0 = margin + column * (columnWidth + gutter);
      cairo_set_source(cr, gradient);
      cairo_rectangle(cr, x0, y, columnWidth, h);
      cairo_fill(cr);
      cairo_pattern_destroy(gradient);
      cairo_set_source_rgb(cr, 0, 0, 0);
      scan.picture = {static_cast<int>(x0), static_cast<int>(y), static_cast<int>(columnWidth),
                      static_cast<int>(h)};
      y += h + lineHeight;
    }
  }
  scan.blank = {static_cast<int>(margin), static_cast<int>(o.height * 0.68),
                static_cast<int>(o.width - 2 * margin), static_cast<int>(o.height * 0.2)};
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  // Ink and paper as a scanner sees them: a grey paper with grain, a dark grey print, a few specks.
  std::mt19937 random(o.seed);
  std::normal_distribution<double> grain(0, o.grain);
  scan.page = GrayImage(o.width, o.height);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int row = 0; row < o.height; ++row) {
    const auto* pixels = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(row) * stride);
    for (int x = 0; x < o.width; ++x) {
      const double light = (pixels[x] & 0xff) / 255.0;
      const double grey = 45 + (232 - 45) * light + (o.grain > 0 ? grain(random) : 0);
      scan.page.Row(row)[x] = static_cast<uint8_t>(std::clamp(std::lround(grey), 0L, 255L));
    }
  }
  if (o.grain > 0) {
    std::uniform_int_distribution<int> across(0, o.width - 2), down(0, o.height - 2);
    for (int i = 0; i < o.width * o.height / 20000; ++i) {
      const int x = across(random), row = down(random);
      scan.page.Row(row)[x] = scan.page.Row(row + 1)[x] = 90;  // dust: a speck of 1 x 2 pixels
    }
  }
  cairo_surface_destroy(surface);
  return scan;
}

std::string PdfOfScans(const std::vector<const GrayImage*>& scans) {
  std::string bytes;
  const auto write = [](void* out, const unsigned char* data, unsigned int size) {
    static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), size);
    return CAIRO_STATUS_SUCCESS;
  };
  constexpr double kPointsAPixel = 72.0 / 150;
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(write, &bytes, 1, 1);
  cairo_t* cr = cairo_create(pdf);
  for (const GrayImage* scan : scans) {
    cairo_pdf_surface_set_size(pdf, scan->Width() * kPointsAPixel, scan->Height() * kPointsAPixel);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, scan->Width(), scan->Height());
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    for (int y = 0; y < scan->Height(); ++y)
      for (int x = 0; x < scan->Width(); ++x)
        reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride)[x] = 0x010101u * scan->Row(y)[x];
    cairo_surface_mark_dirty(picture);
    cairo_save(cr);
    cairo_scale(cr, kPointsAPixel, kPointsAPixel);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_show_page(cr);
    cairo_surface_destroy(picture);
  }
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  cairo_surface_destroy(pdf);
  return bytes;
}

SetPages FindOnSetPages(const Runtime& runtime, const std::vector<GrayImage>& pages) {
  SetPages found;
  found.leastFoot = std::numeric_limits<int>::max();
  for (size_t i = 0; i < pages.size(); ++i) {
    const ScanLayout set = SegmentScan(runtime, pages[i].View());
    for (const ScanLine& line : set.lines) {
      found.paragraphs += line.paragraphStart;
      for (const PictureBox& w : line.words) found.wordWidths.push_back(w.width);
    }
    if (i + 1 < pages.size())
      found.leastFoot = std::min(
          found.leastFoot, set.lines.empty() ? 0 : set.lines.back().box.y + set.lines.back().box.height);
  }
  return found;
}

size_t WordsInOrder(const std::vector<int>& sourceWidths, const std::vector<int>& foundWidths,
                    int tolerance) {
  size_t inOrder = 0, k = 0, j = 0;
  const auto near = [tolerance](int found, int source) {
    return std::abs(found - source) <= std::max(tolerance, source / 12);
  };
  while (k < sourceWidths.size() && j < foundWidths.size()) {
    const int pair = k + 1 < sourceWidths.size() ? sourceWidths[k] + sourceWidths[k + 1] : 0;
    if (near(foundWidths[j], sourceWidths[k])) {
      ++inOrder, ++k, ++j;
    } else if (foundWidths[j] > pair && foundWidths[j] < pair + 4 * tolerance) {
      inOrder += 2, k += 2, ++j;
    } else if (j + 1 < foundWidths.size() && near(foundWidths[j + 1], sourceWidths[k])) {
      ++j;
    } else {
      ++k;
    }
  }
  return inOrder;
}

double NonWhiteShare(const GrayView& page, const PictureBox& box) {
  size_t grey = 0;
  for (int y = box.y; y < box.y + box.height; ++y)
    for (int x = box.x; x < box.x + box.width; ++x) grey += page.Row(y)[x] != 255;
  return static_cast<double>(grey) / (static_cast<double>(box.width) * box.height);
}

}  // namespace bookloom::test
