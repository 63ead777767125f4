// ravuninst and the setup engine: how fast the status channel drains next
// to a plain reader of the same pipe, whether the window answers during a
// flood, how soon a progress line moves the bar, what ravuninst costs in CPU while the engine runs, and how long it
// takes to end after the engine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/core/argument_quote.h"
#include "common/child_handles.h"
#include "common/process_start.h"
#include "testsupport/window_driver.h"
#include "uninstaller/progress_dialog.h"
#include "tools/bench/bench_clock.h"
#include "tools/bench/bench_sections.h"
#include "tools/bench/core/bench_stats.h"
#include "tools/bench/child_process.h"
#include "tools/bench/server_cpu.h"

namespace bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using ravuninst::kProgressBarId;
constexpr double kCloseDelayMs = 1000;  // ravuninst's pause after the engine

struct Engine {
  fs::path directory;
  fs::path script() const { return directory / "case.script"; }
  fs::path record() const { return directory / "record.txt"; }
};

// What the engine wrote to its record: its start and end counters ("qpc="
// lines, in order) and, for timed lines, when each was written.
struct EngineRecord {
  std::vector<double> stamps;    // milliseconds
  std::map<int, double> writes;  // line number -> milliseconds
};

EngineRecord ReadRecord(const Engine& engine) {
  EngineRecord record;
  std::ifstream in(engine.record());
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("qpc=", 0) == 0) record.stamps.push_back(CounterToMs(std::strtoll(line.c_str() + 4, nullptr, 10)));
    if (line.rfind("write ", 0) == 0) {
      std::istringstream fields(line.substr(6));
      int index = 0;
      long long counter = 0;
      if (fields >> index >> counter) record.writes[index] = CounterToMs(counter);
    }
  }
  return record;
}

void PrepareEngine(const Engine& engine, const std::string& script) {
  std::ofstream(engine.script(), std::ios::binary) << script;
  fs::remove(engine.record());
  SetEnvironmentVariableW(L"RAV_ENGINE_SCRIPT", engine.script().c_str());
  SetEnvironmentVariableW(L"RAV_ENGINE_RECORD", engine.record().c_str());
}

struct UninstallOutcome {
  bool ok = false;
  double exitMs = 0;  // when this program saw ravuninst end
  EngineRecord record;
};

// Runs ravuninst in verbose mode with the engine playing `script`, answers
// its confirmation, and hands the progress window to `whileRunning`.
UninstallOutcome RunUninstall(const BenchPaths& paths, const Engine& engine, const std::string& script,
                              MemoryLedger& memory,
                              const std::function<void(HWND, ChildProcess&)>& whileRunning = nullptr) {
  UninstallOutcome outcome;
  PrepareEngine(engine, script);
  ChildProcess uninstaller;
  // "/rootdir=" takes its value in quotes, by the uninstaller's own rule.
  if (!uninstaller.Start(rav::QuoteArgument((paths.release / "ravuninst.exe").wstring()) + L" verbose /rootdir=\"" +
                         engine.directory.wstring() + L"\"")) {
    return outcome;
  }
  PeakMemorySampler sampler(uninstaller.handle());
  const testsupport::MessageBoxSeen confirm = testsupport::WaitForMessageBox(uninstaller.id(), 30s);
  if (confirm.window == nullptr) return outcome;
  testsupport::Press(confirm.window, IDOK);
  HWND progress = testsupport::WaitForDialogWith(uninstaller.id(), kProgressBarId, 30s);
  if (progress != nullptr && whileRunning) whileRunning(progress, uninstaller);
  const DWORD code = uninstaller.Wait(300000);
  outcome.exitMs = NowMs();
  memory["ravuninst.exe"] = Larger(memory["ravuninst.exe"], sampler.Finish());
  outcome.record = ReadRecord(engine);
  outcome.ok = code == 0 && progress != nullptr && !outcome.record.stamps.empty();
  return outcome;
}

