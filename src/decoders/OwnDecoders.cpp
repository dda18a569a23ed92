#include "decoders/OwnDecoders.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

namespace bookloom {

void ReleaseOwnDecoderCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace bookloom
