// The processor time of the whole process, for the benchmarks: llvmpipe's threads
// included, so that a figure shows the work of a pass even while other programs
// share the cores.
#pragma once

#include <sys/resource.h>

namespace frostline::bench {

/// Processor time of the whole process so far (ms), user and system, all threads.
inline double processCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec * 1e-3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace frostline::bench
