#include "decoders/ByteReader.h"

#include "decoders/DecodeFailure.h"

namespace bookloom {

void ByteReader::Fail(const std::string& why) const { RaiseDecodeError(*fileName_, why); }

void ByteReader::Truncated() const { Fail("the file is cut short or damaged"); }

}  // namespace bookloom
