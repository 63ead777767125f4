#include "coinstaller/text_log.h"

namespace coinstaller {
namespace {

// Through a plain function type: FARPROC is only a placeholder type.
template <typename Call>
Call Export(HMODULE module, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

TextLogCalls FindTextLogCalls(HMODULE setupapi) {
  if (setupapi == nullptr) return {};
  TextLogCalls calls;
  calls.getThreadLogToken = Export<GetThreadLogTokenCall>(setupapi, "SetupGetThreadLogToken");
  calls.writeTextLog = Export<WriteTextLogCall>(setupapi, "SetupWriteTextLog");
  return calls;
}

const TextLogCalls& SystemTextLogCalls() {
  // The library imports setupapi.dll, so it is loaded while this one is.
  static const TextLogCalls calls = FindTextLogCalls(GetModuleHandleA("setupapi.dll"));
  return calls;
}

void WriteTextLogLine(const TextLogCalls& calls, LineKind kind, const char* text) {
  if (!calls.present()) return;
  LogToken token = calls.getThreadLogToken();
  if (token == kLogTokenUnspecified) token = kLogTokenSetupApiDevLog;
  const DWORD level = kind == LineKind::kFailure ? kTextLogError : kTextLogDetails;
  calls.writeTextLog(token, kTextLogVendor, level, "%s", text);
}

}  // namespace coinstaller
