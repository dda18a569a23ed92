#include "emf/EmfPlayer.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <variant>

namespace bookloom::emf {

namespace {

constexpr uint32_t kFillWinding = 2;       // the polygon fill mode that is not alternate (1)
constexpr uint32_t kArcClockwise = 2;      // the arc direction that is not counter-clockwise (1)
constexpr size_t kMaxSavedStates = 10000;  // further SaveDC records are passed over
constexpr size_t kMaxObjects = 100000;     // further objects are not created

}  // namespace

EmfPlayer::EmfPlayer(cairo_t* cr, const cairo_matrix_t& deviceToOutput, double devPerMmX, double devPerMmY,
                     int width, int height)
    : cr_(cr),
      deviceToOutput_(deviceToOutput),
      devPerMmX_(devPerMmX),
      devPerMmY_(devPerMmY),
      maxExtent_(4.0 * std::max(width, height)) {}

void EmfPlayer::Play(uint32_t type, ByteReader& r) {
  using Handler = void (EmfPlayer::*)(ByteReader&, uint32_t);
  // The handler of each record type that has one; kExtCreatePen is the highest of them.
  static constexpr auto kHandlers = [] {
    std::array<Handler, kExtCreatePen + 1> handlers{};
    const auto route = [&handlers](std::initializer_list<uint32_t> types, Handler handler) {
      for (const uint32_t t : types) handlers[t] = handler;
    };
    route({kPolyBezier, kPolygon, kPolyline, kPolyBezierTo, kPolylineTo, kPolyBezier16, kPolygon16,
           kPolyline16, kPolyBezierTo16, kPolylineTo16},
          &EmfPlayer::Poly);
    route({kPolyPolyline, kPolyPolygon, kPolyPolyline16, kPolyPolygon16}, &EmfPlayer::PolyPoly);
    route({kPolyDraw, kPolyDraw16}, &EmfPlayer::PolyDraw);
    route({kMoveToEx}, &EmfPlayer::MoveTo);
    route({kLineTo}, &EmfPlayer::LineTo);
    route({kAngleArc}, &EmfPlayer::AngleArc);
    route({kRectangle}, &EmfPlayer::Rectangle);
    route({kEllipse}, &EmfPlayer::Ellipse);
    route({kRoundRect}, &EmfPlayer::RoundRect);
    route({kArc, kChord, kPie, kArcTo}, &EmfPlayer::Arc);
    route({kSetPixelV}, &EmfPlayer::SetPixel);
    route({kSetWindowExtEx, kSetWindowOrgEx, kSetViewportExtEx, kSetViewportOrgEx},
          &EmfPlayer::SetWindowOrViewport);
    route({kScaleViewportExtEx, kScaleWindowExtEx}, &EmfPlayer::ScaleExtent);
    route({kSetWorldTransform, kModifyWorldTransform}, &EmfPlayer::SetWorldTransform);
    route({kSetMapMode, kSetBkMode, kSetPolyFillMode, kSetTextAlign, kSetTextColor, kSetBkColor,
           kSetArcDirection},
          &EmfPlayer::SetMode);
    route({kSaveDc}, &EmfPlayer::SaveDc);
    route({kRestoreDc}, &EmfPlayer::RestoreDc);
    route({kCreatePen, kExtCreatePen, kCreateBrushIndirect, kCreateMonoBrush, kCreateDibPatternBrushPt,
           kExtCreateFontIndirectW},
          &EmfPlayer::CreateObject);
    route({kSelectObject}, &EmfPlayer::SelectObject);
    route({kDeleteObject}, &EmfPlayer::DeleteObject);
    route({kBeginPath, kAbortPath}, &EmfPlayer::ResetPath);
    route({kEndPath}, &EmfPlayer::EndPath);
    route({kCloseFigure}, &EmfPlayer::CloseFigure);
    route({kFillPath, kStrokePath, kStrokeAndFillPath}, &EmfPlayer::PaintPath);
    route({kExcludeClipRect, kIntersectClipRect}, &EmfPlayer::ClipRect);
    route({kExtSelectClipRgn}, &EmfPlayer::SelectClipRegion);
    route({kSelectClipPath}, &EmfPlayer::SelectClipPath);
    route({kFillRgn, kPaintRgn}, &EmfPlayer::PaintRegion);
    route({kExtTextOutA, kExtTextOutW}, &EmfPlayer::Text);
    route({kSetDiBitsToDevice, kStretchDiBits}, &EmfPlayer::DibBits);
    route({kBitBlt, kStretchBlt}, &EmfPlayer::BlockTransfer);
    return handlers;
  }();
  if (type < kHandlers.size() && kHandlers[type]) (this->*kHandlers[type])(r, type);
}

// The records that set a single mode or colour.
void EmfPlayer::SetMode(ByteReader& r, uint32_t type) {
  const uint32_t value = r.U32LE();
  switch (type) {
    case kSetMapMode:
      dc_.mapMode = value;
      break;
    case kSetBkMode:
      dc_.bkMode = value;
      break;
    case kSetPolyFillMode:
      dc_.winding = value == kFillWinding;
      break;
    case kSetTextAlign:
      dc_.textAlign = value;
      break;
    case kSetTextColor:
      dc_.textColor = ColorRef(value);
      break;
    case kSetBkColor:
      dc_.bkColor = ColorRef(value);
      break;
    case kSetArcDirection:
      dc_.clockwise = value == kArcClockwise;
      break;
  }
}

void EmfPlayer::SaveDc(ByteReader&, uint32_t) {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
}

void EmfPlayer::RestoreDc(ByteReader& r, uint32_t) {
  const int32_t n = r.I32LE();
  // A negative number counts back from the latest saved state; a positive one names a level.
  const int64_t keep = n < 0 ? int64_t(saved_.size()) + n : int64_t(n) - 1;
  if (keep < 0 || keep >= int64_t(saved_.size())) return;
  dc_ = saved_[keep];
  saved_.resize(keep);
  clipDirty_ = true;
}

void EmfPlayer::CreateObject(ByteReader& r, uint32_t type) {
  if (objects_.size() >= kMaxObjects) return;
  const uint32_t index = r.U32LE();
  objects_[index] = ReadObject(type, r, patternPixels_);
}

void EmfPlayer::SelectObject(ByteReader& r, uint32_t) {
  const uint32_t index = r.U32LE();
  std::optional<GdiObject> object =
      (index & kStockObject) ? StockObject(index & ~kStockObject) : std::nullopt;
  if (!(index & kStockObject))
    if (auto found = objects_.find(index); found != objects_.end()) object = found->second;
  if (!object) return;
  if (auto* pen = std::get_if<Pen>(&*object)) dc_.pen = *pen;
  if (auto* brush = std::get_if<Brush>(&*object)) dc_.brush = *brush;
  if (auto* font = std::get_if<Font>(&*object)) dc_.font = *font;
}

void EmfPlayer::DeleteObject(ByteReader& r, uint32_t) { objects_.erase(r.U32LE()); }

}  // namespace bookloom::emf