// The engine started as ravuninst starts it (CREATE_NO_WINDOW), without
// ravuninst: its standard output or standard error on a pipe whose reading
// end this program holds.
struct DirectEngine {
  rav::UniqueHandle process;
  rav::UniqueHandle reader;
  rav::UniqueHandle input;  // the writing end of its standard input, held open and empty
};

std::optional<DirectEngine> StartEngineDirect(const BenchPaths& paths, const Engine& engine, const std::string& script,
                                              bool standardError) {
  PrepareEngine(engine, script);
  rav::ChildPipe watched = rav::MakeChildPipe(rav::ParentEnd::kReads);
  if (!watched.ok()) return std::nullopt;
  // As ravuninst does: standard input an empty pipe, the other stream a
  // second pipe that nobody reads here.
  rav::ChildPipe input = rav::MakeChildPipe(rav::ParentEnd::kWrites);
  if (!input.ok()) return std::nullopt;
  const rav::ChildPipe other = rav::MakeChildPipe(rav::ParentEnd::kReads);
  if (!other.ok()) return std::nullopt;
  rav::ProcessStartW start;
  start.commandLine = rav::QuoteArgument((paths.tools32 / "ravengine32.exe").wstring());
  start.creationFlags = CREATE_NO_WINDOW;
  start.inheritHandles = true;
  start.standardHandles = rav::StandardHandles{input.childEnd.get(),
                                               standardError ? other.childEnd.get() : watched.childEnd.get(),
                                               standardError ? watched.childEnd.get() : other.childEnd.get()};
  rav::StartedProcess started = rav::StartProcessW(start);
  if (!started.ok()) return std::nullopt;
  DirectEngine direct;
  direct.process = started->TakeProcess();
  direct.reader = std::move(watched.parentEnd);
  direct.input = std::move(input.parentEnd);
  return direct;
}

