// Launcher start: how long a user waits before the first listed program
// starts, with an empty package, and what the whole launcher run adds to
// starting that program directly.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/core/argument_quote.h"
#include "tools/bench/bench_clock.h"
#include "tools/bench/bench_package.h"
#include "tools/bench/bench_sections.h"
#include "tools/bench/core/bench_stats.h"
#include "tools/bench/child_process.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

struct StartTimes {
  double toFirstProgram = 0;  // from CreateProcess to the program's first line
  double whole = 0;           // from CreateProcess to the end
  bool ok = false;
};

// Starts `commandLine`, which runs bench_noop.exe sooner or later; the noop
// writes its start to the stamp file.
StartTimes Measure(const std::wstring& commandLine, const fs::path& directory, const fs::path& stamp,
                   MemoryPeak* peak) {
  StartTimes times;
  fs::remove(stamp);
  ChildProcess child;
  const double start = NowMs();
  if (!child.Start(commandLine, directory.wstring())) return times;
  PeakMemorySampler sampler(child.handle());
  const DWORD code = child.Wait(60000);
  times.whole = NowMs() - start;
  if (peak) *peak = Larger(*peak, sampler.Finish());
  long long started = 0;
  std::ifstream in(stamp);
  times.ok = code == 0 && static_cast<bool>(in >> started);
  times.toFirstProgram = CounterToMs(started) - start;
  return times;
}

}  // namespace

void RunLauncherStartBench(const BenchPaths& paths, MemoryLedger& memory) {
  const fs::path package = paths.work / "packages" / "empty";
  const fs::path stamp = paths.work / "stamp.txt";
  SetEnvironmentVariableW(L"RAV_BENCH_STAMP", stamp.c_str());
  const int runs = paths.runs * 2;
  std::vector<double> launcherFirst, launcherWhole, directFirst, directWhole;
  int failed = 0;
  for (int run = 0; run < runs; ++run) {
    const StartTimes viaLauncher =
        Measure(rav::QuoteArgument((package / "Setup.exe").wstring()), package, stamp, &memory["launcher.exe"]);
    const StartTimes direct = Measure(rav::QuoteArgument((package / kNoopProgram).wstring()), package, stamp, nullptr);
    if (!viaLauncher.ok || !direct.ok) {
      ++failed;
      continue;
    }
    launcherFirst.push_back(viaLauncher.toFirstProgram);
    launcherWhole.push_back(viaLauncher.whole);
    directFirst.push_back(direct.toFirstProgram);
    directWhole.push_back(direct.whole);
  }

  std::printf("\n### Launcher start: an empty package whose one program exits at once\n\n");
  std::printf("Median of %d runs (%d failed).\n\n", runs - failed, failed);
  std::puts(TableHeader({"From process start", "Setup.exe", "the program started directly", "Setup.exe adds"}).c_str());
  std::puts(TableRow({"to the program's start", FormatDuration(Median(launcherFirst)),
                      FormatDuration(Median(directFirst)),
                      FormatDuration(Median(launcherFirst) - Median(directFirst))})
                .c_str());
  std::puts(TableRow({"to the end of the run", FormatDuration(Median(launcherWhole)),
                      FormatDuration(Median(directWhole)),
                      FormatDuration(Median(launcherWhole) - Median(directWhole))})
                .c_str());
  std::fflush(stdout);
}

}  // namespace bench
