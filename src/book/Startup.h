// What a program does once at its start: main() and the test main hold one
// Startup object for their whole run. The tables of file types and picture formats are read-only and
// made at their first use; the libraries and modules the inputs need are loaded into the run's
// Runtime, which the Startup holds, at their first input.
#pragma once

#include "platform/Runtime.h"

namespace bookloom {

class Startup {
 public:
  // Sets up the memory allocator for large pictures.
  Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;

  // The libraries and modules of this run, for all the work it does.
  const Runtime& Libraries() const { return runtime_; }

 private:
  Runtime runtime_;
};

}  // namespace bookloom
