#include "tools/bench/bench_clock.h"

namespace bench {

long long Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double CounterToMs(long long counter) {
  static const double frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return static_cast<double>(value.QuadPart);
  }();
  return static_cast<double>(counter) * 1000.0 / frequency;
}

}  // namespace bench