// The same engine script read by a plain loop of 64 KB reads: the pipe's
// own throughput. The time runs from the engine's first stamp to the end of
// the pipe.
double RawDrainMs(const BenchPaths& paths, const Engine& engine, const std::string& script, bool standardError) {
  std::optional<DirectEngine> direct = StartEngineDirect(paths, engine, script, standardError);
  if (!direct) return std::nan("");
  std::vector<char> buffer(65536);
  DWORD got = 0;
  while (ReadFile(direct->reader.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
  }
  const double ended = NowMs();
  WaitForSingleObject(direct->process.get(), 60000);
  const EngineRecord record = ReadRecord(engine);
  return record.stamps.empty() ? std::nan("") : ended - record.stamps.front();
}

// Sets TEMP and TMP for the programs started from here on.
void SetTemp(const std::wstring& directory) {
  SetEnvironmentVariableW(L"TEMP", directory.c_str());
  SetEnvironmentVariableW(L"TMP", directory.c_str());
}

void ChannelTable(const BenchPaths& paths, const Engine& engine, MemoryLedger& memory) {
  struct Case {
    const char* label;
    std::string script;
    bool standardError;
  };
  const Case cases[] = {
      {"10,000 progress lines (390 KB) on standard output", "qpc\nrepeat 10000 Progress,10000,%d\nexit 0\n", false},
      // The same count of lines the poll takes but that move nothing: the
      // engine's own log lines, say. They should cost what progress costs.
      {"10,000 lines that are not progress (390 KB) on standard output",
       "qpc\nrepeat 10000 Step,10000,%d\nexit 0\n", false},
      {"1 MB on standard error, no log", "qpc\nerrbytes 1048576\nexit 0\n", true},
      {"10 MB on standard error, no log", "qpc\nerrbytes 10485760\nexit 0\n", true},
  };
  // A temporary directory too long to hold the log's path leaves ravuninst
  // without a log: the engine's standard error then comes through a pipe.
  const std::wstring normalTemp = (paths.work / "temp").wstring();
  const std::wstring longTemp = normalTemp + L"\\" + std::wstring(280, L'n');
  const int runs = std::max(1, paths.runs / 2 + 1);

  std::printf("\n### Status channel: ravuninst drains the engine's output\n\n");
  std::printf("From the engine's first write to the end of both channels (ravuninst's exit less its one-second "
              "pause); median of %d runs.\n\n",
              runs);
  std::puts(TableHeader({"Engine output", "ravuninst (16-byte reads, 100 ms wait)", "plain ReadFile loop, 64 KB reads",
                         "ravuninst / plain"})
                .c_str());
  std::vector<double> medians;
  for (const Case& c : cases) {
    std::vector<double> drained, raw;
    for (int run = 0; run < runs; ++run) {
      SetTemp(c.standardError ? longTemp : normalTemp);
      const UninstallOutcome outcome = RunUninstall(paths, engine, c.script, memory);
      SetTemp(normalTemp);
      drained.push_back(outcome.ok ? outcome.exitMs - kCloseDelayMs - outcome.record.stamps.front() : std::nan(""));
      raw.push_back(RawDrainMs(paths, engine, c.script, c.standardError));
    }
    std::puts(TableRow({c.label, FormatDuration(Median(drained)), FormatDuration(Median(raw)),
                        FormatRatio(Median(drained), Median(raw))})
                  .c_str());
    std::fflush(stdout);
    medians.push_back(Median(drained));
  }
  std::printf("\n10,000 lines that are not progress against 10,000 progress lines: %s (goal: about 1).\n",
              FormatRatio(medians[1], medians[0]).c_str());
}

// The engine floods standard output with bytes and no line feed: how long,
// at most, the progress window does not answer (a message sent to it from
// here waits for its thread), and how much memory ravuninst takes meanwhile.
void FloodTable(const BenchPaths& paths, const Engine& engine) {
  struct Case {
    const char* label;
    std::string script;
  };
  const Case cases[] = {
      {"3 MB without a line feed on standard output", "qpc\nbytes 3145728\nexit 0\n"},
      {"10,000 progress lines, for comparison", "qpc\nrepeat 10000 Progress,10000,%d\nexit 0\n"},
  };
  std::printf("\n### Flood: the progress window while the engine floods its output\n\n");
  std::printf("Longest wait for the window's answer to a message sent about once a millisecond, and ravuninst's "
              "peak private bytes; median of %d runs.\n\n",
              paths.runs);
  std::puts(TableHeader({"Engine output", "longest unanswered (goal under 100 ms)", "answers measured",
                         "peak private bytes"})
                .c_str());
  for (const Case& c : cases) {
    std::vector<double> longest, answers, peaks;
    for (int run = 0; run < paths.runs; ++run) {
      MemoryLedger ledger;
      double worst = 0;
      int count = 0;
      const UninstallOutcome outcome = RunUninstall(paths, engine, c.script, ledger, [&](HWND progress, ChildProcess&) {
        while (IsWindow(progress) && IsWindowVisible(progress)) {
          const double sent = NowMs();
          DWORD_PTR reply = 0;
          if (SendMessageTimeoutW(progress, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &reply) == 0) break;
          worst = std::max(worst, NowMs() - sent);
          ++count;
          Sleep(1);
        }
      });
      if (!outcome.ok) continue;
      longest.push_back(worst);
      answers.push_back(count);
      peaks.push_back(static_cast<double>(ledger["ravuninst.exe"].privateBytes));
    }
    std::puts(TableRow({c.label, FormatDuration(Median(longest)), std::to_string(static_cast<long>(Median(answers))),
                        FormatBytes(Median(peaks))})
                  .c_str());
    std::fflush(stdout);
  }
}

void LatencyTable(const BenchPaths& paths, const Engine& engine, MemoryLedger& memory) {
  constexpr int kLines = 300;
  std::map<int, double> seen;  // bar position -> when it first showed
  const UninstallOutcome outcome = RunUninstall(
      paths, engine, "qpc\ntimed " + std::to_string(kLines) + " 30 Progress," + std::to_string(kLines) + ",%d\nexit 0\n",
      memory, [&](HWND progress, ChildProcess& uninstaller) {
        // Reads the bar about once a millisecond until ravuninst ends.
        while (WaitForSingleObject(uninstaller.handle(), 1) == WAIT_TIMEOUT) {
          const int position = testsupport::ProgressPosition(progress, kProgressBarId);
          if (!seen.count(position)) seen[position] = NowMs();
        }
      });
  std::vector<double> latencies;
  for (const auto& [line, written] : outcome.record.writes) {
    const auto shown = seen.find(line);
    if (line > 0 && shown != seen.end()) latencies.push_back(shown->second - written);
  }
  std::printf("\n### Progress latency: from the engine's write of a progress line to the bar showing it\n\n");
  std::printf("%d lines, 30 ms apart; the bar read about once a millisecond from outside.\n\n", kLines);
  std::puts(TableHeader({"Lines seen on the bar", "median", "99th percentile", "largest"}).c_str());
  std::puts(TableRow({std::to_string(latencies.size()) + " of " + std::to_string(kLines - 1),
                      FormatDuration(Median(latencies)), FormatDuration(Percentile(latencies, 99)),
                      FormatDuration(Percentile(latencies, 100))})
                .c_str());
  std::fflush(stdout);
}

// ravuninst's CPU time (and the server's, where there is one) over 8 s in
// the middle of a 10 s engine run.
struct CpuShare {
  double own = std::nan("");
  double server = std::nan("");
};

CpuShare MeasureCpu(const BenchPaths& paths, const Engine& engine, const std::string& script, MemoryLedger& memory) {
  CpuShare share;
  RunUninstall(paths, engine, script, memory, [&](HWND, ChildProcess& uninstaller) {
    Sleep(1000);
    const double cpu0 = uninstaller.CpuMs();
    const std::optional<double> server0 = ServerCpuMs();
    const double wall0 = NowMs();
    Sleep(8000);
    const double cpu1 = uninstaller.CpuMs();
    const std::optional<double> server1 = ServerCpuMs();
    const double wall = NowMs() - wall0;
    share.own = (cpu1 - cpu0) / wall;
    if (server0 && server1) share.server = (*server1 - *server0) / wall;
  });
  return share;
}

void CpuTable(const BenchPaths& paths, const Engine& engine, MemoryLedger& memory) {
  // The server's share over 8 s of nothing but the session's own background
  // (desktop, services), and of the quiet engine alone, for scale.
  const auto serverShare = [] {
    const std::optional<double> server0 = ServerCpuMs();
    const double wall0 = NowMs();
    Sleep(8000);
    const std::optional<double> server1 = ServerCpuMs();
    return server0 && server1 ? (*server1 - *server0) / (NowMs() - wall0) : std::nan("");
  };
  const double background = serverShare();
  double engineAlone = std::nan("");
  if (std::optional<DirectEngine> direct = StartEngineDirect(paths, engine, "qpc\nsleep 10000\nexit 0\n", false)) {
    Sleep(1000);
    engineAlone = serverShare();
    WaitForSingleObject(direct->process.get(), 60000);
  }
  const CpuShare quiet = MeasureCpu(paths, engine, "qpc\nsleep 10000\nexit 0\n", memory);
  const CpuShare streaming = MeasureCpu(paths, engine, "qpc\ntimed 500 20 Progress,500,%d\nexit 0\n", memory);
  std::printf("\n### CPU: ravuninst while the engine runs (8 s in the middle of a 10 s run)\n\n");
  std::puts(TableHeader({"Engine", "ravuninst, of one core", "wineserver, of one core"}).c_str());
  std::puts(TableRow({"none: the session alone, for scale", "-", FormatPercent(background)}).c_str());
  std::puts(TableRow({"quiet for 10 s, started without ravuninst, for scale", "-", FormatPercent(engineAlone)}).c_str());
  std::puts(TableRow({"quiet for 10 s", FormatPercent(quiet.own), FormatPercent(quiet.server)}).c_str());
  std::puts(TableRow({"50 progress lines a second", FormatPercent(streaming.own), FormatPercent(streaming.server)})
                .c_str());
  std::fflush(stdout);
}

void EndTable(const BenchPaths& paths, const Engine& engine, MemoryLedger& memory) {
  std::vector<double> ends, toClosed, closedToExit;
  for (int run = 0; run < paths.runs; ++run) {
    double closed = std::nan("");
    const UninstallOutcome outcome =
        RunUninstall(paths, engine, "out Progress,1,1\nqpc\nexit 0\n", memory, [&](HWND progress, ChildProcess&) {
          // The window goes hidden when ravuninst is done with the engine.
          while (IsWindow(progress) && IsWindowVisible(progress)) Sleep(1);
          closed = NowMs();
        });
    if (!outcome.ok) continue;
    const double engineEnd = outcome.record.stamps.back();
    ends.push_back(outcome.exitMs - engineEnd);
    toClosed.push_back(closed - engineEnd);
    closedToExit.push_back(outcome.exitMs - closed);
  }
  // The platform's share: how long after the engine's last act its output
  // pipe ends for any reader (the engine starts with CREATE_NO_WINDOW).
  std::vector<double> pipeEnds;
  for (int run = 0; run < paths.runs; ++run) pipeEnds.push_back(RawDrainMs(paths, engine, "qpc\nexit 0\n", false));
  std::printf("\n### Uninstall end: from the engine's last act to ravuninst's exit\n\n");
  std::printf("%zu of %d runs completed; the progress window watched about once a millisecond.\n\n", ends.size(),
              paths.runs);
  std::puts(TableHeader({"Stretch", "median", "largest"}).c_str());
  const auto row = [](const char* label, const std::vector<double>& values) {
    std::puts(TableRow({label, FormatDuration(Median(values)), FormatDuration(Percentile(values, 100))}).c_str());
  };
  row("engine's last act to ravuninst's exit", ends);
  row("of which: to the progress window closing (includes the one-second pause)", toClosed);
  row("of which: from the window closing to the exit", closedToExit);
  row("for comparison: engine's last act to the end of its output pipe, read by a plain loop", pipeEnds);
  std::printf("\nBeyond the one-second pause (median): %s.\n", FormatDuration(Median(ends) - kCloseDelayMs).c_str());
  std::fflush(stdout);
}

}  // namespace

