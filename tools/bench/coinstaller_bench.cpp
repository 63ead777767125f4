// The co-installer's cost (tools/bench.sh runs it in the 64-bit session):
//   ravcoinst_bench RAVCOINST.DLL INF [RUNS]
// puts the given ravcoinst.dll into the system directory, where SetupAPI
// loads it from, and measures a request that only logs (100,000 calls in
// this process) and whole installs of a fake adapter from the INF through
// SetupAPI. Prints a Markdown table.
#include <windows.h>
#include <psapi.h>
#include <setupapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <vector>

#include "testsupport/fake_adapter.h"
#include "testsupport/installed_files.h"
#include "tools/bench/bench_clock.h"
#include "tools/bench/core/bench_stats.h"

namespace {

using namespace bench;
using testsupport::CoInstallerExport;
using testsupport::FakeAdapter;

constexpr int kLogOnlyCalls = 100000;

std::size_t PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

struct InstallTimes {
  double whole = std::nan("");        // create, install (with co-installers), remove
  double coInstaller = std::nan("");  // DIF_INSTALLDEVICE, both passes, called directly
};

InstallTimes InstallOnce(const std::filesystem::path& inf, const CoInstallerExport& coInstaller) {
  InstallTimes times;
  const double start = NowMs();
  FakeAdapter adapter(testsupport::kRowCard, inf);
  if (!adapter.created() || !adapter.Install().ok) return times;
  const double installed = NowMs();
  COINSTALLER_CONTEXT_DATA context = {};
  const double called = NowMs();
  if (coInstaller.Call(DIF_INSTALLDEVICE, adapter.set(), adapter.device(), &context) ==
      ERROR_DI_POSTPROCESSING_REQUIRED) {
    context.PostProcessing = TRUE;
    coInstaller.Call(DIF_INSTALLDEVICE, adapter.set(), adapter.device(), &context);
  }
  times.coInstaller = NowMs() - called;
  const double removing = NowMs();
  if (!adapter.Remove()) return times;
  times.whole = (installed - start) + (NowMs() - removing);
  return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ravcoinst_bench RAVCOINST.DLL INF [RUNS]\n");
    return 2;
  }
  const std::filesystem::path inf = argv[2];
  const int runs = argc > 3 ? std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : 5;
  const std::size_t before = PeakWorkingSet();
  testsupport::SystemFile dll(argv[1], L"ravcoinst.dll");
  const CoInstallerExport coInstaller;
  if (!dll.copied() || !coInstaller.loaded()) {
    std::fprintf(stderr, "ravcoinst_bench: the co-installer could not be put in place or loaded\n");
    return 1;
  }

  // A request the co-installer only names in its trace.
  COINSTALLER_CONTEXT_DATA context = {};
  const double start = NowMs();
  for (int i = 0; i < kLogOnlyCalls; ++i) coInstaller.Call(DIF_SELECTDEVICE, nullptr, nullptr, &context);
  const double logOnly = NowMs() - start;
  // The platform's floor for the same work: the same line, handed over as is.
  const double floorStart = NowMs();
  for (int i = 0; i < kLogOnlyCalls; ++i) OutputDebugStringA("*** RAVCOINST ***: DIF_SELECTDEVICE\r\n");
  const double floor = NowMs() - floorStart;

  // The co-installer writes a line to its host's standard output on every
  // install; it goes to NUL here, not into the report (printf keeps the
  // handle it started with).
  const HANDLE report = GetStdHandle(STD_OUTPUT_HANDLE);
  const rav::UniqueHandle nul(
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  SetStdHandle(STD_OUTPUT_HANDLE, nul.get());
  std::vector<double> whole, own;
  for (int run = 0; run < runs; ++run) {
    const InstallTimes times = InstallOnce(inf, coInstaller);
    whole.push_back(times.whole);
    own.push_back(times.coInstaller);
  }
  SetStdHandle(STD_OUTPUT_HANDLE, report);
  testsupport::RemoveInstalledInf(inf.filename().string());
  const std::size_t after = PeakWorkingSet();

  std::printf("\n### Co-installer (64-bit, in its host process)\n\n");
  std::puts(TableHeader({"Work", "time", "per call"}).c_str());
  std::puts(TableRow({"100,000 log-only requests (DIF_SELECTDEVICE), no debugger listening",
                      FormatDuration(logOnly), FormatDuration(logOnly / kLogOnlyCalls)})
                .c_str());
  std::puts(TableRow({"for scale: 100,000 OutputDebugStringA calls with the same line", FormatDuration(floor),
                      FormatDuration(floor / kLogOnlyCalls)})
                .c_str());
  std::puts(TableRow({"whole install of a fake adapter through SetupAPI (which calls the co-installer), and its "
                      "removal (median of " + std::to_string(runs) + ")",
                      FormatDuration(Median(whole)), "-"})
                .c_str());
  std::puts(TableRow({"both DIF_INSTALLDEVICE passes of ravcoinst.dll, called once more on the installed adapter",
                      FormatDuration(Median(own)), FormatDuration(Median(own) / 2)})
                .c_str());
  std::printf("\nPeak working set of the host: %s before loading ravcoinst.dll, %s after all of the above.\n",
              FormatBytes(static_cast<double>(before)).c_str(), FormatBytes(static_cast<double>(after)).c_str());
  return 0;
}
