#pragma once
// Opening ravwl.log for appending, once, and deciding by the handle opened
// whether it may be written: a name checked before an open by name could
// become a link in between.
#include <windows.h>

#include <string>

#include "common/win_resources.h"
#include "uninstaller/services/core/log_file_check.h"

namespace ravuninst {

struct LogFileOpen {
  rav::UniqueHandle file;  // set only when the log may be written
  LogFileVerdict verdict = LogFileVerdict::kUsable;
  DWORD error = 0;         // the failing call's error: the file was not opened or not judged
};

// Opens `path` for appending only (creating it), without following a link
// at that name (FILE_FLAG_OPEN_REPARSE_POINT), and keeps the handle only
// when the file it names is a plain disk file with that one name.
LogFileOpen OpenLogFile(const std::u16string& path);

}  // namespace ravuninst
