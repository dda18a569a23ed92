// The test program's main: the program's units are started around the whole run, as main() does.
#include <gtest/gtest.h>

#include "book/Startup.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

const Startup* testStartup = nullptr;  // set once by main() before any test runs

}  // namespace

const Runtime& TestRuntime() { return testStartup->Libraries(); }

}  // namespace bookloom

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const bookloom::Startup units;
  bookloom::testStartup = &units;
  return RUN_ALL_TESTS();
}
