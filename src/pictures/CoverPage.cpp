#include "pictures/CoverPage.h"

#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/FileSys.h"

namespace bookloom {

void CoverPage::SetDefaults() {
  fileName.clear();
  coverMode = 0;
  enlarge = true;
  marginLeft = 0;
  marginRight = 0;
  marginTop = 0;
  marginBottom = 0;
}

void CoverPage::Assign(const Persistent& source) {
  const auto* other = dynamic_cast<const CoverPage*>(&source);
  if (!other) return Persistent::Assign(source);
  fileName = other->fileName;
  coverMode = other->coverMode;
  enlarge = other->enlarge;
  marginLeft = other->marginLeft;
  marginRight = other->marginRight;
  marginTop = other->marginTop;
  marginBottom = other->marginBottom;
}

bool CoverPage::RenderCover(Bitmap& target) const {
  if (fileName.empty() || !FileExists(fileName) || coverMode <= 0) return false;
  Picture picture;
  picture.LoadFromFile(fileName);
  FitPictureToPage(picture, target, kDevicePageWidth, kDevicePageHeight, enlarge, coverMode, marginLeft,
                   marginRight, marginTop, marginBottom, true);
  return true;
}

}  // namespace bookloom
