#include "uninstaller/services/log_file.h"

#include "common/wide_text.h"

namespace ravuninst {

static_assert(kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY && kAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT);

LogFileOpen OpenLogFile(const std::u16string& path) {
  LogFileOpen opened;
  // Append-only access: every write of this program and of the engine, which
  // gets a copy of this handle, lands at the end of the file.
  rav::UniqueHandle file(CreateFileW(rav::as_wcstr(path), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) {
    opened.error = GetLastError();
    return opened;
  }
  LogFileFacts facts;
  facts.diskFile = GetFileType(file.get()) == FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!GetFileInformationByHandle(file.get(), &information)) {
    opened.error = GetLastError();
    return opened;
  }
  facts.attributes = information.dwFileAttributes;
  facts.links = information.nNumberOfLinks;
  opened.verdict = JudgeLogFile(facts);
  if (opened.verdict == LogFileVerdict::kUsable) opened.file = std::move(file);
  return opened;
}

}  // namespace ravuninst
