// What a program does once at its start and once at its end: main() and the test main hold one
// Startup object for their whole run. The tables of file types and picture formats are read-only and
// made at their first use; the libraries and modules they need are loaded at their first input.
#pragma once

namespace bookloom {

class Startup {
 public:
  // Sets up the memory allocator for large pictures.
  Startup();
  // Gives back the caches of the metafile player, if it was loaded.
  ~Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;
};

}  // namespace bookloom
