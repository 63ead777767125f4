#include "tools/tracer/core/trace_options.h"

#include <algorithm>
#include <array>

#include "common/core/argument_quote.h"

namespace tracer {
namespace {

constexpr std::string_view kUsage =
    "ravtrace: shows what programs write to the debug-output channel\n"
    "(OutputDebugString), one printed line per line of text:\n"
    "\n"
    "  HH:MM:SS.mmm [PROCESS ID] IMAGE: TEXT\n"
    "\n"
    "The time is the local time at which ravtrace received the text; IMAGE is\n"
    "the file name of the program that wrote it, or \"?\" when that program\n"
    "ended before ravtrace could look it up.\n"
    "\n"
    "Usage:\n"
    "  ravtrace run [--filter TEXT] [--output FILE] [--timeout SECONDS]\n"
    "               [--children] -- PROGRAM [ARGUMENTS...]\n"
    "  ravtrace listen [--global] [--session] [--filter TEXT] [--output FILE]\n"
    "                  [--duration SECONDS] [--ready-event NAME] [--stop-event NAME]\n"
    "  ravtrace stop NAME\n"
    "  ravtrace collect FILE\n"
    "  ravtrace --help\n"
    "\n"
    "run     Starts PROGRAM with its ARGUMENTS, as PROGRAM's debugger, and\n"
    "        prints what it writes until it ends; then prints \"ravtrace: exit\n"
    "        code N (0xHHHHHHHH)\" on standard error and exits with PROGRAM's\n"
    "        exit code. PROGRAM gets ravtrace's standard input, output and\n"
    "        error. The \"--\" may be left out when PROGRAM does not start with\n"
    "        \"--\".\n"
    "  --children         Shows what the programs PROGRAM starts write too, and\n"
    "                     those they start in turn, and waits for the last of\n"
    "                     them to end. Only 32-bit programs are followed: a\n"
    "                     32-bit debugger (ravtrace is one) cannot follow\n"
    "                     64-bit programs on Windows.\n"
    "  --timeout SECONDS  After SECONDS, ends PROGRAM and every program followed\n"
    "                     with exit code 0xDEAD (57005) and says so on standard\n"
    "                     error.\n"
    "\n"
    "listen  Shows what every program of this session writes while no debugger\n"
    "        takes it: the session's channel (DBWIN_BUFFER). Programs that run\n"
    "        under a debugger, ravtrace run's for one, are not seen. Listens\n"
    "        until Ctrl+C or Ctrl+Break, until --duration has passed or until\n"
    "        the stop event is set; then prints \"ravtrace: stopped (Ctrl+C)\"\n"
    "        (or Ctrl+Break, \"after N s\", \"stop event NAME\") on standard\n"
    "        error and exits with 0. Only one listener can hold a channel:\n"
    "        when another one does, ravtrace says so and exits with 1.\n"
    "  --global            Listens to the machine-wide channel instead\n"
    "                      (Global\\DBWIN_BUFFER), where the programs of session 0\n"
    "                      write: services, and on Windows Vista and later the\n"
    "                      device installation, the co-installer with it. Needs\n"
    "                      administrator rights (SeCreateGlobalPrivilege);\n"
    "                      without them ravtrace says so and exits with 1.\n"
    "  --session           This session's channel; with --global, both at once.\n"
    "  --duration SECONDS  Stops after SECONDS.\n"
    "  --ready-event NAME  Sets the named event once listening, so that a caller\n"
    "                      can wait for it before starting the programs it\n"
    "                      traces; the line \"ravtrace: listening\" on standard\n"
    "                      error tells the same. A missing event is made\n"
    "                      (manual reset); the event stays set.\n"
    "  --stop-event NAME   Stops when the named event is set, by \"ravtrace stop\n"
    "                      NAME\" or by any program (SetEvent). A missing event\n"
    "                      is made (manual reset, not set); one that is set\n"
    "                      already stops ravtrace at once.\n"
    "        The channel carries at most 4,091 characters of a string at a\n"
    "        time. Windows passes a longer string on in several pieces; Wine\n"
    "        keeps only the first 4,091 characters. Each piece is printed as a\n"
    "        line of its own.\n"
    "\n"
    "stop    Sets the named event a listener was started with (--stop-event\n"
    "        NAME), so that it stops; exits with 1 when no such event exists.\n"
    "\n"
    "collect Writes a support bundle to FILE, a new UTF-8 text file (an existing\n"
    "        file or link is never written through or over): the adapter\n"
    "        software's programs with their versions, its uninstall records in\n"
    "        both registry views, the adapter's driver keys, the setup's status,\n"
    "        the user's ravwl.log, the lines of the device-installation log\n"
    "        (setupapi.dev.log, setupapi.log on XP) about the adapter, and the\n"
    "        Windows version. It only reads; a source it cannot read gets one\n"
    "        line saying why. At most 4 MiB: of long logs the newest lines are\n"
    "        kept. Prints where the bundle is; exits with 0 once written, 1\n"
    "        when FILE cannot be made.\n"
    "\n"
    "run and listen:\n"
    "  --filter TEXT  Prints only the lines that start with TEXT (case counts).\n"
    "  --output FILE  Appends the printed lines to FILE as well (UTF-8, CR LF).\n"
    "\n"
    "A string written without a line end is printed as one line, and a string\n"
    "holding several lines as several lines. Standard output gets UTF-8 text\n"
    "with CR LF line ends, or Unicode text when it is a console.\n"
    "\n"
    "Exit codes: run: PROGRAM's, or 1 when PROGRAM cannot start or FILE cannot\n"
    "be opened (then without the \"exit code\" line); listen: 0 once stopped, 1\n"
    "when it cannot listen; stop: 0 once the event is set, 1 when there is no\n"
    "such event; collect: 0 once written, 1 when FILE cannot be made; every\n"
    "mode: 2 for a wrong command line (the reason and this text on standard\n"
    "error); --help: 0.\n";

constexpr std::array<std::string_view, 10> kOptions = {"--filter",   "--output",      "--timeout",
                                                       "--children", "--duration",    "--global",
                                                       "--session",  "--ready-event", "--stop-event",
                                                       "--help"};

// Options that take no value.
bool IsSwitch(std::string_view option) {
  return option == "--children" || option == "--global" || option == "--session";
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h" || argument == "/?" || argument == "help";
}

// A whole number of seconds, 1 to kMaxSeconds, digits only.
bool ParseSeconds(std::string_view text, std::uint64_t& seconds) {
  if (text.empty() || text.size() > 9) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value == 0 || value > kMaxSeconds) return false;
  seconds = value;
  return true;
}

ParsedArguments Failure(std::string error) {
  ParsedArguments result;
  result.error = std::move(error);
  return result;
}

}  // namespace

