// LZSS compression of book pictures: a 4096-byte window, matches of 3 to 18 bytes found in binary
// search trees, literals and matches grouped eight to a flag byte. The output is exact byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace bookloom {

// Size of the input and of the output buffer: Read fills at most this many bytes per call, and
// Write receives this many bytes whenever the output buffer is full.
inline constexpr size_t kLzssBufferSize = 262144;

// Read fills the buffer (kLzssBufferSize bytes) and returns how many bytes it put there; 0 = end
// of input. After the end of input, every further byte the compressor wants calls Read again.
using LzssReadFn = std::function<size_t(uint8_t* buffer)>;
using LzssWriteFn = std::function<void(const uint8_t* data, size_t count)>;

// Compresses everything Read delivers and hands the output to Write: one call per full buffer and
// a final call with the rest (0 bytes when nothing is pending). Each compression has work buffers of
// its own (about 600 KB, std::bad_alloc when there is no room for them), so compressions on several
// threads run at once, and a callback may start another.
void LzssEncode(const LzssReadFn& read, const LzssWriteFn& write);

// The whole compressed form of `input`, exactly as LzssEncode writes it.
std::string LzssCompress(std::string_view input);

// Decodes data as LzssEncode writes it (a 4096-byte ring starting zeroed, write position 4078).
// Stops at the end of the input or once `limit` bytes are produced; a final incomplete unit (a
// lone first byte of a match) ends the data. Never reads outside `input`.
std::string LzssDecode(std::string_view input, size_t limit);

}  // namespace bookloom
