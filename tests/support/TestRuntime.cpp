#include "support/TestRuntime.h"

namespace bookloom {

namespace {

const TestStartup* testStartup = nullptr;  // set by the test main before any test runs

}  // namespace

TestStartup::TestStartup() { testStartup = this; }

TestStartup::~TestStartup() { testStartup = nullptr; }

const Runtime& TestRuntime() { return testStartup->Libraries(); }

}  // namespace bookloom
