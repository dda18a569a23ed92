// The error every decoder raises for a picture it cannot read, on its own so that the metafile
// module, which shares no code with the program, builds it in too.
#pragma once

#include <string>

namespace bookloom {

// Raises DecodeError "Cannot read picture "<file>": <why>".
[[noreturn]] void RaiseDecodeError(const std::u16string& fileName, const std::string& why);

}  // namespace bookloom
