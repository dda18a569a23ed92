#include "platform/Persistent.h"

#include "platform/Exception.h"

namespace bookloom {

void Persistent::Assign(const Persistent& source) {
  Raise<ConvertError>("Cannot assign a %s to a %s", {source.ClassName(), ClassName()});
}

}  // namespace bookloom
