// Text records: the characters in the selected font through cairo's font selection (fontconfig),
// placed, aligned and spaced as the record says.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "emf/EmfPlayer.h"
#include "platform/Utf.h"

namespace bookloom::emf {

namespace {

// Text alignment: where the reference point lies on the text, and whether the current position
// serves as the reference point and moves past the text.
constexpr uint32_t kAlignUpdateCp = 1, kAlignRight = 2, kAlignCenter = 6, kAlignBottom = 8,
                   kAlignBaseline = 24;
// Options of text records: an opaque background in the rectangle, clipping to it, glyph indices in
// place of characters, and a vertical advance after each horizontal one.
constexpr uint32_t kTextOpaque = 2, kTextClipped = 4, kTextGlyphIndex = 0x10, kTextPdy = 0x2000;

// What a text record holds.
struct TextRecord {
  Point reference;
  uint32_t options;
  int32_t rect[4];  // the rectangle of kTextOpaque and kTextClipped, its edges in any order
  std::u16string text;
  std::vector<double> dx;  // the advance after each character, in logical units; none: the font's own
};

// A byte of 8-bit text as the Western code page reads it (0x80 to 0x9F differ from Latin-1).
char16_t AnsiChar(uint8_t c) {
  static const char16_t k80to9F[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  return c >= 0x80 && c <= 0x9F ? k80to9F[c - 0x80] : c;
}

// Reads a text record of 16-bit characters (`wide`) or of 8-bit ones.
TextRecord ReadTextRecord(ByteReader& r, bool wide) {
  TextRecord t;
  r.Skip(16 + 12);  // bounds, graphics mode and scales
  t.reference = ReadPoint(r);
  const uint32_t chars = r.U32LE(), offString = r.U32LE();
  t.options = r.U32LE();
  for (auto& v : t.rect) v = r.I32LE();
  const uint32_t offDx = r.U32LE();
  if (chars > r.Size()) r.Fail("a text record holds fewer characters than it counts");
  r.Seek(offString);
  for (uint32_t i = 0; i < chars; ++i) t.text += wide ? static_cast<char16_t>(r.U16LE()) : AnsiChar(r.U8());
  if (offDx != 0 && chars > 0) {
    r.Seek(offDx);
    for (uint32_t i = 0; i < chars; ++i) {
      t.dx.push_back(r.I32LE());
      if (t.options & kTextPdy) r.I32LE();
    }
  }
  return t;
}

// The width in output pixels that the record's advances give the text, `xScale` output pixels to a
// logical unit. A substitute font wider than the file's (`fontAdvance` against an em of `em`
// pixels) has its glyphs narrowed to it.
double SpacedAdvance(cairo_t* cr, const std::vector<double>& dx, double xScale, double em,
                     double fontAdvance) {
  double advance = 0;
  for (double d : dx) advance += d * xScale;
  if (advance > 0 && fontAdvance > advance * 1.05) {
    cairo_matrix_t fm;
    cairo_matrix_init_scale(&fm, em * advance / fontAdvance, em);
    cairo_set_font_matrix(cr, &fm);
  }
  return advance;
}

// Shows each character at the place the record's advances give it, from (x, y).
void ShowSpaced(cairo_t* cr, const TextRecord& t, double x, double y, double xScale) {
  for (size_t i = 0; i < t.text.size(); ++i) {
    const bool pair = i + 1 < t.text.size() && t.text[i] >= 0xD800 && t.text[i] < 0xDC00;
    const std::string one = Utf16ToUtf8(std::u16string_view(t.text).substr(i, pair ? 2 : 1));
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, one.c_str());
    x += t.dx[i] * xScale;
    if (pair) x += t.dx[++i] * xScale;
  }
}

// Shows the text in the font set on `cr`, aligned on the origin of `cr` as `dc` says and over its
// background when that is painted; returns its width in output pixels.
double ShowAligned(cairo_t* cr, const TextRecord& t, const DcState& dc, double em, double xScale) {
  const std::string utf8 = Utf16ToUtf8(t.text);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr, utf8.c_str(), &te);
  const double advance = t.dx.empty() ? te.x_advance : SpacedAdvance(cr, t.dx, xScale, em, te.x_advance);
  const uint32_t align = dc.textAlign;
  const double x0 = (align & kAlignCenter) == kAlignCenter ? -advance / 2
                    : (align & kAlignRight)                ? -advance
                                                           : 0;
  const double y0 = (align & kAlignBaseline) == kAlignBaseline ? 0
                    : (align & kAlignBottom)                   ? -fe.descent
                                                               : fe.ascent;
  if (dc.bkMode == kBackgroundOpaque && !(t.options & kTextOpaque)) {
    cairo_rectangle(cr, x0, y0 - fe.ascent, advance, fe.ascent + fe.descent);
    cairo_set_source_rgb(cr, dc.bkColor.r, dc.bkColor.g, dc.bkColor.b);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, dc.textColor.r, dc.textColor.g, dc.textColor.b);
  if (t.dx.empty()) {
    cairo_move_to(cr, x0, y0);
    cairo_show_text(cr, utf8.c_str());
  } else {
    ShowSpaced(cr, t, x0, y0, xScale);
  }
  return advance;
}

}  // namespace