void RunUninstallerBench(const BenchPaths& paths, MemoryLedger& memory) {
  Engine engine{paths.work / "engine"};
  std::error_code error;
  fs::create_directories(engine.directory);
  fs::create_directories(paths.work / "temp");
  // ravuninst picks the engine that matches the system: both are there.
  fs::copy_file(paths.tools32 / "ravengine32.exe", engine.directory / "ravengine32.exe",
                fs::copy_options::overwrite_existing, error);
  fs::copy_file(paths.tools64 / "ravengine64.exe", engine.directory / "ravengine64.exe",
                fs::copy_options::overwrite_existing, error);
  SetTemp((paths.work / "temp").wstring());
  if (paths.Wants("channel")) ChannelTable(paths, engine, memory);
  if (paths.Wants("flood")) FloodTable(paths, engine);
  if (paths.Wants("latency")) LatencyTable(paths, engine, memory);
  if (paths.Wants("cpu")) CpuTable(paths, engine, memory);
  if (paths.Wants("end")) EndTable(paths, engine, memory);
}

void PrintMemory(const BenchPaths& paths, MemoryLedger& memory) {
  // A program that does nothing, for scale: under Wine every process maps
  // the platform's own libraries.
  ChildProcess noop;
  if (noop.Start(rav::QuoteArgument((paths.tools32 / "bench_noop.exe").wstring()) + L" --hold 500")) {
    PeakMemorySampler sampler(noop.handle());
    noop.Wait(10000);
    memory["bench_noop.exe (does nothing; for scale)"] = sampler.Finish();
  }
  std::printf("\n### Peak memory of the 32-bit programs in the runs above\n\n");
  std::puts(TableHeader({"Program", "peak working set", "peak private bytes"}).c_str());
  for (const auto& [program, peak] : memory) {
    std::puts(TableRow({program, FormatBytes(static_cast<double>(peak.workingSet)),
                        FormatBytes(static_cast<double>(peak.privateBytes))})
                  .c_str());
  }
  std::fflush(stdout);
}

}  // namespace bench
