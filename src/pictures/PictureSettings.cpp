#include "pictures/PictureSettings.h"

namespace bookloom {

FitOptions FitOptionsOf(const PictureSettings& settings) {
  return {.enlarge = settings.enlarge, .colors = settings.colors};
}

}  // namespace bookloom
