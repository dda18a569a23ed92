#include "book/BookDescription.h"

namespace bookloom {

void BookDescription::Clear() { *this = BookDescription(); }

void BookDescription::Assign(const Persistent& source) {
  if (const auto* other = dynamic_cast<const BookDescription*>(&source)) {
    *this = *other;
    return;
  }
  Persistent::Assign(source);
}

}  // namespace bookloom
