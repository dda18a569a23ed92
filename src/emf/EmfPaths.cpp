// Path brackets: the figures between BeginPath and EndPath make a path, which later records fill,
// outline or clip to.
#include "emf/EmfPlayer.h"

namespace bookloom::emf {

// BeginPath opens a bracket, AbortPath closes it; either drops the path made so far.
void EmfPlayer::ResetPath(ByteReader&, uint32_t type) {
  inPath_ = type == kBeginPath;
  path_.reset();
  cairo_new_path(cr_);
}

void EmfPlayer::EndPath(ByteReader&, uint32_t) {
  if (!inPath_) return;
  inPath_ = false;
  path_ = CopyPath(cr_);
  cairo_new_path(cr_);
}

void EmfPlayer::CloseFigure(ByteReader&, uint32_t) {
  if (inPath_) cairo_close_path(cr_);
}

// Fills the path, outlines it or both; it is used up.
void EmfPlayer::PaintPath(ByteReader&, uint32_t type) {
  if (!path_ || inPath_) return;
  ApplyClip();
  cairo_new_path(cr_);
  cairo_append_path(cr_, path_.get());
  FillAndStroke(type != kStrokePath, type != kFillPath);
  path_.reset();
}

}  // namespace bookloom::emf
