#include "uninstaller/services/setup_status.h"

#include <optional>

#include "common/child_handles.h"
#include "common/process_start.h"
#include "common/wide_text.h"
#include "uninstaller/services/core/status_line.h"
#include "uninstaller/services/uninstall_log.h"

namespace ravuninst {
namespace {

constexpr DWORD kResultWaitMs = 60000;

// A pipe for one of the engine's streams. Reads of an empty pipe answer at
// once instead of blocking the window thread.
rav::ChildPipe MakePipe(rav::ParentEnd parentEnd) {
  rav::ChildPipe pipe = rav::MakeChildPipe(parentEnd);
  if (pipe.ok() && parentEnd == rav::ParentEnd::kReads) {
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    if (!SetNamedPipeHandleState(pipe.parentEnd.get(), &mode, nullptr, nullptr)) pipe.parentEnd.reset();
  }
  return pipe;
}

}  // namespace

EngineStart SetupStatus::Run(const std::u16string& commandLine, const std::u16string& logPath) {
  rav::ChildPipe output = MakePipe(rav::ParentEnd::kReads);
  rav::ChildPipe error = output.ok() ? MakePipe(rav::ParentEnd::kReads) : rav::ChildPipe{};
  rav::ChildPipe input = error.ok() ? MakePipe(rav::ParentEnd::kWrites) : rav::ChildPipe{};
  if (!input.ok()) {
    process_.reset();
    return EngineStart::kNoPipes;  // every handle made so far closes with the pipes
  }

  rav::UniqueHandle logHandle;
  if (!logPath.empty() && LogOpen(logPath) == 0) {
    logHandle = rav::InheritableCopy(LogStreamHandle());
    if (!logHandle) return EngineStart::kNoLogHandle;
  }
  LogWrite(2, L"SetupStatusRun( \"%ls\", \"%ls\" )\n", rav::as_wcstr(commandLine), rav::as_wcstr(logPath));

  rav::ProcessStartW start;
  start.commandLine = rav::as_wcstr(commandLine);
  start.creationFlags = CREATE_NO_WINDOW;
  start.inheritHandles = true;
  start.standardHandles = rav::StandardHandles{input.childEnd.get(), output.childEnd.get(),
                                               logHandle ? logHandle.get() : error.childEnd.get()};
  rav::StartedProcess started = rav::StartProcessW(start);
  if (!started.ok()) return EngineStart::kProcessNotMade;
  processId_ = started->processId();
  process_ = started->TakeProcess();  // the thread handle is not needed

  outputReader_.Attach(output.parentEnd.release(), L"standard output");
  inputHolder_.Attach(input.parentEnd.release(), L"standard input");
  errorReader_.Attach(error.parentEnd.release(), L"standard error");
  // The child's ends close with `output`, `error`, `input` and `logHandle`
  // here, so each channel ends when the engine does.
  return EngineStart::kStarted;
}

StatusPoll SetupStatus::Poll(int, std::int32_t& first, std::int32_t& second) {
  try {
    std::u16string line;
    if (const std::optional<StatusPoll> noLine = PollAnswerWithoutLine(outputReader_.ReadLine(line))) return *noLine;
    const StatusLine parsed = ParseStatusLine(line);
    if (parsed.kind == StatusLine::Kind::kProgress) {
      first = parsed.first;
      second = parsed.second;
      return StatusPoll::kProgress;
    }
    if (parsed.kind == StatusLine::Kind::kResult) {
      resultSeen_ = true;
      result_ = parsed.result;
      errorFile_ = parsed.errorFile;
      errorLine_ = parsed.errorLine;
    }
    return StatusPoll::kNothingToReport;
  } catch (...) {
    return StatusPoll::kChannelError;
  }
}

bool SetupStatus::EngineHasEnded() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
}

void SetupStatus::Result(std::int32_t& result, std::u16string& errorFile, std::int32_t& errorLine) {
  if (WaitForSingleObject(process_.get(), kResultWaitMs) == WAIT_TIMEOUT) {
    LogWrite(2, L"SetupStatusResult(): WaitForSingleObject() Timed out\n");
  }
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process_.get(), &exitCode)) exitCode = 202;
  exitCode_ = exitCode;
  errorFile.clear();
  errorLine = 0;
  if (resultSeen_) {
    LogWrite(2, L"SetupStatusResult( exitCode %lu, result %d, errorFile \"%ls\", errorLine %d )\n", exitCode, result_,
             rav::as_wcstr(errorFile_), errorLine_);
    result = result_;
    errorFile = errorFile_;
    errorLine = errorLine_;
  } else {
    LogWrite(2, L"SetupStatusResult( exitCode %lu )\n", exitCode);
    result = static_cast<std::int32_t>(exitCode);
  }
}

}  // namespace ravuninst
