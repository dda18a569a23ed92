// The player of metafile records: each sets the player's state or draws on a cairo context.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "decoders/ByteReader.h"
#include "emf/CairoHandles.h"
#include "emf/EmfObjects.h"
#include "emf/EmfRecords.h"
#include "emf/EmfState.h"

namespace bookloom::emf {

class EmfPlayer {
 public:
  // Draws on `cr`, which outlives the player. `deviceToOutput` takes the pixels of the device the
  // picture was made for to output pixels; that device has `devPerMmX` by `devPerMmY` pixels per
  // millimetre. The output is `width` x `height` pixels.
  EmfPlayer(cairo_t* cr, const cairo_matrix_t& deviceToOutput, double devPerMmX, double devPerMmY, int width,
            int height);

  // Plays a record of `type`; `r` reads the record from after its type and size. Records without an
  // effect on the picture, and those not known, are passed over.
  void Play(uint32_t type, ByteReader& r);

 private:
  // Each record that has an effect is played by one of the handlers below, which take the record
  // and its type; the files that define them are named beside them.

  // Modes, colours, saved states and objects (EmfPlayer.cpp).
  void SetMode(ByteReader& r, uint32_t type);
  void SaveDc(ByteReader& r, uint32_t type);
  void RestoreDc(ByteReader& r, uint32_t type);
  void CreateObject(ByteReader& r, uint32_t type);
  void SelectObject(ByteReader& r, uint32_t type);
  void DeleteObject(ByteReader& r, uint32_t type);

  // From logical units to output pixels (EmfTransforms.cpp).
  cairo_matrix_t PageToDevice() const;
  cairo_matrix_t LogicalToOutput() const;
  bool UseLogical();
  double LogicalScale() const;
  Point ToOutput(Point logical) const;
  void SetWindowOrViewport(ByteReader& r, uint32_t type);
  void ScaleExtent(ByteReader& r, uint32_t type);
  void SetWorldTransform(ByteReader& r, uint32_t type);

  // Filling with the brush and outlining with the pen (EmfPaint.cpp).
  bool InRange(const std::vector<Point>& logical) const;
  void Draw(const std::vector<Point>& extent, const std::function<void()>& addPath, bool fill, bool stroke);
  void FillAndStroke(bool fill, bool stroke);
  void SetBrushSource(const Brush& brush);
  void SetPen();

  // Figures (EmfShapes.cpp).
  void Poly(ByteReader& r, uint32_t type);
  void PolyPoly(ByteReader& r, uint32_t type);
  void PolyDraw(ByteReader& r, uint32_t type);
  void MoveTo(ByteReader& r, uint32_t type);
  void LineTo(ByteReader& r, uint32_t type);
  void AngleArc(ByteReader& r, uint32_t type);
  void Rectangle(ByteReader& r, uint32_t type);
  void Ellipse(ByteReader& r, uint32_t type);
  void RoundRect(ByteReader& r, uint32_t type);
  void Arc(ByteReader& r, uint32_t type);
  void SetPixel(ByteReader& r, uint32_t type);
  void AddArc(const Rect& box, Point start, Point end, bool connect);

  // Path brackets (EmfPaths.cpp).
  void ResetPath(ByteReader& r, uint32_t type);
  void EndPath(ByteReader& r, uint32_t type);
  void CloseFigure(ByteReader& r, uint32_t type);
  void PaintPath(ByteReader& r, uint32_t type);

  // The clipping region and regions (EmfRegions.cpp).
  void ApplyClip();
  void AddClip(PathPtr path, cairo_fill_rule_t rule, uint32_t mode);
  PathPtr RegionPath(ByteReader& r, size_t size, bool deviceUnits);
  void ClipRect(ByteReader& r, uint32_t type);
  void SelectClipRegion(ByteReader& r, uint32_t type);
  void SelectClipPath(ByteReader& r, uint32_t type);
  void PaintRegion(ByteReader& r, uint32_t type);

  // Text (EmfText.cpp).
  void Text(ByteReader& r, uint32_t type);
  void AddLogicalRect(const int32_t rect[4]);

  // Bitmaps (EmfBitmaps.cpp).
  void DibBits(ByteReader& r, uint32_t type);
  void BlockTransfer(ByteReader& r, uint32_t type);
  void DrawDib(std::string_view info, std::string_view bits, const Rect& to, Rect from, uint32_t rop);

  // The largest output coordinate that cairo's fixed-point numbers still hold, with room to spare:
  // figures that reach beyond it are left out rather than drawn wrong.
  static constexpr double kCoordinateLimit = 1 << 22;

  cairo_t* cr_;
  cairo_matrix_t deviceToOutput_;
  double devPerMmX_, devPerMmY_;
  double maxExtent_;  // the largest pen width, font size and so on, in output pixels
  DcState dc_;
  std::vector<DcState> saved_;
  std::map<uint32_t, GdiObject> objects_;
  bool inPath_ = false;
  PathPtr path_;            // the path of the last path bracket, until it is used
  bool clipDirty_ = false;  // whether cairo's clip is yet to be set from dc_.clip
  int64_t patternPixels_ = 0;
};

}  // namespace bookloom::emf
