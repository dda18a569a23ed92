// Checking a JPEG file without making its pixels must refuse exactly the files decoding refuses,
// with the same message: whole sample files, damaged ones, and samples cut or spoiled here. Files
// whose decoder starts are read as far as they go.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "decoders/DecoderTestSupport.h"
#include "decoders/JpegDecoder.h"
#include "platform/Exception.h"
#include "support/TestData.h"

namespace bookloom::test {
namespace {

// The message a call raises, or "" when it raises nothing.
template <typename Call>
std::string RaisedBy(Call call) {
  try {
    call();
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}

void ExpectCheckAgreesWithDecode(const std::string& bytes, const std::string& label) {
  SCOPED_TRACE(label);
  const std::string decoded = RaisedBy([&] { DecodeJpeg(bytes, u"p.jpg", {.gray = true}); });
  const std::string checked = RaisedBy([&] { CheckJpeg(bytes, u"p.jpg"); });
  EXPECT_EQ(checked, decoded);
}

TEST(CheckJpeg, RefusesExactlyWhatDecodingRefuses) {
  REQUIRE_TESTDATA();
  std::vector<std::filesystem::path> files = SampleFiles("pictures/jpeg");
  for (const auto& bad : std::filesystem::directory_iterator(TestDataPath("pictures/jpeg/bad")))
    files.push_back(bad.path());
  int refused = 0, incomplete = 0;
  for (const auto& file : files) {
    const std::string bytes = ReadBytes(file);
    ExpectCheckAgreesWithDecode(bytes, file.filename().string());
    // Cut at several places, and with a stretch of the coded data overwritten.
    for (size_t part : {2, 3, 5, 8})
      ExpectCheckAgreesWithDecode(bytes.substr(0, bytes.size() * part / 10),
                                  file.filename().string() + " cut");
    ExpectCheckAgreesWithDecode(bytes.substr(0, bytes.size() - 2), file.filename().string() + " without end");
    if (bytes.size() > 200) {
      std::string spoiled = bytes;
      for (size_t i = spoiled.size() / 2; i < spoiled.size() / 2 + 64; ++i)
        spoiled[i] = static_cast<char>(i * 37);
      ExpectCheckAgreesWithDecode(spoiled, file.filename().string() + " spoiled");
      // Markers amid the coded data: an early end of image, a table, a new frame, a restart.
      for (const char* marker : {"\xFF\xD9", "\xFF\xC4\x00\x03\x00", "\xFF\xC0\x00\x02", "\xFF\xD3"}) {
        std::string marked = bytes;
        marked.replace(marked.size() * 2 / 3, std::strlen(marker), marker);
        ExpectCheckAgreesWithDecode(marked, file.filename().string() + " with marker " + marker);
      }
    }
    const std::string half = bytes.substr(0, bytes.size() / 2);
    if (RaisedBy([&] { DecodeJpeg(half, u"p.jpg"); }).empty())
      incomplete += DecodeJpeg(half, u"p.jpg").incomplete;
    else
      ++refused;
  }
  EXPECT_GT(refused, 0);     // files cut in their header are refused
  EXPECT_GT(incomplete, 0);  // files cut in their coded data are read in part
}

}  // namespace
}  // namespace bookloom::test
