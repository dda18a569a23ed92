#include "pictures/CoverPage.h"

#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/FileSys.h"

namespace bookloom {

void CoverPage::SetDefaults() {
  fileName.clear();
  coverMode = 0;
  enlarge = true;
  margins = {};
  fromTitle = false;
}

bool CoverPage::RenderCover(const Runtime& runtime, Bitmap& target) const {
  if (fileName.empty() || !FileExists(fileName) || coverMode <= 0) return false;
  Picture picture;
  picture.LoadFromFile(runtime, fileName, {.gray = true});
  RenderCover(picture, target);
  return true;
}

void CoverPage::RenderCover(const Picture& picture, Bitmap& target) const {
  FitPictureToPage(picture, target,
                   {.enlarge = enlarge, .colors = PageColorsOfBits(coverMode), .margins = margins});
}

}  // namespace bookloom
