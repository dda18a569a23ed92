// The book file's little-endian fields: every integer the format stores passes through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bookloom {

// Writes v at byte offset `at` of buf, lowest byte first; buf must be long enough.
void PutU16(std::string& buf, size_t at, uint16_t v);
void PutU32(std::string& buf, size_t at, uint32_t v);

// Appends v to buf, lowest byte first.
void AppendU16(std::string& buf, uint16_t v);
void AppendU32(std::string& buf, uint32_t v);

// Reads the value at byte offset `at`; the caller checks that the bytes exist.
uint16_t GetU16(std::string_view buf, size_t at);
uint32_t GetU32(std::string_view buf, size_t at);

}  // namespace bookloom
