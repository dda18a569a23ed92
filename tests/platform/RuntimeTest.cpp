#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <barrier>
#include <thread>

#include "platform/Runtime.h"

namespace bookloom {
namespace {

#define ZLIB_FUNCTIONS(F) F(zlibVersion)
BOOKLOOM_LIBRARY_FUNCTIONS(Zlib, ZLIB_FUNCTIONS);

struct Counted {
  int loads = 0;
};

TEST(Runtime, LoadsEachLibraryOnceWhenTwoThreadsAskAtOnce) {
  const Runtime runtime;
  std::atomic<int> loads = 0;
  const Counted* seen[2] = {};
  std::barrier start(2);
  const auto ask = [&](int thread) {
    start.arrive_and_wait();
    seen[thread] = &runtime.Loaded<Counted>("counted", [&] {
      ++loads;
      std::this_thread::yield();
      return std::make_shared<const Counted>(Counted{loads});
    });
  };
  std::thread second(ask, 1);
  ask(0);
  second.join();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(runtime.LoadedNames(), std::vector<std::string>{"counted"});

  // A library of the system the same way: looked up once, its functions kept.
  const auto& zlib = runtime.Library<Zlib>("libz.so.1");
  ASSERT_TRUE(zlib.functions) << zlib.problem;
  EXPECT_STREQ(zlib.functions->zlibVersion(), zlibVersion());
  EXPECT_EQ(&runtime.Library<Zlib>("libz.so.1"), &zlib);
  EXPECT_EQ(runtime.IfLoaded<LoadedFunctions<Zlib>>("libz.so.1"), &zlib);
}

TEST(Runtime, LoadsNothingUntilAskedAndKeepsWhyALibraryIsMissing) {
  const Runtime runtime;
  EXPECT_TRUE(runtime.LoadedNames().empty());
  EXPECT_EQ(runtime.IfLoaded<LoadedFunctions<Zlib>>("libz.so.1"), nullptr);
  const auto& missing = runtime.Library<Zlib>("libbookloom-missing.so.0");
  EXPECT_FALSE(missing.functions);
  EXPECT_NE(missing.problem.find("libbookloom-missing.so.0"), std::string::npos) << missing.problem;
  EXPECT_EQ(&runtime.Library<Zlib>("libbookloom-missing.so.0"), &missing);
  // Another library of the same functions is one of its own.
  EXPECT_TRUE(runtime.Library<Zlib>("libz.so.1").functions);
}

}  // namespace
}  // namespace bookloom
