#include "decoders/DecodeFailure.h"

#include "platform/Exception.h"

namespace bookloom {

void RaiseDecodeError(const std::u16string& fileName, const std::string& why) {
  throw DecodeError(Format("Cannot read picture \"%s\": %s", {fileName, why}), why);
}

}  // namespace bookloom
