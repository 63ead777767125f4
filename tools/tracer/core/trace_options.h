#pragma once
// ravtrace's command line: its modes, their options and the usage text.
// Platform-free: the arguments come in as UTF-8 (the Win32 entry converts
// them), and the program's own command line goes out as UTF-8 too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracer {

enum class TraceMode {
  kHelp,    // --help: the usage text on standard output
  kRun,     // run a program as its debugger
  kListen,   // the debug-output channels, until stopped
  kStop,     // set the stop event of a listener
  kCollect,  // write a support bundle
};

struct TraceOptions {
  TraceMode mode = TraceMode::kHelp;
  // run and listen
  std::string filter;  // only lines starting with it; empty: every line
  std::string output;  // file the lines are appended to; empty: none
  // run
  std::uint64_t timeoutSeconds = 0;  // 0: none
  bool children = false;
  std::string commandLine;  // the program and its arguments, quoted
  // listen
  std::uint64_t durationSeconds = 0;  // 0: until stopped otherwise
  std::string readyEvent;
  std::string stopEvent;
  // The channels listened to: this session's (--session, and when neither
  // is given) and the machine-wide one of session 0 (--global).
  bool sessionChannel = false;
  bool globalChannel = false;
  // stop
  std::string eventName;
  // collect: the bundle's file, which must not exist yet
  std::string bundlePath;
};

struct ParsedArguments {
  bool ok = false;
  std::string error;  // when not ok: what is wrong, one line
  TraceOptions options;
  std::size_t program = 0;  // run: where PROGRAM is among the arguments
};

// run: the program's command line as ravtrace's own command line `line`
// holds it, from PROGRAM on, unchanged: quotes stay as they were typed
// (ravuninst reads /rootdir="DIR" from its command line as it stands).
// When `line` does not split into the `argumentCount` arguments after
// ravtrace's name, the arguments quoted anew.
std::string ProgramCommandLine(std::string_view line, const ParsedArguments& parsed, std::size_t argumentCount);

// `arguments` are the program's arguments after its own name.
ParsedArguments ParseTraceArguments(const std::vector<std::string>& arguments);

// The most seconds --timeout and --duration take (more than 31 years).
inline constexpr std::uint64_t kMaxSeconds = 999'999'999;

// The text `ravtrace --help` prints (LF line ends).
std::string_view UsageText();

// Every option the parser knows, for the check that the usage text names
// each of them.
std::vector<std::string_view> KnownOptions();

}  // namespace tracer
