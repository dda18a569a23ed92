// The test program's main: the program's units are started around the whole run, as main() does.
#include <gtest/gtest.h>

#include "support/TestRuntime.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const bookloom::TestStartup units;
  return RUN_ALL_TESTS();
}
