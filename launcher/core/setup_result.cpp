#include "launcher/core/setup_result.h"

namespace launcher {

bool ErrorCodeWritten(const StatusReading& earlier, const StatusReading& later) {
  return later.valueRead &&
         (!earlier.valueRead || earlier.value != later.value || earlier.keyWriteTime != later.keyWriteTime);
}

SetupResult DecideSetupResult(const StatusReading& runStart, const StatusReading& before, const StatusReading& after,
                              const ProgramRun& run) {
  if (run.started) {
    if (ErrorCodeWritten(before, after)) return {after.value, ResultSource::kErrorCode};
    return {run.code, ResultSource::kExitCode};
  }
  if (ErrorCodeWritten(runStart, after) && after.value != 0) return {after.value, ResultSource::kErrorCode};
  return {run.code, ResultSource::kStartError};
}

}  // namespace launcher
