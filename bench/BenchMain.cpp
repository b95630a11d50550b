// Benchmarks of the game's hot paths. Run from the runtime folder (build/runtime)
// under a display (scripts/with-xvfb.sh) for the GL benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
