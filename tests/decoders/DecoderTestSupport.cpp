#include "decoders/DecoderTestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>

#include "decoders/PictureFormats.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom::test {

namespace {

// Decodes the bytes of a file; the name is only used in error messages.
using DecodeBytes = std::function<void(std::string_view bytes, const std::u16string& name)>;

// Decodes and reports whether the decoder refused the bytes with DecodeError.
bool Refused(const DecodeBytes& decode, std::string_view bytes, const std::string& what) {
  try {
    decode(bytes, u"damaged");
    return false;
  } catch (const DecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("\"damaged\""), std::string::npos) << what << ": " << e.what();
    return true;
  } catch (const std::exception& e) {
    ADD_FAILURE() << what << ": unexpected " << typeid(e).name() << ": " << e.what();
    return true;
  }
}

}  // namespace

std::unique_ptr<Graphic> DecodeFile(const std::filesystem::path& path) {
  const std::u16string name = Utf8ToUtf16(path.string());
  const GraphicDecoder* decoder = PictureDecoders(TestRuntime()).Find(name);
  if (!decoder) RaiseDecodeError(path.u16string(), "no decoder");
  return decoder->LoadFromFile(name);
}

RgbImage ToRgbOverWhite(const Graphic& g) {
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

std::string PixelText(const Graphic& g) {
  std::string s;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x) {
      s += s.empty() ? "" : " ";
      for (int c = 0; c < g.Channels(); ++c)
        s += (c ? "," : "") + std::to_string(g.Row(y)[x * g.Channels() + c]);
    }
  return s;
}

std::optional<RgbImage> ReadPpm(const std::filesystem::path& path) {
  const std::string bytes = ReadBytes(path);
  size_t at = 0;
  const auto token = [&] {
    for (;;) {
      while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
      if (at < bytes.size() && bytes[at] == '#') {
        while (at < bytes.size() && bytes[at] != '\n') ++at;
        continue;
      }
      break;
    }
    const size_t start = at;
    while (at < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
    return bytes.substr(start, at - start);
  };
  const auto number = [&] {
    const std::string digits = token();
    return !digits.empty() && digits.size() < 9 &&
                   std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })
               ? std::stoi(digits)
               : -1;
  };
  if (token() != "P6") return std::nullopt;
  const int width = number(), height = number(), maxValue = number();
  if (width <= 0 || height <= 0 || maxValue != 255) return std::nullopt;
  const size_t size = static_cast<size_t>(width) * height * 3;
  if (bytes.size() < at + 1 + size) return std::nullopt;
  const auto pixels = bytes.begin() + static_cast<std::ptrdiff_t>(at + 1);
  return RgbImage{width, height, std::vector<uint8_t>(pixels, pixels + static_cast<std::ptrdiff_t>(size))};
}

std::optional<RgbImage> ReferenceImage(const std::filesystem::path& file, const std::string& tool,
                                       const std::string& options) {
  ScratchDir dir;
  const std::filesystem::path out = dir / "reference.ppm";
  // Flattened on white so that transparency compares with what the program shows.
  if (!RunCommand(tool + " " + Quoted(file.string() + "[0]") + " " + options +
                  " -background white -flatten -depth 8 " + Quoted("ppm:" + out.string()) +
                  " >/dev/null 2>&1"))
    return std::nullopt;
  return ReadPpm(out);
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

bool HaveTool(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null 2>&1"); }

bool RunCommand(const std::string& commandLine) { return std::system(commandLine.c_str()) == 0; }

std::vector<std::filesystem::path> SampleFiles(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(TestDataPath(folder)))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

namespace {

int ExpectDamageRefused(const DecodeBytes& decode, const std::string& bytes, const std::string& label) {
  int accepted = 0;
  // Every cut in the first 300 bytes (headers), then about 200 cuts spread over the rest.
  std::vector<size_t> cuts;
  for (size_t n = 0; n < std::min<size_t>(bytes.size(), 300); ++n) cuts.push_back(n);
  const size_t step = std::max<size_t>(1, bytes.size() / 200);
  for (size_t n = 300; n < bytes.size(); n += step) cuts.push_back(n);
  for (size_t n : cuts) {
    // A copy of exactly n bytes, so that the sanitizers see any read past the end.
    const std::string cut = bytes.substr(0, n);
    if (!Refused(decode, cut, label + " cut at " + std::to_string(n))) ++accepted;
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
    Refused(decode, damaged, label + " damaged, round " + std::to_string(round));
  }
  return accepted;
}

}  // namespace

int ExpectDamageIsRefusedCleanly(DecodeFunction load, const std::string& bytes, const std::string& label,
                                 int64_t maxPixels) {
  return ExpectDamageRefused(
      [&](std::string_view b, const std::u16string& name) { load(b, name, maxPixels); }, bytes, label);
}

int ExpectDamageIsRefusedCleanly(const GraphicDecoder& decoder, const std::string& bytes,
                                 const std::string& label) {
  return ExpectDamageRefused(
      [&](std::string_view b, const std::u16string& name) { decoder.Decode(b, name, {.allFrames = true}); },
      bytes, label);
}

void ExpectBadFilesRefused(const GraphicDecoder& decoder, const std::vector<std::string>& broken,
                           const std::string& good) {
  for (const std::string& bytes : broken) {
    try {
      decoder.Decode(bytes, u"bad.pic");
      ADD_FAILURE() << bytes.size() << " bytes were decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("bad.pic"), std::string::npos) << e.what();
    }
  }
  const ScopedPictureLimits small({.maxSide = 100, .maxPixels = 1000});
  EXPECT_THROW(decoder.Decode(good, u"big.pic"), DecodeError);
}

PixelDifference CompareWithPixels(const Graphic& g, const RgbaPixels& p) {
  EXPECT_EQ(g.Width(), p.width);
  EXPECT_EQ(g.Height(), p.height);
  if (g.Width() != p.width || g.Height() != p.height) return {255, 255};
  PixelDifference d;
  double sum = 0;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x)
      for (int c = 0; c < g.Channels(); ++c) {
        const int diff =
            std::abs(g.Row(y)[x * g.Channels() + c] - p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + c]);
        d.max = std::max(d.max, diff);
        sum += diff;
      }
  d.mean = sum / (static_cast<double>(g.Width()) * g.Height() * g.Channels());
  return d;
}

}  // namespace bookloom::test
