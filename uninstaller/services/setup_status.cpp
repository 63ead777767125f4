#include "uninstaller/services/setup_status.h"

#include <vector>

#include "common/wide_text.h"
#include "uninstaller/services/status_line.h"
#include "uninstaller/services/uninstall_log.h"

namespace ravuninst {
namespace {

constexpr DWORD kResultWaitMs = 60000;
constexpr int kPipeFailure = -1;
constexpr int kLogHandleFailure = 1;
constexpr int kStartFailure = 2;

// One pipe: the child's end stays inheritable, the parent keeps a
// non-inheritable copy of its own end.
struct ChildPipe {
  rav::UniqueHandle parentEnd;
  rav::UniqueHandle childEnd;
};

bool MakePipe(bool parentReads, ChildPipe& pipe) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  rav::UniqueHandle read;
  rav::UniqueHandle write;
  if (!CreatePipe(read.put(), write.put(), &inheritable, 0)) return false;
  rav::UniqueHandle& parentOriginal = parentReads ? read : write;
  if (!DuplicateHandle(GetCurrentProcess(), parentOriginal.get(), GetCurrentProcess(), pipe.parentEnd.put(), 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return false;
  }
  parentOriginal.reset();
  pipe.childEnd = std::move(parentReads ? write : read);
  if (parentReads) {
    // Reads of an empty pipe answer at once instead of blocking the window thread.
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    if (!SetNamedPipeHandleState(pipe.parentEnd.get(), &mode, nullptr, nullptr)) return false;
  }
  return true;
}

}  // namespace

int SetupStatus::Run(const std::u16string& commandLine, const std::u16string& logPath) {
  ChildPipe output;
  ChildPipe error;
  ChildPipe input;
  if (!MakePipe(true, output) || !MakePipe(true, error) || !MakePipe(false, input)) {
    process_.reset();
    return kPipeFailure;  // every handle made so far closes with the pipes
  }

  rav::UniqueHandle logHandle;
  if (!logPath.empty() && LogOpen(logPath) == 0) {
    if (!DuplicateHandle(GetCurrentProcess(), LogStreamHandle(), GetCurrentProcess(), logHandle.put(), 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
      return kLogHandleFailure;
    }
  }
  LogWrite(2, L"SetupStatusRun( \"%ls\", \"%ls\" )\n", rav::as_wcstr(commandLine), rav::as_wcstr(logPath));

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.childEnd.get();
  startup.hStdOutput = output.childEnd.get();
  startup.hStdError = logHandle ? logHandle.get() : error.childEnd.get();

  std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back(L'\0');
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, writableCommandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started)) {
    return kStartFailure;
  }
  process_.reset(started.hProcess);
  processId_ = started.dwProcessId;
  rav::UniqueHandle thread(started.hThread);  // not needed

  outputReader_.Attach(output.parentEnd.release(), L"standard output");
  inputHolder_.Attach(input.parentEnd.release(), L"standard input");
  errorReader_.Attach(error.parentEnd.release(), L"standard error");
  // The child's ends close with `output`, `error`, `input` and `logHandle`
  // here, so each channel ends when the engine does.
  return 0;
}

int SetupStatus::Poll(int, std::int32_t& first, std::int32_t& second) {
  try {
    std::u16string line;
    const int read = outputReader_.ReadLine(line);
    if (read != PipeReader::kLine) return read;
    const StatusLine parsed = ParseStatusLine(line);
    if (parsed.kind == StatusLine::Kind::kProgress) {
      first = parsed.first;
      second = parsed.second;
      return kProgress;
    }
    if (parsed.kind == StatusLine::Kind::kResult) {
      resultSeen_ = true;
      result_ = parsed.result;
      errorFile_ = parsed.errorFile;
      errorLine_ = parsed.errorLine;
    }
    return kNothingToReport;
  } catch (...) {
    return kChannelError;
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
