#pragma once
// The most memory a running process held: sampled on a thread of its own
// every few milliseconds until the process ends or the sampler goes (the
// counters can no longer be read once the process is gone).
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <thread>

namespace bench {

struct MemoryPeak {
  std::size_t workingSet = 0;    // peak working set (resident memory)
  std::size_t privateBytes = 0;  // peak committed private memory
};

class PeakMemorySampler {
 public:
  explicit PeakMemorySampler(HANDLE process);
  ~PeakMemorySampler();
  PeakMemorySampler(const PeakMemorySampler&) = delete;
  PeakMemorySampler& operator=(const PeakMemorySampler&) = delete;
  // Stops sampling and gives the highest figures seen.
  MemoryPeak Finish();

 private:
  void Sample();
  HANDLE process_;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> workingSet_{0};
  std::atomic<std::size_t> privateBytes_{0};
  std::thread sampler_;
};

// The larger of two peaks, field by field.
MemoryPeak Larger(const MemoryPeak& a, const MemoryPeak& b);

}  // namespace bench
