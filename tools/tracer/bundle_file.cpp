#include "tools/tracer/bundle_file.h"

#include "common/wide_utf8.h"
#include "tools/tracer/trace_output.h"

namespace tracer {

rav::UniqueHandle CreateBundleFile(const std::string& path) {
  // CREATE_NEW fails on any name that exists. FILE_FLAG_OPEN_REPARSE_POINT
  // makes a link count as existing even when its target does not: without
  // it, CREATE_NEW would make the file a dangling link points to.
  rav::UniqueHandle file(CreateFileW(rav::Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      Report(WithErrorCode("not writing to " + path + ": it exists already (a bundle only goes into a new file)",
                           error));
    } else {
      Report(WithErrorCode("cannot make " + path, error));
    }
    return {};
  }
  // What was made, asked of the handle: a plain file on a disk with one
  // name. A device name ("NUL", "CON", a pipe) opens without making one.
  BY_HANDLE_FILE_INFORMATION made = {};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &made) ||
      (made.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      made.nNumberOfLinks != 1 || made.nFileSizeLow != 0 || made.nFileSizeHigh != 0) {
    Report("not writing to " + path + ": it is not a new file on a disk");
    return {};
  }
  return file;
}

bool WriteBundleFile(HANDLE file, const std::string& path, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD chunk = text.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(text.size());
    if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) {
      Report(WithErrorCode("cannot write " + path + "; it is incomplete", GetLastError()));
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace tracer
