#include "pictures/cBookCoverPage.h"

#include "decoders/Picture.h"
#include "pictures/uBitmapProcs.h"
#include "platform/FileSys.h"

namespace bookloom {

void TBookCoverPage::SetDefaults() {
  FileName.clear();
  CoverMode = 0;
  Enlarge = true;
  MarginLeft = 0;
  MarginRight = 0;
  MarginTop = 0;
  MarginBottom = 0;
}

void TBookCoverPage::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBookCoverPage*>(&source);
  if (!other) return TPersistent::Assign(source);
  FileName = other->FileName;
  CoverMode = other->CoverMode;
  Enlarge = other->Enlarge;
  MarginLeft = other->MarginLeft;
  MarginRight = other->MarginRight;
  MarginTop = other->MarginTop;
  MarginBottom = other->MarginBottom;
}

bool TBookCoverPage::RenderCover(Bitmap& target) const {
  if (FileName.empty() || !FileExists(FileName) || CoverMode <= 0) return false;
  TPicture picture;
  picture.LoadFromFile(FileName);
  FitPictureToPage(picture, target, kDevicePageWidth, kDevicePageHeight, Enlarge, CoverMode, MarginLeft,
                   MarginRight, MarginTop, MarginBottom, true);
  return true;
}

}  // namespace bookloom
