// Start-up and shut-down of the program-wide instances, in one fixed order: main() and the test
// main hold one Units object for their whole run.
#pragma once

namespace bookloom {

class Units {
 public:
  Units();
  ~Units();
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;
};

}  // namespace bookloom
