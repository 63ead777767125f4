#include "tools/bench/peak_memory.h"

#include <psapi.h>

#include <algorithm>

namespace bench {

PeakMemorySampler::PeakMemorySampler(HANDLE process) : process_(process), sampler_([this] {
  do {
    Sample();
  } while (!stop_ && WaitForSingleObject(process_, 5) == WAIT_TIMEOUT);
}) {}

PeakMemorySampler::~PeakMemorySampler() { Finish(); }

MemoryPeak PeakMemorySampler::Finish() {
  stop_ = true;
  if (sampler_.joinable()) sampler_.join();
  return {workingSet_, privateBytes_};
}

void PeakMemorySampler::Sample() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process_, &counters, sizeof counters)) return;
  workingSet_ = std::max<std::size_t>(workingSet_, counters.PeakWorkingSetSize);
  privateBytes_ = std::max<std::size_t>(privateBytes_, counters.PeakPagefileUsage);
}

MemoryPeak Larger(const MemoryPeak& a, const MemoryPeak& b) {
  return {std::max(a.workingSet, b.workingSet), std::max(a.privateBytes, b.privateBytes)};
}

}  // namespace bench
