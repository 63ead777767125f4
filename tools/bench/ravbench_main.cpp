// The benchmark driver for the 32-bit programs (tools/bench.sh runs it):
//   ravbench packages RELEASE TOOLS32 TOOLS64 WORK
//   ravbench run      RELEASE TOOLS32 TOOLS64 WORK [RUNS [SECTION...]]
// "packages" writes the staging packages; "run" measures and prints the
// tables (Markdown) on standard output: every section, or those named
// (staging, start, channel, latency, cpu, end, memory).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cstdlib>
#include <string>

#include "tools/bench/bench_sections.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: ravbench packages|run RELEASE TOOLS32 TOOLS64 WORK [RUNS]\n");
    return 2;
  }
  const std::wstring mode = argv[1];
  bench::BenchPaths paths{argv[2], argv[3], argv[4], argv[5]};
  if (argc > 6) paths.runs = std::max(1, static_cast<int>(std::wcstol(argv[6], nullptr, 10)));
  for (int i = 7; i < argc; ++i) {
    for (const char* section : bench::kSections) {
      if (std::wstring(section, section + std::strlen(section)) == argv[i]) paths.only.insert(section);
    }
  }
  if (mode == L"packages") return bench::MakeStagingPackages(paths) ? 0 : 1;
  if (mode != L"run") return 2;
  bench::MemoryLedger memory;
  if (paths.Wants("staging")) bench::RunStagingBench(paths, memory);
  if (paths.Wants("start")) bench::RunLauncherStartBench(paths, memory);
  bench::RunUninstallerBench(paths, memory);
  if (paths.Wants("memory")) bench::PrintMemory(paths, memory);
  return 0;
}
