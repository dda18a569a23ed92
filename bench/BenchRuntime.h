// What every benchmark program shares: a main() that holds the program's units while the benchmarks
// run, and the Runtime of those units for the benchmarks that read inputs or decode pictures.
#pragma once

#include <benchmark/benchmark.h>

#include "book/Startup.h"

namespace bookloom::bench {

// The units main() holds; set before the first benchmark runs.
inline const Startup* programUnits = nullptr;

inline const Runtime& BenchRuntime() { return programUnits->Libraries(); }

// Runs the benchmarks named on the command line while the program's units are started.
inline int RunWithUnits(int argc, char** argv) {
  const Startup units;
  programUnits = &units;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bookloom::bench
