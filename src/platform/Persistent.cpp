#include "platform/Persistent.h"

#include "platform/Exception.h"

namespace bookloom {

void TPersistent::Assign(const TPersistent& source) {
  Raise<EConvertError>("Cannot assign a %s to a %s", {source.ClassName(), ClassName()});
}

}  // namespace bookloom
