#include "emf/EmfObjects.h"

#include <algorithm>
#include <cmath>

#include "emf/EmfRecords.h"
#include "platform/Utf.h"

namespace bookloom::emf {

namespace {

// The stock objects, by their index.
constexpr uint32_t kWhiteBrush = 0, kLightGrayBrush = 1, kGrayBrush = 2, kDarkGrayBrush = 3, kBlackBrush = 4,
                   kNullBrush = 5, kWhitePen = 6, kBlackPen = 7, kNullPen = 8, kOemFixedFont = 10,
                   kAnsiFixedFont = 11, kAnsiVarFont = 12, kSystemFont = 13, kDeviceDefaultFont = 14,
                   kSystemFixedFont = 16, kDefaultGuiFont = 17;

constexpr int64_t kMaxBrushPixels = 1 << 20;     // in one brush bitmap
constexpr int64_t kMaxPatternPixels = 64 << 20;  // in all brush bitmaps together

Pen ReadPen(ByteReader& r) {
  const uint32_t style = r.U32LE();
  const int32_t width = r.I32LE();
  r.I32LE();
  return Pen{style, std::fabs(double(width)), ColorRef(r.U32LE())};
}

Pen ReadExtendedPen(ByteReader& r) {
  r.Skip(16);  // the brush bitmap of the pen, not used
  const uint32_t style = r.U32LE(), width = r.U32LE(), brushStyle = r.U32LE();
  const Color color = ColorRef(r.U32LE());
  return Pen{brushStyle == kBrushNull ? kPenNull : style, double(width), color};
}

Brush ReadBrush(ByteReader& r) {
  const uint32_t style = r.U32LE();
  const Color color = ColorRef(r.U32LE());
  const uint32_t hatch = r.U32LE();
  return Brush{style == kBrushHatched || style == kBrushNull ? style : kBrushSolid, color, hatch, nullptr};
}

Brush ReadPatternBrush(ByteReader& r, int64_t& patternPixels) {
  r.U32LE();  // usage
  const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
  if (offBmi > r.Size() || cbBmi > r.Size() - offBmi || offBits > r.Size() || cbBits > r.Size() - offBits)
    r.Fail("a brush bitmap lies outside its record");
  auto img = DecodeDib(r.All().substr(offBmi, cbBmi), r.All().substr(offBits, cbBits),
                       std::min<int64_t>(kMaxBrushPixels, kMaxPatternPixels - patternPixels));
  if (img) patternPixels += int64_t(img->width) * img->height;
  return img ? Brush{kBrushPattern, {}, 0, std::make_shared<DibImage>(std::move(*img))}
             : Brush{kBrushSolid, {0.5, 0.5, 0.5}, 0, nullptr};
}

Font ReadFont(ByteReader& r) {
  Font f;
  f.height = r.I32LE();
  r.I32LE();
  f.escapement = r.I32LE();
  r.I32LE();
  f.weight = r.I32LE();
  f.italic = r.U8() != 0;
  r.Skip(7);
  std::u16string face;
  for (int i = 0; i < 32; ++i) {
    const char16_t c = static_cast<char16_t>(r.U16LE());
    if (c == 0) break;
    face += c;
  }
  f.face = Utf16ToUtf8(face);
  return f;
}

}  // namespace

Color ColorRef(uint32_t c) {
  return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

std::optional<GdiObject> StockObject(uint32_t index) {
  auto brush = [](double grey) { return Brush{kBrushSolid, {grey, grey, grey}, 0, nullptr}; };
  switch (index) {
    case kWhiteBrush:
      return brush(1);
    case kLightGrayBrush:
      return brush(0.75);
    case kGrayBrush:
      return brush(0.5);
    case kDarkGrayBrush:
      return brush(0.25);
    case kBlackBrush:
      return brush(0);
    case kNullBrush:
      return Brush{kBrushNull, {}, 0, nullptr};
    case kWhitePen:
      return Pen{kPenSolid, 0, {1, 1, 1}};
    case kBlackPen:
      return Pen{kPenSolid, 0, {}};
    case kNullPen:
      return Pen{kPenNull, 0, {}};
    case kOemFixedFont:
    case kAnsiFixedFont:
    case kSystemFixedFont:
      return Font{0, 0, 400, false, "monospace"};
    case kAnsiVarFont:
    case kSystemFont:
    case kDeviceDefaultFont:
    case kDefaultGuiFont:
      return Font{};
    default:
      return std::nullopt;
  }
}

GdiObject ReadObject(uint32_t type, ByteReader& r, int64_t& patternPixels) {
  switch (type) {
    case kCreatePen:
      return ReadPen(r);
    case kExtCreatePen:
      return ReadExtendedPen(r);
    case kCreateBrushIndirect:
      return ReadBrush(r);
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt:
      return ReadPatternBrush(r, patternPixels);
    default:  // kExtCreateFontIndirectW
      return ReadFont(r);
  }
}

}  // namespace bookloom::emf
