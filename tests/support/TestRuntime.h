// The test mains' Startup, and its Runtime for the tests that read inputs or decode pictures.
#pragma once

#include "book/Startup.h"
#include "platform/Runtime.h"

namespace bookloom {

// What a test main holds for its whole run, as a program's main() holds a Startup; one at a time.
class TestStartup : public Startup {
 public:
  TestStartup();
  ~TestStartup();
};

// The Runtime of the test main's TestStartup.
const Runtime& TestRuntime();

}  // namespace bookloom
