// Enhanced metafiles made in the tests themselves, record by record.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace bookloom::test {

// The values as 32-bit little-endian integers, one after the other.
std::string Ints(std::initializer_list<int64_t> values);

// A record of `type` around its payload, padded to whole 32-bit values.
std::string EmfRecord(uint32_t type, std::string payload = "");

// A metafile whose frame is width x height pixels at 96 dots per inch, on a reference device of
// 96 dots per inch (one device unit is one pixel), with the given records and an end record.
std::string EmfOf(int width, int height, const std::string& records);

}  // namespace bookloom::test
