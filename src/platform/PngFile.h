// Writes grey pictures as PNG files: pages and covers shown to the user as they reach the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bookloom {

// Writes a greyscale PNG of width x height greys, rows from the top: black and white in one bit a
// pixel, up to four greys in two (a palette of them), others in eight. FileCreateError or
// WriteError when the file cannot be written.
void WriteGrayPng(const std::u16string& fileName, int width, int height, const std::vector<uint8_t>& gray);

}  // namespace bookloom
