#include "pictures/GrayLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace bookloom {

namespace {

GrayTable Identity() {
  GrayTable table;
  for (int g = 0; g < 256; ++g) table[g] = static_cast<uint8_t>(g);
  return table;
}

}  // namespace

GrayTable AutolevelTable(const GrayView& picture) {
  std::array<int64_t, 256> counts{};
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* row = picture.Row(y);
    for (int x = 0; x < picture.width; ++x) ++counts[row[x]];
  }
  const int64_t pixels = int64_t{picture.width} * picture.height;
  const int64_t clip = std::max<int64_t>(1, (pixels * kAutolevelClipPerMille + 999) / 1000);
  int low = 0, high = 255;
  for (int64_t seen = counts[0]; seen < clip && low < 255;) seen += counts[++low];
  for (int64_t seen = counts[255]; seen < clip && high > 0;) seen += counts[--high];
  if (high <= low) return Identity();
  GrayTable table;
  const int span = high - low;
  for (int g = 0; g < 256; ++g) {
    const int v = std::clamp(g - low, 0, span);
    table[g] = static_cast<uint8_t>((2 * 255 * v + span) / (2 * span));
  }
  return table;
}

GrayTable GammaTable(double gamma) {
  GrayTable table;
  for (int g = 0; g < 256; ++g)
    table[g] = static_cast<uint8_t>(std::lround(255.0 * std::pow(g / 255.0, 1.0 / gamma)));
  return table;
}

GrayTable Then(const GrayTable& first, const GrayTable& second) {
  GrayTable table;
  for (int g = 0; g < 256; ++g) table[g] = second[first[g]];
  return table;
}

bool IsIdentity(const GrayTable& table) { return table == Identity(); }

GrayImage Adjusted(const GrayView& picture, const GrayTable& table) {
  GrayImage adjusted(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* in = picture.Row(y);
    uint8_t* out = adjusted.Row(y);
    for (int x = 0; x < picture.width; ++x) out[x] = table[in[x]];
  }
  return adjusted;
}

}  // namespace bookloom
