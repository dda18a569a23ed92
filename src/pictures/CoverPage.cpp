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

void CoverPage::Assign(const Persistent& source) {
  const auto* other = dynamic_cast<const CoverPage*>(&source);
  if (!other) return Persistent::Assign(source);
  fileName = other->fileName;
  coverMode = other->coverMode;
  enlarge = other->enlarge;
  margins = other->margins;
  fromTitle = other->fromTitle;
}

bool CoverPage::RenderCover(Bitmap& target) const {
  if (fileName.empty() || !FileExists(fileName) || coverMode <= 0) return false;
  Picture picture;
  picture.LoadFromFile(fileName, {.gray = true});
  RenderCover(picture, target);
  return true;
}

void CoverPage::RenderCover(const Picture& picture, Bitmap& target) const {
  FitPictureToPage(picture, target,
                   {.enlarge = enlarge, .colors = PageColorsOfBits(coverMode), .margins = margins});
}

}  // namespace bookloom
