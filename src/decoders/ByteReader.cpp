#include "decoders/ByteReader.h"

#include "platform/Exception.h"

namespace bookloom {

void FailDecode(const std::u16string& fileName, const std::string& why) {
  Raise<EDecodeError>("Cannot read picture \"%s\": %s", {fileName, why});
}

void ByteReader::Fail(const std::string& why) const { FailDecode(*fileName_, why); }

void ByteReader::Truncated() const { Fail("the file is cut short or damaged"); }

}  // namespace bookloom