// ExtTextOutA and ExtTextOutW.
void EmfPlayer::Text(ByteReader& r, uint32_t type) {
  const TextRecord t = ReadTextRecord(r, type == kExtTextOutW);
  const int32_t* rect = t.rect;
  if (!InRange({t.reference,
                dc_.position,
                {double(rect[0]), double(rect[1])},
                {double(rect[2]), double(rect[3])},
                {double(rect[0]), double(rect[3])},
                {double(rect[2]), double(rect[1])}}))
    return;
  ApplyClip();
  if (!UseLogical()) return;
  const cairo_matrix_t m = LogicalToOutput();
  cairo_identity_matrix(cr_);
  if (t.options & kTextOpaque) {
    cairo_new_path(cr_);
    AddLogicalRect(rect);
    cairo_set_source_rgb(cr_, dc_.bkColor.r, dc_.bkColor.g, dc_.bkColor.b);
    cairo_fill(cr_);
  }
  if (t.text.empty() || (t.options & kTextGlyphIndex)) return;

  const Font& font = dc_.font;
  const double yScale = std::hypot(m.xy, m.yy), xScale = std::hypot(m.xx, m.yx);
  double em = font.height < 0 ? -double(font.height) : font.height > 0 ? font.height * 0.8 : 12;
  em *= yScale;
  if (!(em >= 0.5) || em > maxExtent_) return;
  const Point at = ToOutput((dc_.textAlign & kAlignUpdateCp) ? dc_.position : t.reference);
  const double angle = std::atan2(m.yx, m.xx) - font.escapement * std::numbers::pi / 1800;

  cairo_save(cr_);
  if (t.options & kTextClipped) {
    cairo_new_path(cr_);
    AddLogicalRect(rect);
    cairo_clip(cr_);
  }
  cairo_select_font_face(cr_, font.face.empty() ? "sans-serif" : font.face.c_str(),
                         font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, em);
  cairo_translate(cr_, at.x, at.y);
  cairo_rotate(cr_, angle);
  const double advance = ShowAligned(cr_, t, dc_, em, xScale);
  cairo_restore(cr_);
  if (dc_.textAlign & kAlignUpdateCp) dc_.position.x += advance / std::max(xScale, 1e-9);
}

// Adds a rectangle given in logical units, its edges in any order, to cairo's path in output
// pixels.
void EmfPlayer::AddLogicalRect(const int32_t rect[4]) {
  UseLogical();
  cairo_rectangle(cr_, std::min(rect[0], rect[2]), std::min(rect[1], rect[3]),
                  std::fabs(double(rect[2]) - rect[0]), std::fabs(double(rect[3]) - rect[1]));
  cairo_identity_matrix(cr_);
}

}  // namespace bookloom::emf
