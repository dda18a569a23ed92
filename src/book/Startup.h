// Start-up and shut-down of the program-wide instances, in one fixed order: main() and the test
// main hold one Startup object for their whole run.
#pragma once

namespace bookloom {

class Startup {
 public:
  Startup();
  ~Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;
};

}  // namespace bookloom
