// The drawing objects of metafiles: pens, brushes and fonts, as records create them or stock ones.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "decoders/ByteReader.h"
#include "emf/DibPixels.h"

namespace bookloom::emf {

// Brush styles, and the hatches of hatched brushes.
inline constexpr uint32_t kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3;
inline constexpr uint32_t kHatchHorizontal = 0, kHatchVertical = 1, kHatchForwardDiagonal = 2,
                          kHatchBackwardDiagonal = 3, kHatchCross = 4, kHatchDiagonalCross = 5;
// Pen styles: the line style in the lowest four bits, the end cap and the join above them.
inline constexpr uint32_t kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4,
                          kPenNull = 5;
inline constexpr uint32_t kPenStyleMask = 0xF, kPenEndCapMask = 0xF00, kPenJoinMask = 0xF000;
inline constexpr uint32_t kPenEndCapSquare = 0x100, kPenEndCapFlat = 0x200, kPenJoinBevel = 0x1000,
                          kPenJoinMiter = 0x2000;
// The bit of an object index that names a stock object.
inline constexpr uint32_t kStockObject = 0x80000000u;

struct Color {
  double r = 0, g = 0, b = 0;
};
// A colour as records hold it: red in the lowest byte, then green and blue.
Color ColorRef(uint32_t c);

struct Pen {
  uint32_t style = kPenSolid;
  double width = 0;  // logical units; 0 is one pixel
  Color color;
};
struct Brush {
  uint32_t style = kBrushSolid;
  Color color{1, 1, 1};
  uint32_t hatch = 0;
  std::shared_ptr<DibImage> pattern;
};
struct Font {
  int32_t height = 0, escapement = 0, weight = 400;
  bool italic = false;
  std::string face;
};
using GdiObject = std::variant<Pen, Brush, Font>;

// The stock object of an index with the stock bit cleared; nothing for an index that names none.
std::optional<GdiObject> StockObject(uint32_t index);

// The object that a record of `type` creates (kCreatePen, kExtCreatePen, kCreateBrushIndirect,
// kCreateMonoBrush, kCreateDibPatternBrushPt or kExtCreateFontIndirectW), read after its object
// index. `patternPixels` counts the pixels of the brush bitmaps read so far: a bitmap beyond their
// allowance, too large for a brush or not understood makes a grey brush.
GdiObject ReadObject(uint32_t type, ByteReader& r, int64_t& patternPixels);

}  // namespace bookloom::emf
