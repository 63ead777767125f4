#pragma once
// The benchmark's sections; each prints its table (Markdown) to standard
// output and notes the peak memory of the programs it ran.
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tools/bench/peak_memory.h"

namespace bench {

struct BenchPaths {
  std::filesystem::path release;  // the release programs (launcher.exe, ravuninst.exe)
  std::filesystem::path tools32;  // 32-bit stand-ins and helpers of the test tree
  std::filesystem::path tools64;  // 64-bit stand-ins (ravengine64.exe)
  std::filesystem::path work;     // scratch space: packages, copies, records
  int runs = 5;                   // repetitions behind each median
  std::set<std::string> only;     // sections to run; empty: all
  bool Wants(const char* section) const { return only.empty() || only.count(section) > 0; }
};

// Section names, for running a few of them.
inline constexpr const char* kSections[] = {"staging", "start", "channel", "flood", "latency", "cpu", "end", "memory"};

// Peak memory per program, over every run of it.
using MemoryLedger = std::map<std::string, MemoryPeak>;

// Writes the packages the staging benchmark copies (the native figures are
// measured on them before the run).
bool MakeStagingPackages(const BenchPaths& paths);

void RunStagingBench(const BenchPaths& paths, MemoryLedger& memory);
void RunLauncherStartBench(const BenchPaths& paths, MemoryLedger& memory);
void RunUninstallerBench(const BenchPaths& paths, MemoryLedger& memory);
void PrintMemory(const BenchPaths& paths, MemoryLedger& memory);

}  // namespace bench
