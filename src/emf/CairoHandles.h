// Owning handles of the cairo objects the metafile player makes, released however drawing ends.
#pragma once

#include <cairo.h>

#include <memory>

namespace bookloom::emf {

// Releases a cairo object with the function cairo has for its kind.
template <auto release>
struct CairoRelease {
  template <typename T>
  void operator()(T* object) const {
    release(object);
  }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoRelease<cairo_surface_destroy>>;
using ContextPtr = std::unique_ptr<cairo_t, CairoRelease<cairo_destroy>>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, CairoRelease<cairo_pattern_destroy>>;
// Paths are shared: the path of a path bracket, the clipping region and the saved states that copy
// it may all hold one.
using PathPtr = std::shared_ptr<cairo_path_t>;

// The current path of `cr`, as a copy.
inline PathPtr CopyPath(cairo_t* cr) { return PathPtr(cairo_copy_path(cr), cairo_path_destroy); }

}  // namespace bookloom::emf
