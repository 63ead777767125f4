// Staging: the launcher's copy, run and clean-up of a package, against what
// a packager would use instead (xcopy and rmdir), against the least a
// program can do (bare_tree_copy) and, for context, against the host's own
// cp and rm (measured by tools/bench.sh into work\native.txt).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
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

fs::path PackageRoot(const BenchPaths& paths, const char* name) { return paths.work / "packages" / name; }
fs::path TempRoot(const BenchPaths& paths) { return paths.work / "temp"; }

// The native medians tools/bench.sh measured: "<package> <milliseconds>".
double NativeMs(const BenchPaths& paths, const std::string& package) {
  std::ifstream in(paths.work / "native.txt");
  std::string name;
  double ms = 0;
  while (in >> name >> ms) {
    if (name == package) return ms;
  }
  return std::nan("");
}

// Times one way of staging; NaN when it did not do the whole job.
double Timed(const std::function<bool()>& job) {
  const double start = NowMs();
  const bool ok = job();
  const double elapsed = NowMs() - start;
  return ok ? elapsed : std::nan("");
}

}  // namespace

bool MakeStagingPackages(const BenchPaths& paths) {
  std::error_code error;
  fs::remove_all(paths.work / "packages", error);
  const fs::path launcher = paths.release / "launcher.exe";
  const fs::path noop = paths.tools32 / kNoopProgram;
  for (const PackageShape& shape : kPackageShapes) {
    if (!MakePackage(PackageRoot(paths, shape.name), shape, launcher, noop)) {
      std::fprintf(stderr, "ravbench: could not write the %s package\n", shape.name);
      return false;
    }
  }
  constexpr PackageShape kEmpty{"empty", "no files", 0, 0, 0, 0};
  return MakePackage(PackageRoot(paths, "empty"), kEmpty, launcher, noop);
}

void RunStagingBench(const BenchPaths& paths, MemoryLedger& memory) {
  const fs::path temp = TempRoot(paths);
  fs::create_directories(temp);
  SetEnvironmentVariableW(L"TEMP", temp.c_str());
  SetEnvironmentVariableW(L"TMP", temp.c_str());
  const fs::path staged = temp / "RavWLSetup";
  const fs::path copy = temp / "copy";
  const fs::path stamp = paths.work / "stamp.txt";
  SetEnvironmentVariableW(L"RAV_BENCH_STAMP", stamp.c_str());

  std::printf("\n### Staging: copy the package, run one program that exits at once, delete the copy\n\n");
  std::printf("Median of %d runs each, warm file cache, interleaved.\n\n", paths.runs);
  std::puts(TableHeader({"Package", "launcher.exe", "xcopy + rmdir", "bare loop", "native cp + rm", "launcher / xcopy",
                         "launcher / bare loop", "xcopy / native"})
                .c_str());
  for (const PackageShape& shape : kPackageShapes) {
    const fs::path package = PackageRoot(paths, shape.name);
    const TreeSize expected = MeasureTree(package);
    // xcopy's copy is checked once, in a run of its own that is not timed:
    // a partial copy would make it look fast.
    std::error_code ignored;
    fs::remove_all(copy, ignored);
    const std::wstring xcopy = L"xcopy.exe /E /I /Q " + rav::QuoteArgument(package.wstring()) + L" " + rav::QuoteArgument(copy.wstring());
    const bool xcopyComplete = RunAndWait(xcopy) == 0 && MeasureTree(copy).bytes == expected.bytes;
    fs::remove_all(copy, ignored);
    std::vector<double> launcherMs, xcopyMs, bareMs;
    for (int run = 0; run < paths.runs; ++run) {
      launcherMs.push_back(Timed([&] {
        fs::remove(stamp);
        ChildProcess launcher;
        if (!launcher.Start(rav::QuoteArgument((package / "Setup.exe").wstring()), package.wstring())) return false;
        PeakMemorySampler sampler(launcher.handle());
        const DWORD code = launcher.Wait(600000);
        memory["launcher.exe"] = Larger(memory["launcher.exe"], sampler.Finish());
        return code == 0 && fs::exists(stamp) && !fs::exists(staged);
      }));
      fs::remove_all(copy, ignored);  // left by a failed run
      xcopyMs.push_back(Timed([&] {
        const bool copied = xcopyComplete && RunAndWait(xcopy) == 0;
        const bool ran = RunAndWait(rav::QuoteArgument((copy / kNoopProgram).wstring()), copy.wstring()) == 0;
        // cmd.exe's own rules: in quotes, a path keeps characters such as & literal.
        const bool deleted = RunAndWait(L"cmd.exe /c rmdir /S /Q \"" + copy.wstring() + L"\"") == 0;
        return copied && ran && deleted && !fs::exists(copy);
      }));
      fs::remove_all(copy, ignored);
      bareMs.push_back(Timed([&] {
        return RunAndWait(rav::QuoteArgument((paths.tools32 / "bare_tree_copy.exe").wstring()) + L" " + rav::QuoteArgument(package.wstring()) +
                          L" " + rav::QuoteArgument(copy.wstring()) + L" " + kNoopProgram) == 0 &&
               !fs::exists(copy);
      }));
    }
    const double launcher = Median(launcherMs), xcopyCopy = Median(xcopyMs), bare = Median(bareMs);
    const double native = NativeMs(paths, shape.name);
    std::puts(TableRow({shape.label, FormatDuration(launcher), FormatDuration(xcopyCopy), FormatDuration(bare),
                        FormatDuration(native), FormatRatio(launcher, xcopyCopy), FormatRatio(launcher, bare),
                        FormatRatio(xcopyCopy, native)})
                  .c_str());
    std::fflush(stdout);
  }
  std::printf("\nNative cp + rm only copies and deletes (no program is run); a dash is a run that failed "
              "(an incomplete copy, or something left behind).\n");
}

}  // namespace bench
