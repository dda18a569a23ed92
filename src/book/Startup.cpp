#include "book/Startup.h"

#include "decoders/EmfDecoder.h"
#include "platform/Memory.h"

namespace bookloom {

Startup::Startup() { ConfigureAllocator(); }

Startup::~Startup() { ReleaseEmfCaches(runtime_); }

}  // namespace bookloom
