#include "decoders/OwnDecoderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "support/TestData.h"

namespace bookloom::test {

namespace {

// Decodes and reports whether the decoder refused the bytes with EDecodeError.
bool Refused(LoadFromMemoryFn load, std::string_view bytes, int64_t maxPixels, const std::string& what) {
  try {
    load(bytes, u"damaged", maxPixels);
    return false;
  } catch (const EDecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("\"damaged\""), std::string::npos) << what << ": " << e.what();
    return true;
  } catch (const std::exception& e) {
    ADD_FAILURE() << what << ": unexpected " << typeid(e).name() << ": " << e.what();
    return true;
  }
}

}  // namespace

int ExpectDamageIsRefusedCleanly(LoadFromMemoryFn load, const std::string& bytes, const std::string& label,
                                 int64_t maxPixels) {
  int accepted = 0;
  // Every cut in the first 300 bytes (headers), then about 200 cuts spread over the rest.
  std::vector<size_t> cuts;
  for (size_t n = 0; n < std::min<size_t>(bytes.size(), 300); ++n) cuts.push_back(n);
  const size_t step = std::max<size_t>(1, bytes.size() / 200);
  for (size_t n = 300; n < bytes.size(); n += step) cuts.push_back(n);
  for (size_t n : cuts) {
    // A copy of exactly n bytes, so that the sanitizers see any read past the end.
    const std::string cut = bytes.substr(0, n);
    if (!Refused(load, cut, maxPixels, label + " cut at " + std::to_string(n))) ++accepted;
  }
  // Bytes set to extreme values at spread positions, a few at a time.
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 300 && !bytes.empty(); ++round) {
    std::string damaged = bytes;
    for (int k = 0; k < 4; ++k) {
      const size_t at = (next() >> 8) % (round % 2 ? damaged.size() : std::min<size_t>(damaged.size(), 512));
      const uint32_t kind = next() >> 28;
      damaged[at] = static_cast<char>(kind < 5 ? 0xFF : kind < 10 ? 0x00 : (next() >> 16) & 0xFF);
    }
    Refused(load, damaged, maxPixels, label + " damaged, round " + std::to_string(round));
  }
  return accepted;
}

std::vector<std::filesystem::path> SampleFiles(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(TestDataPath(folder)))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

RgbImage ToRgbOverWhite(const TGraphic& g) {
  Bitmap b;
  g.AssignTo(b);
  RgbImage img{b.Width(), b.Height(), {}};
  img.rgb.reserve(static_cast<size_t>(b.Width()) * b.Height() * 3);
  for (int y = 0; y < b.Height(); ++y) {
    const uint8_t* row = b.Row(y);
    for (int x = 0; x < b.Width(); ++x) {
      img.rgb.push_back(row[3 * x + 2]);
      img.rgb.push_back(row[3 * x + 1]);
      img.rgb.push_back(row[3 * x]);
    }
  }
  return img;
}

std::optional<RgbImage> ReferenceImage(const std::filesystem::path& file, const std::string& tool) {
  ScratchDir dir;
  const std::filesystem::path out = dir / "reference.ppm";
  // Flattened on white so that transparency compares with what the program shows.
  const std::string command = tool + " '" + file.string() +
                              "[0]' -background white -flatten -depth 8 'ppm:" + out.string() +
                              "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(out)) return std::nullopt;
  const std::string ppm = ReadAll(out);
  std::istringstream header(ppm);
  std::string magic;
  int w = 0, h = 0, maxval = 0;
  header >> magic >> w >> h >> maxval;
  if (magic != "P6" || maxval != 255 || w <= 0 || h <= 0) return std::nullopt;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  const size_t size = static_cast<size_t>(w) * h * 3;
  if (ppm.size() < start + size) return std::nullopt;
  return RgbImage{w, h, std::vector<uint8_t>(ppm.begin() + start, ppm.begin() + start + size)};
}

PixelDifference ComparePixels(const RgbImage& a, const RgbImage& b) {
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  PixelDifference d;
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return {255, 255};
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) {
    const int diff = std::abs(a.rgb[i] - b.rgb[i]);
    d.max = std::max(d.max, diff);
    sum += diff;
  }
  d.mean = sum / a.rgb.size();
  return d;
}

}  // namespace bookloom::test
