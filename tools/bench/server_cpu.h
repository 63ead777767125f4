#pragma once
// CPU time of the platform's server process, where there is one. Under Wine
// every wait, pipe read and message that crosses processes is served by
// wineserver, time that Windows would count as the calling process's own
// kernel time; tools/bench.sh names it in RAV_BENCH_SERVER_PID (and the
// clock's ticks per second in RAV_BENCH_CLOCK_TICKS). On Windows neither is
// set and there is no such figure.
#include <optional>

namespace bench {

std::optional<double> ServerCpuMs();

}  // namespace bench
