// ravtrace's command line: each mode with its options, and the mistakes it
// refuses before anything is started.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/tracer/core/trace_options.h"

namespace tracer {
namespace {

using ::testing::HasSubstr;
using Args = std::vector<std::string>;

TEST(TraceOptions, RunTakesItsOptionsAndQuotesTheProgramsArguments) {
  const ParsedArguments parsed = ParseTraceArguments(
      {"run", "--filter", "*** LAUNCHER", "--output", "C:\\logs\\trace.txt", "--timeout", "30", "--children", "--",
       "C:\\My Package\\Setup.exe", "/s", "say \"hi\"", "C:\\dir\\", ""});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  const TraceOptions& options = parsed.options;
  EXPECT_EQ(options.mode, TraceMode::kRun);
  EXPECT_EQ(options.filter, "*** LAUNCHER");
  EXPECT_EQ(options.output, "C:\\logs\\trace.txt");
  EXPECT_EQ(options.timeoutSeconds, 30u);
  EXPECT_TRUE(options.children);
  EXPECT_EQ(options.commandLine, "\"C:\\My Package\\Setup.exe\" /s \"say \\\"hi\\\"\" C:\\dir\\ \"\"");
}

TEST(TraceOptions, RunHandsOnTheProgramsPartOfTheCommandLineAsTyped) {
  const Args arguments = {"run", "--timeout", "9", "--", "C:\\P F\\ravuninst.exe", "verbose", "/rootdir=C:\\P F"};
  const ParsedArguments parsed = ParseTraceArguments(arguments);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(ProgramCommandLine("\"C:\\T\\ravtrace.exe\" run --timeout 9 -- \"C:\\P F\\ravuninst.exe\" verbose "
                               "/rootdir=\"C:\\P F\"  ",
                               parsed, arguments.size()),
            "\"C:\\P F\\ravuninst.exe\" verbose /rootdir=\"C:\\P F\"");
  // A line that does not split into these arguments: they are quoted anew.
  EXPECT_EQ(ProgramCommandLine("ravtrace.exe run", parsed, arguments.size()),
            "\"C:\\P F\\ravuninst.exe\" verbose \"/rootdir=C:\\P F\"");
}

TEST(TraceOptions, RunWithoutOptionsOrDoubleDash) {
  const ParsedArguments parsed = ParseTraceArguments({"run", "prog.exe", "--not-ours", "-x"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.commandLine, "prog.exe --not-ours -x");
  EXPECT_FALSE(parsed.options.children);
  EXPECT_EQ(parsed.options.timeoutSeconds, 0u);
  EXPECT_TRUE(parsed.options.filter.empty());
  EXPECT_TRUE(parsed.options.output.empty());
  // After "--" even an option's name belongs to the program.
  EXPECT_EQ(ParseTraceArguments({"run", "--", "--help"}).options.commandLine, "--help");
}

TEST(TraceOptions, ListenTakesItsOptions) {
  const ParsedArguments parsed =
      ParseTraceArguments({"listen", "--duration", "5", "--ready-event", "Local\\RavTraceReady", "--stop-event",
                           "Local\\RavTraceStop", "--filter", "x", "--output", "t.log"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  const TraceOptions& options = parsed.options;
  EXPECT_EQ(options.mode, TraceMode::kListen);
  EXPECT_EQ(options.durationSeconds, 5u);
  EXPECT_EQ(options.readyEvent, "Local\\RavTraceReady");
  EXPECT_EQ(options.stopEvent, "Local\\RavTraceStop");
  EXPECT_EQ(options.filter, "x");
  EXPECT_EQ(options.output, "t.log");
  EXPECT_TRUE(options.sessionChannel) << "this session's channel when none is named";
  EXPECT_FALSE(options.globalChannel);
  EXPECT_TRUE(ParseTraceArguments({"listen"}).ok);

  const TraceOptions global = ParseTraceArguments({"listen", "--global"}).options;
  EXPECT_TRUE(global.globalChannel);
  EXPECT_FALSE(global.sessionChannel);
  const TraceOptions both = ParseTraceArguments({"listen", "--session", "--global"}).options;
  EXPECT_TRUE(both.globalChannel);
  EXPECT_TRUE(both.sessionChannel);
}

TEST(TraceOptions, CollectTakesOneFile) {
  const ParsedArguments parsed = ParseTraceArguments({"collect", "C:\\support\\bundle.txt"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.mode, TraceMode::kCollect);
  EXPECT_EQ(parsed.options.bundlePath, "C:\\support\\bundle.txt");
  EXPECT_EQ(ParseTraceArguments({"collect", "--", "--bundle.txt"}).options.bundlePath, "--bundle.txt");
}

TEST(TraceOptions, StopTakesOneEventName) {
  const ParsedArguments parsed = ParseTraceArguments({"stop", "Local\\RavTraceStop"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.mode, TraceMode::kStop);
  EXPECT_EQ(parsed.options.eventName, "Local\\RavTraceStop");
}

TEST(TraceOptions, HelpInEveryForm) {
  for (const Args& arguments : {Args{"--help"}, Args{"-h"}, Args{"/?"}, Args{"help"}, Args{"run", "--help"},
                                Args{"listen", "--duration", "3", "--help"}}) {
    const ParsedArguments parsed = ParseTraceArguments(arguments);
    EXPECT_TRUE(parsed.ok) << arguments.back();
    EXPECT_EQ(parsed.options.mode, TraceMode::kHelp) << arguments.back();
  }
}

// One table: each wrong command line and words of the reason it gives.
TEST(TraceOptions, RefusesWrongCommandLines) {
  struct Row {
    Args arguments;
    const char* reason;
  };
  const std::vector<Row> rows = {
      {{}, "no mode"},
      {{"trace"}, "unknown mode \"trace\""},
      {{"run"}, "run needs a PROGRAM"},
      {{"run", "--children", "--"}, "run needs a PROGRAM"},
      {{"run", "--filter"}, "--filter needs a value"},
      {{"run", "--output", "", "p.exe"}, "--output needs a value"},
      {{"run", "--timeout", "0", "p.exe"}, "--timeout takes a whole number"},
      {{"run", "--timeout", "-1", "p.exe"}, "--timeout takes a whole number"},
      {{"run", "--timeout", "1.5", "p.exe"}, "--timeout takes a whole number"},
      {{"run", "--timeout", "1000000000", "p.exe"}, "--timeout takes a whole number"},
      {{"run", "--timeout", "", "p.exe"}, "--timeout takes a whole number"},
      {{"run", "--duration", "5", "p.exe"}, "--duration does not belong to run"},
      {{"run", "--stop-event", "x", "p.exe"}, "--stop-event does not belong to run"},
      {{"run", "--children", "--children", "p.exe"}, "--children given twice"},
      {{"run", "--verbose", "p.exe"}, "unknown option --verbose"},
      {{"listen", "--timeout", "5"}, "--timeout does not belong to listen"},
      {{"listen", "--children"}, "--children does not belong to listen"},
      {{"listen", "--duration", "x"}, "--duration takes a whole number"},
      {{"listen", "--ready-event"}, "--ready-event needs a value"},
      {{"listen", "--stop-event", ""}, "--stop-event needs a value"},
      {{"listen", "p.exe"}, "listen takes no argument \"p.exe\""},
      {{"listen", "--filter", "a", "--filter", "b"}, "--filter given twice"},
      {{"stop"}, "stop needs exactly one event NAME"},
      {{"stop", "a", "b"}, "stop needs exactly one event NAME"},
      {{"stop", "--filter", "x", "name"}, "--filter does not belong to stop"},
      {{"run", "--global", "p.exe"}, "--global does not belong to run"},
      {{"listen", "--global", "--global"}, "--global given twice"},
      {{"collect"}, "collect needs exactly one FILE"},
      {{"collect", "a.txt", "b.txt"}, "collect needs exactly one FILE"},
      {{"collect", ""}, "collect needs exactly one FILE"},
      {{"collect", "--output", "a.txt", "b.txt"}, "--output does not belong to collect"},
  };
  for (const Row& row : rows) {
    std::string line;
    for (const std::string& argument : row.arguments) line += "[" + argument + "]";
    const ParsedArguments parsed = ParseTraceArguments(row.arguments);
    EXPECT_FALSE(parsed.ok) << line;
    EXPECT_THAT(parsed.error, HasSubstr(row.reason)) << line;
  }
}

TEST(TraceOptions, SecondsUpToTheLimit) {
  const ParsedArguments parsed = ParseTraceArguments({"listen", "--duration", "999999999"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.durationSeconds, kMaxSeconds);
  EXPECT_EQ(ParseTraceArguments({"run", "--timeout", "007", "p"}).options.timeoutSeconds, 7u);
}

// The usage text is what a support engineer reads first: it names every
// option, mode and exit-code rule the program has.
TEST(TraceOptions, UsageTextNamesEveryOptionAndMode) {
  const std::string usage(UsageText());
  for (std::string_view option : KnownOptions()) EXPECT_THAT(usage, HasSubstr(std::string(option))) << option;
  for (const char* piece :
       {"ravtrace run ", "ravtrace listen ", "ravtrace stop NAME", "ravtrace collect FILE",
        "HH:MM:SS.mmm [PROCESS ID] IMAGE: TEXT", "Global\\DBWIN_BUFFER", "SeCreateGlobalPrivilege", "4 MiB",
        "Ctrl+C", "Ctrl+Break", "DBWIN_BUFFER", "4,091", "UTF-8", "exit code", "0xDEAD", "Exit codes",
        "ravtrace: listening", "ravtrace: stopped"}) {
    EXPECT_THAT(usage, HasSubstr(piece)) << piece;
  }
  // Plain text for a console: no tabs, no line wider than 80 columns.
  std::size_t column = 0;
  for (char c : usage) {
    EXPECT_NE(c, '\t');
    column = c == '\n' ? 0 : column + 1;
    EXPECT_LE(column, 79u);
  }
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace tracer
