#include "decoders/DecoderTestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "decoders/DecoderRegistry.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom::test {

std::unique_ptr<TGraphic> DecodeFile(const std::filesystem::path& path) {
  const std::u16string name = Utf8ToUtf16(path.string());
  const TGraphicDecoder* decoder = DecoderRegistry().Find(name);
  if (!decoder) throw EDecodeError("no decoder for " + path.string());
  return decoder->LoadFromFile(name);
}

RgbImage Composited(const TGraphic& graphic) {
  Bitmap bitmap;
  graphic.AssignTo(bitmap);
  RgbImage image{bitmap.Width(), bitmap.Height(), {}};
  image.rgb.reserve(static_cast<size_t>(image.width) * image.height * 3);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = bitmap.Row(y);
    for (int x = 0; x < image.width; ++x) {
      image.rgb += static_cast<char>(row[3 * x + 2]);
      image.rgb += static_cast<char>(row[3 * x + 1]);
      image.rgb += static_cast<char>(row[3 * x]);
    }
  }
  return image;
}

RgbImage ReadPpm(const std::filesystem::path& path) {
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
  RgbImage image;
  if (token() != "P6") return image;
  image.width = std::stoi(token());
  image.height = std::stoi(token());
  if (token() != "255") return {};
  const size_t size = static_cast<size_t>(image.width) * image.height * 3;
  if (bytes.size() < at + 1 + size) return {};
  image.rgb = bytes.substr(at + 1, size);
  return image;
}

int MaxDifference(const RgbImage& a, const RgbImage& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return -1;
  int most = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i)
    most = std::max(most, std::abs(static_cast<uint8_t>(a.rgb[i]) - static_cast<uint8_t>(b.rgb[i])));
  return most;
}

bool HaveTool(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null 2>&1"); }

bool RunCommand(const std::string& commandLine) { return std::system(commandLine.c_str()) == 0; }

std::string Quoted(const std::filesystem::path& path) {
  std::string quoted = "'";
  for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace bookloom::test
