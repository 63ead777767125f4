#include "tools/tracer/tests/ravtrace_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>

#include "common/core/argument_quote.h"
#include "testsupport/test_paths.h"

namespace tracer_test {
namespace {

// The pieces between LFs; a CR before an LF stays with its piece.
std::vector<std::string> PiecesBetweenLfs(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    pieces.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return pieces;
}

}  // namespace

using rav::QuoteArgument;

std::vector<PrintedLine> ParsePrinted(const std::string& output) {
  // The stamp and image only: std::regex recurses per character, and a
  // long text would overflow the stack.
  static const std::regex stamp(R"(^(\d\d):(\d\d):(\d\d)\.(\d\d\d) \[(\d+)\] ([^:]+)$)");
  std::vector<PrintedLine> lines;
  if (!output.empty()) {
    EXPECT_EQ(output.back(), '\n') << "the output ends inside a line";
  }
  for (const std::string& raw : PiecesBetweenLfs(output)) {
    const std::size_t colon = raw.find(": ");
    std::smatch match;
    const std::string head = raw.substr(0, colon);
    if (colon == std::string::npos || raw.empty() || raw.back() != '\r' ||
        raw.find_first_of("\r\n") != raw.size() - 1 || !std::regex_match(head, match, stamp)) {
      ADD_FAILURE() << "not a trace line: \"" << raw.substr(0, 200) << "\"";
      continue;
    }
    PrintedLine line;
    const int hour = std::stoi(match[1]);
    const int minute = std::stoi(match[2]);
    const int second = std::stoi(match[3]);
    EXPECT_LT(hour, 24) << raw;
    EXPECT_LT(minute, 60) << raw;
    EXPECT_LT(second, 60) << raw;
    line.millisecondOfDay = ((hour * 60 + minute) * 60 + second) * 1000 + std::stoi(match[4]);
    line.processId = static_cast<DWORD>(std::stoul(match[5]));
    line.image = match[6];
    line.text = raw.substr(colon + 2, raw.size() - 1 - (colon + 2));
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> TextsOf(const std::vector<PrintedLine>& lines, DWORD processId) {
  std::vector<std::string> texts;
  for (const PrintedLine& line : lines) {
    if (line.processId == processId) texts.push_back(line.text);
  }
  return texts;
}

DWORD WriterPid(const std::vector<PrintedLine>& lines) {
  for (const PrintedLine& line : lines) {
    if (line.text.rfind("pid=", 0) == 0) return static_cast<DWORD>(std::stoul(line.text.substr(4)));
  }
  return 0;
}

std::wstring RavtracePath() { return testsupport::BinPath(L"ravtrace.exe").wstring(); }
std::wstring WriterPath() { return testsupport::BinPath(L"debug_writer.exe").wstring(); }

std::wstring Writer64Path() {
  // build/i686/bin -> build/x86_64/bin
  const std::filesystem::path path =
      testsupport::BinDir().parent_path().parent_path() / L"x86_64" / L"bin" / L"debug_writer.exe";
  return std::filesystem::exists(path) ? path.wstring() : std::wstring();
}

int MillisecondOfDayNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

testsupport::RunResult RunRavtrace(const std::wstring& arguments, std::chrono::milliseconds timeout) {
  testsupport::RunOptions options;
  options.commandLine = QuoteArgument(RavtracePath()) + L" " + arguments;
  options.captureDebugOutput = false;
  options.captureOutput = true;
  options.timeout = timeout;
  return testsupport::RunProgram(options);
}

testsupport::RunResult RunWriter(const std::wstring& actions, const std::wstring& program) {
  testsupport::RunOptions options;
  options.commandLine = QuoteArgument(program) + L" " + actions;
  options.captureDebugOutput = false;
  return testsupport::RunProgram(options);
}

std::wstring UniqueEventName(const wchar_t* what) {
  static std::atomic<unsigned> counter{0};
  return L"Local\\RavTraceTest-" + std::wstring(what) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
}

Listener::Listener(const std::wstring& extraArguments, DWORD creationFlags) : stopName_(UniqueEventName(L"Stop")) {
  const std::wstring readyName = UniqueEventName(L"Ready");
  readyEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
  stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, stopName_.c_str()));
  if (!readyEvent_ || !stopEvent_) {
    ADD_FAILURE() << "cannot make the events (error " << GetLastError() << ")";
    return;
  }
  testsupport::RunOptions options;
  options.commandLine = QuoteArgument(RavtracePath()) + L" listen --ready-event " + QuoteArgument(readyName) +
                        L" --stop-event " + QuoteArgument(stopName_) +
                        (extraArguments.empty() ? L"" : L" " + extraArguments);
  options.captureDebugOutput = false;
  options.captureOutput = true;
  options.creationFlags = creationFlags;
  options.timeout = std::chrono::seconds(120);  // a guard: the tests stop it long before
  auto started = std::make_shared<std::promise<DWORD>>();
  std::future<DWORD> startedId = started->get_future();
  options.onStarted = [started](DWORD processId) { started->set_value(processId); };
  run_ = testsupport::RunProgramAsync(std::move(options));
  // A program that could not start never calls onStarted: then the run ends.
  while (startedId.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    if (run_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) return;
  }
  processId_ = startedId.get();
  rav::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId_));
  if (!process) return;
  // Ready, or ended without listening; the limit only keeps a broken
  // ravtrace from hanging the test.
  const HANDLE waits[] = {readyEvent_.get(), process.get()};
  ready_ = WaitForMultipleObjects(2, waits, FALSE, 60000) == WAIT_OBJECT_0;
}

Listener::~Listener() {
  if (run_.valid()) Stop();
}

testsupport::RunResult Listener::Stop() {
  SetEvent(stopEvent_.get());
  return Wait();
}

testsupport::RunResult Listener::Wait() {
  if (!run_.valid()) return {};
  return run_.get();
}

}  // namespace tracer_test
