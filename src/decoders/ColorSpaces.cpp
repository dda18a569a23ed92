#include "decoders/ColorSpaces.h"

#include <array>
#include <cmath>

namespace bookloom {

namespace {

constexpr int kLinearSteps = 4096;

// sRGB values of kLinearSteps + 1 evenly spaced linear values.
const std::array<uint8_t, kLinearSteps + 1>& SrgbTable() {
  static const auto table = [] {
    std::array<uint8_t, kLinearSteps + 1> t{};
    for (int i = 0; i <= kLinearSteps; ++i) {
      const double v = static_cast<double>(i) / kLinearSteps;
      const double s = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
      t[i] = static_cast<uint8_t>(std::lround(s * 255));
    }
    return t;
  }();
  return table;
}

// The inverse of the Lab companding function.
float LabInverse(float t) {
  constexpr float delta = 6.0f / 29.0f;
  return t > delta ? t * t * t : 3 * delta * delta * (t - 4.0f / 29.0f);
}

}  // namespace

uint8_t LinearToSrgb8(float linear) {
  if (!(linear > 0)) return 0;  // also NaN
  if (linear >= 1) return 255;
  return SrgbTable()[static_cast<int>(linear * kLinearSteps + 0.5f)];
}

Rgb LabToSrgb(float l, float a, float b) {
  const float fy = (l + 16) / 116;
  const float x = 0.9642f * LabInverse(fy + a / 500);
  const float y = LabInverse(fy);
  const float z = 0.8249f * LabInverse(fy - b / 200);
  // XYZ relative to D50, adapted to D65 (Bradford) and taken to linear sRGB in one matrix.
  const float r = 3.1338561f * x - 1.6168667f * y - 0.4906146f * z;
  const float g = -0.9787684f * x + 1.9161415f * y + 0.0334540f * z;
  const float bl = 0.0719453f * x - 0.2289914f * y + 1.4052427f * z;
  return {LinearToSrgb8(r), LinearToSrgb8(g), LinearToSrgb8(bl)};
}

}  // namespace bookloom
