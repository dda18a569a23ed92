#include "book/Startup.h"

#include "platform/Memory.h"

namespace bookloom {

Startup::Startup() { ConfigureAllocator(); }

}  // namespace bookloom
