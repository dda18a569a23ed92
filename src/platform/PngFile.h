// Writes grey pictures as PNG files: pages and covers shown to the user as they reach the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bookloom {

// Writes an 8-bit greyscale PNG of width x height bytes, rows from the top; FileCreateError or
// WriteError when the file cannot be written.
void WriteGrayPng(const std::u16string& fileName, int width, int height, const std::vector<uint8_t>& gray);

}  // namespace bookloom
