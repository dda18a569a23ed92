// The title-cover module: sets a book's author, title and series on a page in DejaVu (or whatever
// fontconfig offers with the letters needed), each text wrapped and sized to fit its part of the
// page, between a frame and two rules. Loaded by the program on first use (see
// pictures/TitleCoverPlugin.h).
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "pictures/TitleCoverPlugin.h"

namespace {

using bookloom::TitleCoverRequest;

struct LayoutDeleter {
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutDeleter>;

struct FontDeleter {
  void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};

// How one text is set: its typeface, and the largest and smallest letter size (pixels) to try.
struct TextStyle {
  const char* family;
  PangoWeight weight;
  PangoStyle style;
  double largest, smallest;
};

constexpr TextStyle kAuthorStyle{"DejaVu Sans", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL, 34, 14};
constexpr TextStyle kTitleStyle{"DejaVu Serif", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL, 76, 16};
constexpr TextStyle kSeriesStyle{"DejaVu Serif", PANGO_WEIGHT_NORMAL, PANGO_STYLE_ITALIC, 26, 12};

Layout MakeLayout(cairo_t* cr, const char* text, const TextStyle& style, double size, int width) {
  Layout layout(pango_cairo_create_layout(cr));
  std::unique_ptr<PangoFontDescription, FontDeleter> font(pango_font_description_new());
  pango_font_description_set_family(font.get(), style.family);
  pango_font_description_set_weight(font.get(), style.weight);
  pango_font_description_set_style(font.get(), style.style);
  pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), text, -1);
  if (width > 0) {
    pango_layout_set_width(layout.get(), width * PANGO_SCALE);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
  }
  return layout;
}

int PixelHeight(PangoLayout* layout) {
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  return height;
}

// Whether every word of the text fits the width on a line of its own at this size, so that no word is
// broken.
bool WordsFit(cairo_t* cr, const std::string& text, const TextStyle& style, double size, int width) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(" \n\t", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      const Layout word = MakeLayout(cr, text.substr(start, end - start).c_str(), style, size, 0);
      int w = 0, h = 0;
      pango_layout_get_pixel_size(word.get(), &w, &h);
      if (w > width) return false;
    }
    start = end + 1;
  }
  return true;
}

// The text set in the largest size at which it fits `width` × `height` without a broken word. A word
// too long for the line at any readable size is broken instead: the text is then set at the largest
// size that fits, unless keeping words whole costs no more than a third of that size.
Layout FitText(cairo_t* cr, const char* text, const TextStyle& style, int width, int height) {
  double fitting = 0;  // the largest size that fits, words broken or not
  for (double size = style.largest; size > style.smallest; size *= 0.92) {
    Layout layout = MakeLayout(cr, text, style, size, width);
    if (PixelHeight(layout.get()) > height) continue;
    if (fitting == 0) fitting = size;
    if (WordsFit(cr, text, style, size, width)) return layout;
    if (size < fitting * 2 / 3) return MakeLayout(cr, text, style, fitting, width);
  }
  return MakeLayout(cr, text, style, fitting > 0 ? fitting : style.smallest, width);
}

void Show(cairo_t* cr, PangoLayout* layout, double left, double top) {
  cairo_move_to(cr, left, top);
  pango_cairo_show_layout(cr, layout);
}

void Rule(cairo_t* cr, double centre, double y, double length) {
  cairo_rectangle(cr, std::round(centre - length / 2), std::round(y), std::round(length), 2);
  cairo_fill(cr);
}

// Draws the cover in black on the transparent surface: the frame, the author near the top, the title
// in the middle between two rules, the series below it.
void DrawCover(cairo_t* cr, const TitleCoverRequest& r) {
  const double w = r.width, h = r.height;
  const double inset = r.width / 25;
  // Lines of an odd width on the middles of pixels, so that they stay sharp in black and white.
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_set_line_width(cr, 3);
  cairo_rectangle(cr, inset + 0.5, inset + 0.5, w - 2 * inset - 1, h - 2 * inset - 1);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, inset + 8.5, inset + 8.5, w - 2 * inset - 17, h - 2 * inset - 17);
  cairo_stroke(cr);

  const int textWidth = static_cast<int>(w - 2 * (inset + 40));
  const double left = inset + 40;
  const double gap = h / 25;
  double authorBottom = h * 0.10;
  if (*r.author) {
    const Layout author = FitText(cr, r.author, kAuthorStyle, textWidth, static_cast<int>(h * 0.16));
    Show(cr, author.get(), left, h * 0.10);
    authorBottom = h * 0.10 + PixelHeight(author.get());
  }
  Layout series;
  int seriesHeight = 0;
  if (*r.series) {
    series = FitText(cr, r.series, kSeriesStyle, textWidth, static_cast<int>(h * 0.08));
    seriesHeight = PixelHeight(series.get()) + static_cast<int>(gap);
  }
  const double titleRoom = h * 0.86 - authorBottom - 2 * gap - seriesHeight;
  const Layout title = FitText(cr, r.title, kTitleStyle, textWidth, static_cast<int>(std::min(titleRoom, h * 0.45)));
  const int titleHeight = PixelHeight(title.get());
  // The title's middle at 45% of the page, lowered where the author's lines reach down to it.
  const double titleTop = std::max(h * 0.45 - titleHeight / 2.0, authorBottom + 2 * gap);
  Rule(cr, w / 2, titleTop - gap, w / 5);
  Show(cr, title.get(), left, titleTop);
  Rule(cr, w / 2, titleTop + titleHeight + gap, w / 5);
  if (series) Show(cr, series.get(), left, titleTop + titleHeight + 2 * gap);
}

// Pango's font maps are made per thread, fontconfig's configuration is shared: one cover at a time.
std::mutex drawing;

bool Draw(TitleCoverRequest* request) {
  const std::lock_guard lock(drawing);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, request->width, request->height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    std::snprintf(request->why, sizeof request->why, "cairo cannot make a page of %d x %d pixels: %s",
                  request->width, request->height, cairo_status_to_string(cairo_surface_status(surface)));
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  DrawCover(cr, *request);
  const cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (status == CAIRO_STATUS_SUCCESS) {
    const uint8_t* alpha = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < request->height; ++y)
      for (int x = 0; x < request->width; ++x)
        request->pixels[static_cast<size_t>(y) * request->width + x] = static_cast<uint8_t>(255 - alpha[y * stride + x]);
  } else {
    std::snprintf(request->why, sizeof request->why, "cairo cannot draw the cover: %s",
                  cairo_status_to_string(status));
  }
  cairo_surface_destroy(surface);
  return status == CAIRO_STATUS_SUCCESS;
}

constexpr bookloom::TitleCoverFunctions kFunctions{Draw};

}  // namespace

extern "C" __attribute__((visibility("default"))) const bookloom::TitleCoverFunctions* BookloomCoverStart(
    int version) {
  return version == bookloom::kTitleCoverPluginVersion ? &kFunctions : nullptr;
}
