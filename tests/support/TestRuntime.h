// The test main's Runtime, for the tests that read inputs or decode pictures.
#pragma once

#include "platform/Runtime.h"
#include "support/TestRuntime.h"

namespace bookloom {

const Runtime& TestRuntime();

}  // namespace bookloom