std::string_view UsageText() { return kUsage; }

std::vector<std::string_view> KnownOptions() { return {kOptions.begin(), kOptions.end()}; }

ParsedArguments ParseTraceArguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return Failure("no mode given: run, listen, stop or collect");
  ParsedArguments result;
  TraceOptions& options = result.options;
  const std::string& mode = arguments[0];
  if (IsHelp(mode)) {
    result.ok = true;
    return result;
  }
  if (mode == "run") {
    options.mode = TraceMode::kRun;
  } else if (mode == "listen") {
    options.mode = TraceMode::kListen;
  } else if (mode == "stop") {
    options.mode = TraceMode::kStop;
  } else if (mode == "collect") {
    options.mode = TraceMode::kCollect;
  } else {
    return Failure("unknown mode \"" + mode + "\": run, listen, stop or collect");
  }
  const bool run = options.mode == TraceMode::kRun;
  const bool listen = options.mode == TraceMode::kListen;

  std::vector<std::string> seen;
  std::size_t i = 1;
  for (; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") {
      ++i;
      break;
    }
    if (argument == "--help") {
      options = TraceOptions{};
      result.ok = true;
      return result;
    }
    if (argument.rfind("--", 0) != 0) break;  // the program (run), the event name (stop) or the file (collect)
    const bool known = std::find(kOptions.begin(), kOptions.end(), argument) != kOptions.end();
    if (!known) return Failure("unknown option " + argument);
    const bool fits = argument == "--filter" || argument == "--output"     ? run || listen
                      : argument == "--timeout" || argument == "--children" ? run
                                                                            : listen;
    if (!fits) return Failure(argument + " does not belong to " + mode);
    if (std::find(seen.begin(), seen.end(), argument) != seen.end()) return Failure(argument + " given twice");
    seen.push_back(argument);
    if (IsSwitch(argument)) {
      if (argument == "--children") {
        options.children = true;
      } else if (argument == "--global") {
        options.globalChannel = true;
      } else {
        options.sessionChannel = true;
      }
      continue;
    }
    if (i + 1 >= arguments.size()) return Failure(argument + " needs a value");
    const std::string& value = arguments[++i];
    if (argument == "--filter") {
      options.filter = value;
    } else if (argument == "--timeout" || argument == "--duration") {
      std::uint64_t& seconds = argument == "--timeout" ? options.timeoutSeconds : options.durationSeconds;
      if (!ParseSeconds(value, seconds)) {
        return Failure(argument + " takes a whole number of seconds, 1 to 999999999: \"" + value + "\"");
      }
    } else {
      if (value.empty()) return Failure(argument + " needs a value");
      if (argument == "--output") {
        options.output = value;
      } else if (argument == "--ready-event") {
        options.readyEvent = value;
      } else {
        options.stopEvent = value;
      }
    }
  }

  const std::size_t rest = arguments.size() - i;
  if (run) {
    if (rest == 0) return Failure("run needs a PROGRAM");
    result.program = i;
    for (; i < arguments.size(); ++i) {
      if (!options.commandLine.empty()) options.commandLine += ' ';
      options.commandLine += rav::QuoteArgument(arguments[i]);
    }
  } else if (listen) {
    if (rest != 0) return Failure("listen takes no argument \"" + arguments[i] + "\"");
    if (!options.globalChannel) options.sessionChannel = true;
  } else if (options.mode == TraceMode::kCollect) {
    if (rest != 1 || arguments[i].empty()) return Failure("collect needs exactly one FILE");
    options.bundlePath = arguments[i];
  } else {
    if (rest != 1 || arguments[i].empty()) return Failure("stop needs exactly one event NAME");
    options.eventName = arguments[i];
  }
  result.ok = true;
  return result;
}

std::string ProgramCommandLine(std::string_view line, const ParsedArguments& parsed, std::size_t argumentCount) {
  const bool splitsAlike = rav::ArgumentOffset(line, argumentCount) != std::string_view::npos &&
                           rav::ArgumentOffset(line, argumentCount + 1) == std::string_view::npos;
  if (!splitsAlike) return parsed.options.commandLine;
  std::string_view rest = line.substr(rav::ArgumentOffset(line, parsed.program + 1));
  rest = rest.substr(0, rest.find_last_not_of(" \t") + 1);
  return std::string(rest);
}

}  // namespace tracer
