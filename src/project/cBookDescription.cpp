#include "project/cBookDescription.h"

namespace bookloom {

void TBookDescription::Clear() { *this = TBookDescription(); }

void TBookDescription::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TBookDescription*>(&source)) {
    *this = *other;
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace bookloom
