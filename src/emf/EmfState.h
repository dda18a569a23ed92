// What metafile records set and SaveDC keeps: mapping, selected objects, colours, modes and clipping.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "emf/CairoHandles.h"
#include "emf/EmfObjects.h"
#include "emf/EmfRecords.h"

namespace bookloom::emf {

// Map modes: how logical units become device pixels.
inline constexpr uint32_t kMapText = 1, kMapLoMetric = 2, kMapHiMetric = 3, kMapLoEnglish = 4,
                          kMapHiEnglish = 5, kMapTwips = 6, kMapIsotropic = 7, kMapAnisotropic = 8;
// The background mode that paints backgrounds; the other one, 1, leaves them unpainted.
inline constexpr uint32_t kBackgroundOpaque = 2;

// One part of the clipping region: the picture is clipped to the inside of every part.
struct ClipPart {
  PathPtr path;  // in output pixels
  cairo_fill_rule_t rule;
};

// Everything SaveDC keeps.
struct DcState {
  uint32_t mapMode = kMapText;
  Point windowOrg{0, 0}, windowExt{1, 1};
  Point viewportOrg{0, 0}, viewportExt{1, 1};
  cairo_matrix_t world{1, 0, 0, 1, 0, 0};
  Pen pen;
  Brush brush;
  Font font;
  Color textColor, bkColor{1, 1, 1};
  uint32_t bkMode = kBackgroundOpaque;
  uint32_t textAlign = 0;
  bool winding = false;
  bool clockwise = false;
  Point position{0, 0};  // the current position, in logical units
  std::vector<ClipPart> clip;
};

}  // namespace bookloom::emf
