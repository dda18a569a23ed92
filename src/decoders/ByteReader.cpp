#include "decoders/ByteReader.h"

#include "decoders/Graphic.h"
#include "platform/Exception.h"

namespace bookloom {

void ByteReader::Fail(const std::string& why) const { RaiseDecodeError(*fileName_, why); }

void ByteReader::Truncated() const { Fail("the file is cut short or damaged"); }

}  // namespace bookloom
