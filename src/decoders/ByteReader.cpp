#include "decoders/ByteReader.h"

#include "decoders/Graphic.h"
#include "platform/Exception.h"

namespace bookloom {

void FailDecode(const std::u16string& fileName, const std::string& why) {
  Raise<EDecodeError>("Cannot read picture \"%s\": %s", {fileName, why});
}

void CheckDecodeSize(int64_t width, int64_t height, int64_t maxPixels, const std::u16string& fileName) {
  CheckPictureSize(width, height, fileName);
  if (width * height > maxPixels)
    Raise<EDecodeError>("Cannot read picture \"%s\": %dx%d pixels is larger than the limit of %d pixels",
                        {fileName, width, height, maxPixels});
}

void ByteReader::Fail(const std::string& why) const { FailDecode(*fileName_, why); }

void ByteReader::Truncated() const { Fail("the file is cut short or damaged"); }

}  // namespace bookloom
