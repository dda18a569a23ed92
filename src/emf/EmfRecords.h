// Metafile records: their type codes, the walk from one to the next, and the points they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "decoders/ByteReader.h"

namespace bookloom::emf {

// Record types.
inline constexpr uint32_t kHeader = 1;
inline constexpr uint32_t kPolyBezier = 2;
inline constexpr uint32_t kPolygon = 3;
inline constexpr uint32_t kPolyline = 4;
inline constexpr uint32_t kPolyBezierTo = 5;
inline constexpr uint32_t kPolylineTo = 6;
inline constexpr uint32_t kPolyPolyline = 7;
inline constexpr uint32_t kPolyPolygon = 8;
inline constexpr uint32_t kSetWindowExtEx = 9;
inline constexpr uint32_t kSetWindowOrgEx = 10;
inline constexpr uint32_t kSetViewportExtEx = 11;
inline constexpr uint32_t kSetViewportOrgEx = 12;
inline constexpr uint32_t kEof = 14;
inline constexpr uint32_t kSetPixelV = 15;
inline constexpr uint32_t kSetMapMode = 17;
inline constexpr uint32_t kSetBkMode = 18;
inline constexpr uint32_t kSetPolyFillMode = 19;
inline constexpr uint32_t kSetTextAlign = 22;
inline constexpr uint32_t kSetTextColor = 24;
inline constexpr uint32_t kSetBkColor = 25;
inline constexpr uint32_t kMoveToEx = 27;
inline constexpr uint32_t kExcludeClipRect = 29;
inline constexpr uint32_t kIntersectClipRect = 30;
inline constexpr uint32_t kScaleViewportExtEx = 31;
inline constexpr uint32_t kScaleWindowExtEx = 32;
inline constexpr uint32_t kSaveDc = 33;
inline constexpr uint32_t kRestoreDc = 34;
inline constexpr uint32_t kSetWorldTransform = 35;
inline constexpr uint32_t kModifyWorldTransform = 36;
inline constexpr uint32_t kSelectObject = 37;
inline constexpr uint32_t kCreatePen = 38;
inline constexpr uint32_t kCreateBrushIndirect = 39;
inline constexpr uint32_t kDeleteObject = 40;
inline constexpr uint32_t kAngleArc = 41;
inline constexpr uint32_t kEllipse = 42;
inline constexpr uint32_t kRectangle = 43;
inline constexpr uint32_t kRoundRect = 44;
inline constexpr uint32_t kArc = 45;
inline constexpr uint32_t kChord = 46;
inline constexpr uint32_t kPie = 47;
inline constexpr uint32_t kLineTo = 54;
inline constexpr uint32_t kArcTo = 55;
inline constexpr uint32_t kPolyDraw = 56;
inline constexpr uint32_t kSetArcDirection = 57;
inline constexpr uint32_t kBeginPath = 59;
inline constexpr uint32_t kEndPath = 60;
inline constexpr uint32_t kCloseFigure = 61;
inline constexpr uint32_t kFillPath = 62;
inline constexpr uint32_t kStrokeAndFillPath = 63;
inline constexpr uint32_t kStrokePath = 64;
inline constexpr uint32_t kSelectClipPath = 67;
inline constexpr uint32_t kAbortPath = 68;
inline constexpr uint32_t kFillRgn = 71;
inline constexpr uint32_t kPaintRgn = 74;
inline constexpr uint32_t kExtSelectClipRgn = 75;
inline constexpr uint32_t kBitBlt = 76;
inline constexpr uint32_t kStretchBlt = 77;
inline constexpr uint32_t kSetDiBitsToDevice = 80;
inline constexpr uint32_t kStretchDiBits = 81;
inline constexpr uint32_t kExtCreateFontIndirectW = 82;
inline constexpr uint32_t kExtTextOutA = 83;
inline constexpr uint32_t kExtTextOutW = 84;
inline constexpr uint32_t kPolyBezier16 = 85;
inline constexpr uint32_t kPolygon16 = 86;
inline constexpr uint32_t kPolyline16 = 87;
inline constexpr uint32_t kPolyBezierTo16 = 88;
inline constexpr uint32_t kPolylineTo16 = 89;
inline constexpr uint32_t kPolyPolyline16 = 90;
inline constexpr uint32_t kPolyPolygon16 = 91;
inline constexpr uint32_t kPolyDraw16 = 92;
inline constexpr uint32_t kCreateMonoBrush = 93;
inline constexpr uint32_t kCreateDibPatternBrushPt = 94;
inline constexpr uint32_t kExtCreatePen = 95;

// Coordinates as records hold them: logical units, device pixels or bitmap pixels.
struct Point {
  double x, y;
};
struct Rect {
  double x, y, w, h;

  std::vector<Point> Corners() const { return {{x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}}; }
};

// Hands each record from position `first` of `in` on to `play`, as its type and a reader over the
// record placed after type and size, up to and with the end record. Raises when a record's size is
// wrong, when the records end before the end record and, naming the record, when `play` raises.
void ForEachRecord(ByteReader& in, size_t first, const std::function<void(uint32_t, ByteReader&)>& play);

// A point of two 32-bit coordinates, or of two 16-bit ones in the records whose names end in 16.
Point ReadPoint(ByteReader& r, bool shortPoints = false);
// `count` points; raises when the record holds fewer.
std::vector<Point> ReadPoints(ByteReader& r, uint32_t count, bool shortPoints);

}  // namespace bookloom::emf
